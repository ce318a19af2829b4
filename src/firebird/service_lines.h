#pragma once
// The text a service prints (statistics, for one), read back through
// isc_service_query one line at a time.

#include <string>
#include <string_view>

namespace tarnvel::firebird {

/// Size of the reply buffer handed to the client library for one line.
inline constexpr std::size_t kServiceLineReplySize = 16384;

/// One reply to an isc_info_svc_line query: isc_info_svc_line (62), a
/// two-byte little-endian length and that many bytes of text. Returns the
/// text; an empty text means the service has printed everything. Throws
/// std::runtime_error when the reply is something else or its length does
/// not fit inside Reply.
std::string ParseServiceLineReply(std::string_view reply);

}  // namespace tarnvel::firebird
