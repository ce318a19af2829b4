// Checks of the 32-bit Windows build against the 32-bit Firebird client
// library, made when it is compiled, since the machines that build it cannot
// run it. A wrong calling convention or size shows only there, and only at
// run time: a stack that each call leaves a few bytes off, or a status vector
// and handles read at the wrong offsets.
#include <ibase.h>

#include <type_traits>

#include "firebird/client_library.h"

namespace tarnvel::firebird {
namespace {

template <typename Pointer>
struct IsStdcall : std::false_type {};
template <typename Result, typename... Arguments>
struct IsStdcall<Result(__attribute__((stdcall))*)(Arguments...)> : std::true_type {};

// The trait tells the two conventions apart in this build.
static_assert(IsStdcall<void(__attribute__((stdcall)) *)(int)>::value && !IsStdcall<void (*)(int)>::value);

// The client library exports its entry points with the stdcall convention
// (the callee clears the stack); calls through a cdecl pointer would not.
static_assert(IsStdcall<decltype(ClientApi::isc_attach_database)>::value);
static_assert(IsStdcall<decltype(ClientApi::isc_detach_database)>::value);
static_assert(IsStdcall<decltype(ClientApi::isc_database_info)>::value);
static_assert(IsStdcall<decltype(ClientApi::isc_service_attach)>::value);
static_assert(IsStdcall<decltype(ClientApi::isc_service_start)>::value);
static_assert(IsStdcall<decltype(ClientApi::isc_service_query)>::value);
static_assert(IsStdcall<decltype(ClientApi::isc_service_detach)>::value);
static_assert(IsStdcall<decltype(ClientApi::isc_sqlcode)>::value);
static_assert(IsStdcall<decltype(ClientApi::fb_interpret)>::value);
static_assert(IsStdcall<decltype(ClientApi::isc_interprete)>::value);

// The 32-bit client's status vector holds 20 entries of 4 bytes, and its
// database and service handles are 4 bytes wide.
static_assert(sizeof(ISC_STATUS) == 4);
static_assert(sizeof(ISC_STATUS_ARRAY) == 20 * 4);
static_assert(sizeof(isc_db_handle) == 4);
static_assert(sizeof(isc_svc_handle) == 4);
static_assert(sizeof(ISC_LONG) == 4);

}  // namespace
}  // namespace tarnvel::firebird
