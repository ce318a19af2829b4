#include "firebird/server_failure.h"

#include <algorithm>
#include <initializer_list>

namespace tarnvel::firebird {
namespace {

struct KindCodes {
  ServerFailure kind;
  std::initializer_list<ISC_STATUS> codes;
};

// In order of precedence: the first kind with a code in the vector wins.
const KindCodes kKinds[] = {
    {ServerFailure::LoginRefused, {isc_login}},
    {ServerFailure::Unreachable,
     {isc_network_error, isc_net_connect_err, isc_net_connect_listen_err, isc_unavailable}},
    {ServerFailure::DatabaseShutDown, {isc_shutdown, isc_shutinprog, isc_att_shutdown}},
    {ServerFailure::DatabaseInUse,
     {isc_lock_conflict, isc_lock_timeout, isc_obj_in_use, isc_deadlock, isc_already_opened}},
    {ServerFailure::DatabaseFile, {isc_io_error, isc_io_open_err, isc_io_access_err}},
};

}  // namespace

ServerFailure ClassifyServerFailure(const std::vector<ISC_STATUS>& codes) {
  for (const KindCodes& kind : kKinds) {
    const bool present = std::any_of(codes.begin(), codes.end(), [&](ISC_STATUS code) {
      return std::find(kind.codes.begin(), kind.codes.end(), code) != kind.codes.end();
    });
    if (present) return kind.kind;
  }
  return ServerFailure::Other;
}

}  // namespace tarnvel::firebird
