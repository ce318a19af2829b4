#include "sysroutines/system_error.h"

#include <string.h>

#include <cerrno>

namespace tarnvel::sys {

SysResult SysResult::LastError() {
  return Failure(errno);
}

SystemErrorKind KindOfSystemError(int errorCode) {
  switch (errorCode) {
    case ETXTBSY:
    case EBUSY:
      return SystemErrorKind::FileInUse;
    case EACCES:
    case EPERM:
      return SystemErrorKind::AccessDenied;
    case ENOSPC:
    case EDQUOT:
      return SystemErrorKind::DiskFull;
    case EROFS:
      return SystemErrorKind::ReadOnlyVolume;
    case ENAMETOOLONG:
      return SystemErrorKind::NameTooLong;
    case ENOENT:
    case ENOTDIR:
      return SystemErrorKind::NotFound;
    case EISDIR:
      return SystemErrorKind::IsAFolder;
    default:
      return SystemErrorKind::Other;
  }
}

std::string SystemErrorText(int errorCode) {
  char buffer[256] = {};
  // The GNU strerror_r may return a static text instead of filling Buffer.
  return strerror_r(errorCode, buffer, sizeof buffer);
}

int NameTooLongError() {
  return ENAMETOOLONG;
}

int IsAFolderError() {
  return EISDIR;
}

}  // namespace tarnvel::sys
