#pragma once
// What the window logic asks of a window. The Qt window, the Win32 window and
// the recording view of the tests implement it; no toolkit type crosses it.

#include <optional>
#include <string>
#include <string_view>

#include "update/host.h"

namespace tarnvel {

/// Colour of the status text beside the buttons.
enum class StatusColour { Maroon, Green };

/// The two result pictures.
enum class ResultPicture { Success, Errors };

class IMainView {
 public:
  virtual ~IMainView() = default;

  /// The window's caption (the application title).
  virtual void SetCaption(const std::string& text) = 0;

  /// Caption or hint of the control named Component (the names of the
  /// window model: "OKBtn", "gbLog", "mmOperations_Online", ...). Returns
  /// false when the window has no such control; the text is then dropped.
  virtual bool SetControlCaption(std::string_view component, const std::string& text) = 0;
  virtual bool SetControlHint(std::string_view component, const std::string& text) = 0;

  /// The three input boxes.
  virtual std::string ProgramLocation() const = 0;
  virtual void SetProgramLocation(const std::string& text) = 0;
  virtual std::string Password() const = 0;
  virtual void SetPassword(const std::string& text) = 0;
  virtual std::string AdmnPassword() const = 0;
  virtual void SetAdmnPassword(const std::string& text) = 0;

  /// Paints the window, its panels and the menu bar with its drop-down menu
  /// in the system's button-face colour, the labels in the window-text colour.
  virtual void ApplyButtonFaceColours() = 0;

  /// The run log on screen: one more line at the end.
  virtual void AppendLogLine(const std::string& line) = 0;

  /// The status text beside the buttons: replaced as a whole.
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetStatusColour(StatusColour colour) = 0;
  virtual void SetStatusVisible(bool visible) = 0;

  /// The result pictures, as the bitmap files the executable carries. Called
  /// once, before ShowPicture.
  virtual void LoadPictures(std::string_view successBitmap, std::string_view errorsBitmap) = 0;
  virtual void ShowPicture(ResultPicture picture) = 0;
  virtual void SetPictureVisible(bool visible) = 0;

  /// The busy animation: shown and running, or hidden and stopped.
  virtual void SetAnimationRunning(bool running) = 0;

  /// Enables or disables the connection box (folder box, folder button,
  /// passwords) and the button panel (Start, Exit, status text). The menu
  /// bar is not touched.
  virtual void SetPanelsEnabled(bool enabled) = 0;

  /// Lets pending window messages through.
  virtual void ProcessMessages() = 0;

  /// A modal message box; returns the chosen button.
  virtual DialogButton ShowDialog(const DialogRequest& request) = 0;

  /// A modal folder picker opened on StartFolder (empty: no preselection),
  /// offering file-system folders only. The chosen folder, or nullopt when
  /// the operator cancelled or the picker could not open.
  virtual std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) = 0;

  /// Closes the window, which ends the message loop and the program.
  virtual void Close() = 0;
};

}  // namespace tarnvel
