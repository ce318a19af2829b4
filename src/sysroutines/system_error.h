#pragma once
// Why a call into the operating system failed: the system's own error code
// (Linux errno, Windows GetLastError), handed back by the calls whose
// failures the operator must understand. The engine words the cause; this
// layer only keeps the code.

#include <string>

namespace tarnvel::sys {

/// The outcome of a call that says why it failed: true on success.
class SysResult {
 public:
  /// Success.
  SysResult() = default;
  /// A failure with the system's error code; 0 when the system gave none.
  static SysResult Failure(int errorCode) { return SysResult(errorCode); }
  /// A failure with the calling thread's last error (errno, GetLastError()).
  static SysResult LastError();

  explicit operator bool() const { return ok_; }
  /// The system's error code of a failure; 0 on success or when unknown.
  int ErrorCode() const { return errorCode_; }

 private:
  explicit SysResult(int errorCode) : ok_(false), errorCode_(errorCode) {}
  bool ok_ = true;
  int errorCode_ = 0;
};

/// The causes the engine names in the operator's own words.
enum class SystemErrorKind {
  Other,           // every other code: the system's own text is shown
  FileInUse,       // Linux ETXTBSY, EBUSY; Windows sharing or lock violation, a mapped file
  AccessDenied,    // Linux EACCES, EPERM; Windows access denied
  DiskFull,        // Linux ENOSPC, EDQUOT; Windows disk full, quota exceeded
  ReadOnlyVolume,  // Linux EROFS; Windows write protect
  NameTooLong,     // Linux ENAMETOOLONG; Windows name or path too long
  NotFound,        // Linux ENOENT, ENOTDIR; Windows file or path not found
  IsAFolder        // a folder where a file is needed (Linux EISDIR)
};

SystemErrorKind KindOfSystemError(int errorCode);

/// The system's own words for ErrorCode, in UTF-8, without a final line
/// break. Linux: strerror's text; Windows: FormatMessageW, in the thread's
/// user-interface language where the system has it.
std::string SystemErrorText(int errorCode);

/// The code this system gives a name or a command line that is too long
/// (Linux ENAMETOOLONG, Windows ERROR_FILENAME_EXCED_RANGE): for the limits
/// this program sets itself.
int NameTooLongError();

/// The code for a folder found where a file is needed (Linux EISDIR,
/// Windows ERROR_DIRECTORY_NOT_SUPPORTED).
int IsAFolderError();

}  // namespace tarnvel::sys
