#include "firebird/firebird_error.h"

#include "firebird/client_library.h"
#include "firebird/trim.h"

namespace tarnvel::firebird {
bool HasError(const ISC_STATUS* status) {
  return status[0] == isc_arg_gds && status[1] != 0;
}

ISC_STATUS FirstErrorCode(const ISC_STATUS* status) {
  return status[0] == isc_arg_gds ? status[1] : 0;
}

std::string ServiceErrorText(const std::vector<std::string>& messages) {
  std::string text;
  for (const std::string& message : messages) {
    if (!text.empty()) text += "\r\n";
    text += message;
  }
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

std::string AttachErrorText(ISC_STATUS code, const std::vector<std::string>& messages) {
  std::string text = "ISC ERROR CODE:" + std::to_string(code) + "\r\n\r\nISC ERROR MESSAGE:";
  std::string previous;
  bool first = true;
  for (const std::string& message : messages) {
    const std::string line = Trim(message);
    if (!first && line == previous) continue;
    text += "\r\n" + line;
    previous = line;
    first = false;
  }
  return text;
}

EFirebirdError ServiceError(const ClientLibrary& library, const ISC_STATUS* status) {
  return EFirebirdError(ServiceErrorText(library.Interpret(status)), library.SqlCode(status),
                        FirstErrorCode(status));
}

EFirebirdError AttachError(const ClientLibrary& library, const ISC_STATUS* status) {
  const ISC_STATUS code = FirstErrorCode(status);
  return EFirebirdError(AttachErrorText(code, library.Interpret(status)), library.SqlCode(status), code);
}

}  // namespace tarnvel::firebird
