#pragma once
// An operator for the real window: steps played on a timer while the
// program's message loop runs (also inside its modal boxes and while the
// engine lets messages through). A step returns true when it is done; its
// actions on the window are queued, so that a step never blocks in a box it
// opened itself.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <functional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "frontends/qt/front_end.h"

namespace tarnvel::testing {

class OperatorScript {
 public:
  using Step = std::function<bool()>;

  void Then(std::string what, Step step) { steps_.push_back({std::move(what), std::move(step)}); }

  /// Starts the program as start-up does and plays the steps; returns when
  /// the window has closed. Every step must have been played.
  void Play(FormEnvironment environment);

  qt::MainWindow* Window() const { return frontEnd_.Window(); }
  template <class T>
  T* Find(const char* name) const {
    return Window() ? Window()->findChild<T*>(QString::fromLatin1(name)) : nullptr;
  }
  /// The window is up and shown.
  bool Shown() const { return Window() != nullptr && Window()->isVisible(); }
  /// A run or a database command is in progress: the button panel is grey.
  bool Busy() const;
  /// The message box that is open, or nullptr.
  static QMessageBox* Box();
  /// The box's button of that catalogue name ("Yes", "No", "OK").
  static QAbstractButton* BoxButton(QMessageBox* box, const char* name);
  /// Clicks Button once the current step has returned.
  static void Press(QAbstractButton* button);
  /// Triggers a menu command once the current step has returned.
  static void Trigger(QAction* action);
  /// Saves a picture of Widget as screenshots/Name.png.
  static void Shot(QWidget* widget, const std::string& name);
  /// The status text beside the buttons.
  std::string StatusText() const;

 private:
  void Tick();

  struct Entry {
    std::string what;
    Step step;
  };
  qt::FrontEnd frontEnd_;
  std::vector<Entry> steps_;
  std::size_t next_ = 0;
  bool ticking_ = false;
  qint64 stepStarted_ = 0;
};

}  // namespace tarnvel::testing
