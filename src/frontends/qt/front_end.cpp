#include "frontends/qt/front_end.h"

#include <QApplication>
#include <QProxyStyle>
#include <QScreen>

#include "frontends/qt/message_box.h"

namespace tarnvel::qt {
namespace {

class AsteriskStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

}  // namespace

void UseAsteriskPasswords() {
  QApplication::setStyle(new AsteriskStyle);
}

void FrontEnd::SetApplicationTitle(const std::string& title) {
  QApplication::setApplicationName(QString::fromStdString(title));
}

void FrontEnd::ShowBox(const DialogRequest& request) {
  ShowMessageBox(nullptr, request);
}

IMainView& FrontEnd::CreateMainWindow() {
  window_ = std::make_unique<MainWindow>();
  return *window_;
}

void FrontEnd::RunMessageLoop(TfrmMain& form) {
  window_->Connect(form);
  window_->PrepareToShow();
  if (const QScreen* screen = QApplication::primaryScreen()) {
    QRect frame = window_->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window_->move(frame.topLeft());
  }
  window_->show();
  form.FormShow();
  QApplication::exec();
}

}  // namespace tarnvel::qt
