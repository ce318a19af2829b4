#include "frontends/qt/main_window.h"

#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMenuBar>
#include <QScreen>

#include "frontends/qt/message_box.h"

namespace tarnvel::qt {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// Maroon while a run is in progress and after a failed one, green after a success.
const QColor kMaroon(128, 0, 0);
const QColor kGreen(0, 128, 0);

}  // namespace

QFont MainWindow::WindowFont() {
  // "Microsoft Sans Serif" 8 points (11 pixels at 96 dpi) is not on Linux:
  // DejaVu Sans at the same pixel height is the sans face Debian always has
  // (Wine draws the Windows window with it too), and it covers Cyrillic.
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);
  font.setBold(false);
  return font;
}

QFont MainWindow::StatusFont() {
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  // One pixel smaller than the window's font: the rollback's 44-character
  // second line fits the 280 pixels of the status box.
  font.setPixelSize(10);
  font.setBold(true);
  return font;
}

MainWindow::MainWindow() {
  setObjectName(QStringLiteral("frmMain"));
  // Fixed single border, only the close box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(WindowFont());
  const QFont regular = WindowFont();
  QFont bold = WindowFont();
  bold.setBold(true);

  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("client"));
  client_->setFixedSize(476, 473);
  setCentralWidget(client_);

  auto place = [](QWidget* w, const char* name, int x, int y, int width, int height) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(x, y, width, height);
  };
  auto label = [&](QWidget* parent, const char* name, int x, int y) {
    auto* l = new QLabel(parent);
    l->setFont(regular);
    l->setObjectName(QString::fromLatin1(name));
    l->move(x, y);
    return l;
  };

  gbConnection = new QGroupBox(client_);
  place(gbConnection, "gbConnection", 0, 0, 476, 161);
  gbConnection->setFont(bold);
  lProgramLocation = label(gbConnection, "lProgramLocation", 8, 17);
  eProgramLocation = new QLineEdit(gbConnection);
  place(eProgramLocation, "eProgramLocation", 8, 32, 430, 21);
  bbProgramLocation = new QPushButton(gbConnection);
  place(bbProgramLocation, "bbProgramLocation", 443, 30, 24, 24);
  lAdmnPassword = label(gbConnection, "lAdmnPassword", 8, 58);
  eAdmnPassword = new QLineEdit(gbConnection);
  place(eAdmnPassword, "eAdmnPassword", 8, 73, 177, 21);
  eAdmnPassword->setEchoMode(QLineEdit::Password);
  lPassword = label(gbConnection, "lPassword", 8, 99);
  Label1 = label(gbConnection, "Label1", 8, 111);
  ePassword = new QLineEdit(gbConnection);
  place(ePassword, "ePassword", 8, 127, 177, 21);
  ePassword->setEchoMode(QLineEdit::Password);
  for (QWidget* w : {static_cast<QWidget*>(eProgramLocation), static_cast<QWidget*>(bbProgramLocation),
                     static_cast<QWidget*>(eAdmnPassword), static_cast<QWidget*>(ePassword)}) {
    w->setFont(regular);
  }

  gbLog = new QGroupBox(client_);
  place(gbLog, "gbLog", 0, 161, 476, 264);
  gbLog->setFont(bold);
  mLog = new QPlainTextEdit(gbLog);
  place(mLog, "mLog", 2, 15, 472, 247);
  mLog->setFont(regular);
  mLog->setReadOnly(true);
  mLog->setLineWrapMode(QPlainTextEdit::NoWrap);
  mLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  mLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  mLog->setTabChangesFocus(true);

  Bevel1 = new QFrame(client_);
  place(Bevel1, "Bevel1", 0, 425, 476, 6);
  Bevel1->setFrameShape(QFrame::HLine);
  Bevel1->setFrameShadow(QFrame::Sunken);

  pBtn = new QWidget(client_);
  place(pBtn, "pBtn", 0, 431, 476, 42);
  Image1 = new QLabel(pBtn);
  place(Image1, "Image1", 0, 0, 49, 42);
  Image1->setAlignment(Qt::AlignCenter);
  Image1->hide();
  aProgress = new BusyAnimation(pBtn);
  place(aProgress, "aProgress", 0, 0, 41, 41);
  aProgress->hide();
  mCaptions = new QPlainTextEdit(pBtn);
  place(mCaptions, "mCaptions", 49, 5, 280, 32);
  mCaptions->setReadOnly(true);
  mCaptions->setFrameShape(QFrame::NoFrame);
  mCaptions->setFont(StatusFont());
  mCaptions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  mCaptions->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  mCaptions->document()->setDocumentMargin(0);
  mCaptions->setTabChangesFocus(true);
  SetStatusColour(StatusColour::Maroon);
  OKBtn = new QPushButton(pBtn);
  place(OKBtn, "OKBtn", 332, 8, 68, 25);
  OKBtn->setFont(regular);
  CancelBtn = new QPushButton(pBtn);
  place(CancelBtn, "CancelBtn", 404, 8, 68, 25);
  CancelBtn->setFont(regular);

  // Tab order: the button panel, then the connection box, then the log.
  QWidget* order[] = {OKBtn,         CancelBtn, mCaptions, eProgramLocation, bbProgramLocation,
                      eAdmnPassword, ePassword, mLog};
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

  mmOperations = menuBar()->addMenu(QString());
  mmOperations->setObjectName(QStringLiteral("mmOperations"));
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  menuBar()->setNativeMenuBar(false);
  auto item = [this](const char* name) {
    QAction* action = mmOperations->addAction(QString());
    action->setObjectName(QString::fromLatin1(name));
    return action;
  };
  mmOperations_Online = item("mmOperations_Online");
  mmOperations_Shutdown = item("mmOperations_Shutdown");
  mmOperations_StartService = item("mmOperations_StartService");
  mmOperations_StopService = item("mmOperations_StopService");
  mmOperations_Check = item("mmOperations_Check");

  PrepareToShow();
}

void MainWindow::PrepareToShow() {
  setFixedSize(476, 473 + menuBar()->sizeHint().height());
  OKBtn->setFocus();
}

void MainWindow::Connect(TfrmMain& form) {
  form_ = &form;
  auto on = [this](auto* sender, auto signal, void (TfrmMain::*handler)()) {
    QObject::connect(sender, signal, this, [this, handler] { form_->Dispatch(handler); });
  };
  on(OKBtn, &QPushButton::clicked, &TfrmMain::OKBtnClick);
  on(CancelBtn, &QPushButton::clicked, &TfrmMain::CancelBtnClick);
  on(bbProgramLocation, &QPushButton::clicked, &TfrmMain::bbProgramLocationClick);
  on(mmOperations_Online, &QAction::triggered, &TfrmMain::mmOperations_OnlineClick);
  on(mmOperations_Shutdown, &QAction::triggered, &TfrmMain::mmOperations_ShutdownClick);
  on(mmOperations_StartService, &QAction::triggered, &TfrmMain::mmOperations_StartServiceClick);
  on(mmOperations_StopService, &QAction::triggered, &TfrmMain::mmOperations_StopServiceClick);
  on(mmOperations_Check, &QAction::triggered, &TfrmMain::mmOperations_CheckClick);
}

QWidget* MainWindow::Control(std::string_view component) const {
  const QString name = QString::fromUtf8(component.data(), static_cast<qsizetype>(component.size()));
  if (name == objectName()) return const_cast<MainWindow*>(this);
  return findChild<QWidget*>(name);
}

void MainWindow::SetCaption(const std::string& text) {
  setWindowTitle(Q(text));
}

bool MainWindow::SetControlCaption(std::string_view component, const std::string& text) {
  const QString name = QString::fromUtf8(component.data(), static_cast<qsizetype>(component.size()));
  if (QAction* action = findChild<QAction*>(name)) {
    action->setText(Q(text));
    return true;
  }
  if (name == mmOperations->objectName()) {
    mmOperations->setTitle(Q(text));
    return true;
  }
  QWidget* control = Control(component);
  if (auto* box = qobject_cast<QGroupBox*>(control)) {
    box->setTitle(Q(text));
  } else if (auto* l = qobject_cast<QLabel*>(control)) {
    l->setText(Q(text));
    l->adjustSize();
  } else if (auto* button = qobject_cast<QPushButton*>(control)) {
    button->setText(Q(text));
  } else {
    return false;
  }
  return true;
}

bool MainWindow::SetControlHint(std::string_view component, const std::string& text) {
  const QString name = QString::fromUtf8(component.data(), static_cast<qsizetype>(component.size()));
  if (QAction* action = findChild<QAction*>(name)) {
    action->setToolTip(Q(text));
    return true;
  }
  QWidget* control = Control(component);
  if (control == nullptr) return false;
  control->setToolTip(Q(text));
  return true;
}

std::string MainWindow::ProgramLocation() const {
  return eProgramLocation->text().toStdString();
}
void MainWindow::SetProgramLocation(const std::string& text) {
  eProgramLocation->setText(Q(text));
}
std::string MainWindow::Password() const {
  return ePassword->text().toStdString();
}
void MainWindow::SetPassword(const std::string& text) {
  ePassword->setText(Q(text));
}
std::string MainWindow::AdmnPassword() const {
  return eAdmnPassword->text().toStdString();
}
void MainWindow::SetAdmnPassword(const std::string& text) {
  eAdmnPassword->setText(Q(text));
}

void MainWindow::ApplyButtonFaceColours() {
  const QColor face = QApplication::palette().color(QPalette::Button);
  const QColor text = QApplication::palette().color(QPalette::WindowText);
  // Only the background role: the text fields and the log inside keep the
  // system's white for input, as they do in a Windows window.
  for (QWidget* w : {static_cast<QWidget*>(this), client_, static_cast<QWidget*>(gbLog),
                     static_cast<QWidget*>(gbConnection), pBtn, static_cast<QWidget*>(menuBar())}) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, face);
    w->setPalette(p);
    w->setAutoFillBackground(true);
  }
  // The drop-down too. The style paints a menu in a shade lighter than its
  // palette says, which comes out white; a style sheet paints it as given.
  mmOperations->setStyleSheet(QStringLiteral("QMenu { background-color: %1; color: %2; }"
                                             "QMenu::item { padding: 3px 20px 3px 20px; }"
                                             "QMenu::item:selected { background-color: %3; color: %4; }"
                                             "QMenu::item:disabled { color: %5; }")
                                  .arg(face.name(), text.name(),
                                       QApplication::palette().color(QPalette::Highlight).name(),
                                       QApplication::palette().color(QPalette::HighlightedText).name(),
                                       QApplication::palette().color(QPalette::Disabled, QPalette::WindowText).name()));
  QPalette status = mCaptions->palette();
  status.setColor(QPalette::Base, face);
  mCaptions->setPalette(status);
  // The window-text colour while the box is enabled; the system's grey while
  // a run has it disabled, as every other label.
  for (QLabel* l : {lPassword, lProgramLocation, Label1, lAdmnPassword}) {
    QPalette p = l->palette();
    p.setColor(QPalette::Active, QPalette::WindowText, text);
    p.setColor(QPalette::Inactive, QPalette::WindowText, text);
    l->setPalette(p);
    l->setFont(WindowFont());
  }
  lAdmnPassword->setVisible(true);
  eAdmnPassword->setVisible(true);
}

void MainWindow::AppendLogLine(const std::string& line) {
  mLog->appendPlainText(Q(line));
}

void MainWindow::SetStatusText(const std::string& text) {
  mCaptions->setPlainText(BoxText(text));
}

void MainWindow::SetStatusColour(StatusColour colour) {
  QPalette p = mCaptions->palette();
  // Every colour group: the text keeps its colour while the panel is disabled.
  p.setColor(QPalette::Text, colour == StatusColour::Green ? kGreen : kMaroon);
  mCaptions->setPalette(p);
}

void MainWindow::SetStatusVisible(bool visible) {
  mCaptions->setVisible(visible);
}

void MainWindow::LoadPictures(std::string_view successBitmap, std::string_view errorsBitmap) {
  auto load = [](std::string_view bytes) {
    QPixmap picture;
    picture.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<uint>(bytes.size()),
                         "BMP");
    // Transparent: the colour of the bottom-left pixel is the background.
    if (!picture.isNull()) {
      const QImage image = picture.toImage();
      picture.setMask(QBitmap::fromImage(image.createMaskFromColor(image.pixel(0, image.height() - 1))));
    }
    return picture;
  };
  SuccessPicture = load(successBitmap);
  ErrorsPicture = load(errorsBitmap);
}

void MainWindow::ShowPicture(ResultPicture picture) {
  Image1->setPixmap(picture == ResultPicture::Success ? SuccessPicture : ErrorsPicture);
}

void MainWindow::SetPictureVisible(bool visible) {
  Image1->setVisible(visible);
}

void MainWindow::SetAnimationRunning(bool running) {
  aProgress->setVisible(running);
  if (running) {
    aProgress->Start();
  } else {
    aProgress->Stop();
  }
}

void MainWindow::SetPanelsEnabled(bool enabled) {
  gbConnection->setEnabled(enabled);
  pBtn->setEnabled(enabled);
}

void MainWindow::ProcessMessages() {
  QCoreApplication::processEvents();
}

DialogButton MainWindow::ShowDialog(const DialogRequest& request) {
  return ShowMessageBox(this, request);
}

std::optional<std::string> MainWindow::PickFolder(const std::string& title, const std::string& startFolder) {
  QFileDialog chooser(this, Q(title));
  chooser.setObjectName(QStringLiteral("FolderChooser"));
  chooser.setFileMode(QFileDialog::Directory);
  chooser.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (!startFolder.empty()) chooser.setDirectory(Q(startFolder));
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return std::nullopt;
  return chooser.selectedFiles().front().toStdString();
}

void MainWindow::Close() {
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (form_ != nullptr && !form_->FormCloseQuery()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace tarnvel::qt
