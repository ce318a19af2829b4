#include "update/server_advice.h"

#include "firebird/firebird_error.h"
#include "i18n/ldm.h"

namespace tarnvel {

std::string FailureTextWithAdvice(const std::exception& failure) {
  const auto* server = dynamic_cast<const firebird::EFirebirdError*>(&failure);
  if (server == nullptr || server->IscCode() != isc_network_error) return failure.what();
  return std::string(failure.what()) + "\r\n" + i18n::GetMessageText("uUpdate_ServerAdvice_1");
}

}  // namespace tarnvel
