#pragma once
// The busy animation beside the status text: eight frames of our own, a
// magnifying glass circling over a small computer, drawn on a timer.

#include <QTimer>
#include <QWidget>

namespace tarnvel::qt {

class BusyAnimation : public QWidget {
 public:
  explicit BusyAnimation(QWidget* parent);

  void Start();
  void Stop();
  bool Running() const { return timer_.isActive(); }
  int Frame() const { return frame_; }

  static constexpr int kFrames = 8;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QTimer timer_;
  int frame_ = 0;
};

}  // namespace tarnvel::qt
