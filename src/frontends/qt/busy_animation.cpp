#include "frontends/qt/busy_animation.h"

#include <QPainter>
#include <cmath>

namespace tarnvel::qt {

BusyAnimation::BusyAnimation(QWidget* parent) : QWidget(parent) {
  timer_.setInterval(125);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] {
    frame_ = (frame_ + 1) % kFrames;
    update();
  });
}

void BusyAnimation::Start() {
  frame_ = 0;
  timer_.start();
  update();
}

void BusyAnimation::Stop() {
  timer_.stop();
}

void BusyAnimation::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  // A small monitor on its stand.
  p.setPen(QPen(QColor(64, 64, 64), 1));
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(QRectF(6.5, 8.5, 24, 18));
  p.setBrush(QColor(0, 96, 160));
  p.drawRect(QRectF(9.5, 11.5, 18, 12));
  p.setBrush(QColor(160, 160, 160));
  p.drawRect(QRectF(14.5, 26.5, 8, 3));
  p.drawRect(QRectF(10.5, 29.5, 16, 3));
  // The glass circles over the screen, one eighth of a turn per frame.
  const double angle = 2 * M_PI * frame_ / kFrames;
  const QPointF centre(18.5 + 7 * std::cos(angle), 17.5 + 5 * std::sin(angle));
  p.setPen(QPen(QColor(90, 60, 20), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(4.5, 4.5), centre + QPointF(10, 10));
  p.setPen(QPen(QColor(40, 40, 40), 1.5));
  p.setBrush(QColor(220, 240, 255, 170));
  p.drawEllipse(centre, 6, 6);
}

}  // namespace tarnvel::qt
