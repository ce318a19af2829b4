#include "frontends/qt/operator_script.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace tarnvel::testing {
namespace {

// A step that never completes means the window hangs or looks wrong; ten
// minutes covers the slowest server run with room to spare.
constexpr qint64 kStepLimitMs = 600000;

}  // namespace

void OperatorScript::Play(FormEnvironment environment) {
  QTimer timer;
  timer.setInterval(20);
  QObject::connect(&timer, &QTimer::timeout, [this] { Tick(); });
  timer.start();
  stepStarted_ = QDateTime::currentMSecsSinceEpoch();
  RunStartup(frontEnd_, std::move(environment));
  timer.stop();
  EXPECT_EQ(next_, steps_.size()) << "the window closed before: "
                                  << (next_ < steps_.size() ? steps_[next_].what : "");
}

void OperatorScript::Tick() {
  if (ticking_ || next_ >= steps_.size()) return;
  ticking_ = true;
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (steps_[next_].step()) {
    ++next_;
    stepStarted_ = now;
  } else if (now - stepStarted_ > kStepLimitMs) {
    std::fprintf(stderr, "The window did not get past the step: %s (status: %s)\n",
                 steps_[next_].what.c_str(), StatusText().c_str());
    std::_Exit(1);
  }
  ticking_ = false;
}

bool OperatorScript::Busy() const {
  const QWidget* panel = Find<QWidget>("pBtn");
  return panel != nullptr && !panel->isEnabled();
}

QMessageBox* OperatorScript::Box() {
  return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

QAbstractButton* OperatorScript::BoxButton(QMessageBox* box, const char* name) {
  return box->findChild<QAbstractButton*>(QString::fromLatin1(name));
}

void OperatorScript::Press(QAbstractButton* button) {
  QTimer::singleShot(0, button, [button] { button->click(); });
}

void OperatorScript::Trigger(QAction* action) {
  QTimer::singleShot(0, action, [action] { action->trigger(); });
}

void OperatorScript::Shot(QWidget* widget, const std::string& name) {
  QDir().mkpath(QStringLiteral(TARNVEL_SCREENSHOTS));
  const QString file = QStringLiteral(TARNVEL_SCREENSHOTS) + "/" + QString::fromStdString(name) + ".png";
  EXPECT_TRUE(widget->grab().save(file, "PNG")) << file.toStdString();
}

std::string OperatorScript::StatusText() const {
  const auto* status = Find<QPlainTextEdit>("mCaptions");
  return status ? status->toPlainText().toStdString() : std::string();
}

}  // namespace tarnvel::testing
