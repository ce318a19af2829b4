#include "update/system_reason.h"

#include "i18n/ldm.h"

namespace tarnvel {
namespace {

const char* ReasonId(sys::SystemErrorKind kind) {
  switch (kind) {
    case sys::SystemErrorKind::FileInUse:
      return "uUpdate_SystemError_1";
    case sys::SystemErrorKind::AccessDenied:
      return "uUpdate_SystemError_2";
    case sys::SystemErrorKind::DiskFull:
      return "uUpdate_SystemError_3";
    case sys::SystemErrorKind::ReadOnlyVolume:
      return "uUpdate_SystemError_4";
    case sys::SystemErrorKind::NameTooLong:
      return "uUpdate_SystemError_5";
    case sys::SystemErrorKind::NotFound:
      return "uUpdate_SystemError_6";
    case sys::SystemErrorKind::IsAFolder:
      return "uUpdate_SystemError_7";
    case sys::SystemErrorKind::Other:
      break;
  }
  return nullptr;
}

}  // namespace

std::string SystemReasonText(sys::SysResult result) {
  if (result || result.ErrorCode() == 0) return {};
  const int code = result.ErrorCode();
  if (const char* id = ReasonId(sys::KindOfSystemError(code))) return i18n::GetMessageText(id);
  return i18n::GetMessageText("uUpdate_SystemError_8", sys::SystemErrorText(code), std::to_string(code));
}

std::string WithSystemReason(const std::string& text, sys::SysResult result) {
  const std::string reason = SystemReasonText(result);
  return reason.empty() ? text : text + "\r\n" + reason;
}

}  // namespace tarnvel
