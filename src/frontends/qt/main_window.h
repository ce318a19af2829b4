#pragma once
// The main window on Linux: the controls of the window model at their
// places, forwarding their events to the window's logic (TfrmMain).

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/main_form.h"
#include "app/main_view.h"
#include "frontends/qt/busy_animation.h"

namespace tarnvel::qt {

class MainWindow : public QMainWindow, public IMainView {
 public:
  MainWindow();

  /// Connects the buttons, the menu and the close box to Form.
  void Connect(TfrmMain& form);

  /// Fixes the window's size around the client area of 476 x 473 below the
  /// menu bar as it now is (its texts set), and gives Start the focus.
  void PrepareToShow();

  /// The font of the window, and the fixed-pitch one of the status text.
  static QFont WindowFont();
  static QFont StatusFont();

  // IMainView
  void SetCaption(const std::string& text) override;
  bool SetControlCaption(std::string_view component, const std::string& text) override;
  bool SetControlHint(std::string_view component, const std::string& text) override;
  std::string ProgramLocation() const override;
  void SetProgramLocation(const std::string& text) override;
  std::string Password() const override;
  void SetPassword(const std::string& text) override;
  std::string AdmnPassword() const override;
  void SetAdmnPassword(const std::string& text) override;
  void ApplyButtonFaceColours() override;
  void AppendLogLine(const std::string& line) override;
  void SetStatusText(const std::string& text) override;
  void SetStatusColour(StatusColour colour) override;
  void SetStatusVisible(bool visible) override;
  void LoadPictures(std::string_view successBitmap, std::string_view errorsBitmap) override;
  void ShowPicture(ResultPicture picture) override;
  void SetPictureVisible(bool visible) override;
  void SetAnimationRunning(bool running) override;
  void SetPanelsEnabled(bool enabled) override;
  void ProcessMessages() override;
  DialogButton ShowDialog(const DialogRequest& request) override;
  std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) override;
  void Close() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* Control(std::string_view component) const;

  TfrmMain* form_ = nullptr;
  QWidget* client_;
  QGroupBox* gbConnection;
  QLabel* lProgramLocation;
  QLineEdit* eProgramLocation;
  QPushButton* bbProgramLocation;
  QLabel* lAdmnPassword;
  QLineEdit* eAdmnPassword;
  QLabel* lPassword;
  QLabel* Label1;
  QLineEdit* ePassword;
  QGroupBox* gbLog;
  QPlainTextEdit* mLog;
  QFrame* Bevel1;
  QWidget* pBtn;
  QLabel* Image1;
  BusyAnimation* aProgress;
  QPlainTextEdit* mCaptions;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QMenu* mmOperations;
  QAction* mmOperations_Online;
  QAction* mmOperations_Shutdown;
  QAction* mmOperations_StartService;
  QAction* mmOperations_StopService;
  QAction* mmOperations_Check;
  QPixmap SuccessPicture;
  QPixmap ErrorsPicture;
};

}  // namespace tarnvel::qt
