#pragma once
// The reply to the attached-users request (isc_database_info with
// isc_info_user_names).

#include <string>
#include <string_view>
#include <vector>

namespace tarnvel::firebird {

/// Size of the reply buffer handed to the client library.
inline constexpr std::size_t kUserNamesReplySize = 20480;

/// The user names of the reply, in the server's order. Entries are
/// isc_info_user_names (53), a two-byte little-endian cluster length, one
/// length byte n and n bytes of name; the first other byte (isc_info_end,
/// or isc_info_truncated when the server ran out of room) ends the list, and
/// so does the end of Reply. Nothing is read past Reply or past a cluster's
/// stated length: an entry whose lengths do not fit throws std::runtime_error.
std::vector<std::string> ParseUserNamesReply(std::string_view reply);

}  // namespace tarnvel::firebird
