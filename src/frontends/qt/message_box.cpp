#include "frontends/qt/message_box.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <map>

namespace tarnvel::qt {
namespace {

QMessageBox::ButtonRole Role(DialogButton button) {
  switch (button) {
    case DialogButton::Yes:
    case DialogButton::YesToAll:
    case DialogButton::All:
      return QMessageBox::YesRole;
    case DialogButton::No:
    case DialogButton::NoToAll:
      return QMessageBox::NoRole;
    case DialogButton::Cancel:
    case DialogButton::Abort:
      return QMessageBox::RejectRole;
    case DialogButton::Help:
      return QMessageBox::HelpRole;
    default:
      return QMessageBox::AcceptRole;
  }
}

QMessageBox::Icon IconOf(DialogType type) {
  switch (type) {
    case DialogType::Warning:
      return QMessageBox::Warning;
    case DialogType::Error:
      return QMessageBox::Critical;
    case DialogType::Information:
      return QMessageBox::Information;
    case DialogType::Confirmation:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QString BoxText(const std::string& text) {
  QString out = QString::fromStdString(text);
  out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  out.replace(QChar('\r'), QChar('\n'));
  return out;
}

DialogButton ShowMessageBox(QWidget* parent, const DialogRequest& request) {
  QMessageBox box(IconOf(request.type), QString::fromStdString(request.caption), BoxText(request.text),
                  QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  std::map<QAbstractButton*, DialogButton> answers;
  const std::vector<DialogButton> buttons =
      request.buttons.empty() ? std::vector<DialogButton>{DialogButton::Ok} : request.buttons;
  for (DialogButton button : buttons) {
    QPushButton* added = box.addButton(QString::fromStdString(DialogButtonLabel(button)), Role(button));
    added->setObjectName(QString::fromLatin1(DialogButtonCatalogueId(button)));
    answers[added] = button;
    if (button == request.defaultButton) box.setDefaultButton(added);
    if (button == request.escapeButton) box.setEscapeButton(added);
  }
  box.exec();
  const auto answer = answers.find(box.clickedButton());
  // Closed some other way (the title bar's close box): the Esc answer.
  return answer != answers.end() ? answer->second : request.escapeButton;
}

}  // namespace tarnvel::qt
