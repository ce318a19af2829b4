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

std::vector<ISC_STATUS> ErrorCodes(const ISC_STATUS* status) {
  std::vector<ISC_STATUS> codes;
  std::size_t i = 0;
  while (i + 1 < ISC_STATUS_LENGTH && status[i] != isc_arg_end) {
    const ISC_STATUS argument = status[i];
    if (argument == isc_arg_gds && status[i + 1] != 0) codes.push_back(status[i + 1]);
    // A counted string takes two items, its length and its address; every
    // other argument one.
    i += argument == isc_arg_cstring ? 3 : 2;
  }
  return codes;
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
                        FirstErrorCode(status), ErrorCodes(status));
}

EFirebirdError AttachError(const ClientLibrary& library, const ISC_STATUS* status) {
  const ISC_STATUS code = FirstErrorCode(status);
  return EFirebirdError(AttachErrorText(code, library.Interpret(status)), library.SqlCode(status), code,
                        ErrorCodes(status));
}

}  // namespace tarnvel::firebird
