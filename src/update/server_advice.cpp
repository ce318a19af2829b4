#include "update/server_advice.h"

#include "firebird/firebird_error.h"
#include "firebird/server_failure.h"
#include "i18n/ldm.h"

namespace tarnvel {
namespace {

const char* CauseId(firebird::ServerFailure kind) {
  switch (kind) {
    case firebird::ServerFailure::Unreachable:
      return "uUpdate_ServerAdvice_1";
    case firebird::ServerFailure::LoginRefused:
      return "uUpdate_ServerAdvice_2";
    case firebird::ServerFailure::DatabaseFile:
      return "uUpdate_ServerAdvice_3";
    case firebird::ServerFailure::DatabaseShutDown:
      return "uUpdate_ServerAdvice_4";
    case firebird::ServerFailure::DatabaseInUse:
      return "uUpdate_ServerAdvice_5";
    case firebird::ServerFailure::Other:
      break;
  }
  return nullptr;
}

}  // namespace

std::string ServerFailureCause(const std::exception& failure) {
  const auto* server = dynamic_cast<const firebird::EFirebirdError*>(&failure);
  if (server == nullptr) return {};
  const char* id = CauseId(firebird::ClassifyServerFailure(server->IscCodes()));
  return id == nullptr ? std::string() : i18n::GetMessageText(id);
}

std::string FailureTextWithCause(const std::exception& failure, const std::string& label) {
  const std::string cause = ServerFailureCause(failure);
  return (cause.empty() ? std::string() : cause + "\r\n") + label + failure.what();
}

}  // namespace tarnvel
