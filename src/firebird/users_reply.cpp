#include "firebird/users_reply.h"

#include <ibase.h>

#include <stdexcept>

namespace tarnvel::firebird {
namespace {

[[noreturn]] void Malformed(std::size_t offset, const char* what) {
  throw std::runtime_error("Invalid reply to the attached users request: " + std::string(what) + " at byte " +
                           std::to_string(offset));
}

unsigned Byte(std::string_view reply, std::size_t offset) {
  return static_cast<unsigned char>(reply[offset]);
}

}  // namespace

std::vector<std::string> ParseUserNamesReply(std::string_view reply) {
  std::vector<std::string> names;
  std::size_t offset = 0;
  while (offset < reply.size() && Byte(reply, offset) == isc_info_user_names) {
    if (reply.size() - offset < 3) Malformed(offset, "cluster length cut off");
    const std::size_t cluster = Byte(reply, offset + 1) | (Byte(reply, offset + 2) << 8);
    const std::size_t clusterStart = offset + 3;
    if (cluster > reply.size() - clusterStart) Malformed(offset, "cluster longer than the reply");
    if (cluster < 1) Malformed(offset, "empty cluster");
    const std::size_t length = Byte(reply, clusterStart);
    if (length > cluster - 1) Malformed(offset, "name longer than its cluster");
    names.emplace_back(reply.substr(clusterStart + 1, length));
    offset = clusterStart + cluster;
  }
  return names;
}

}  // namespace tarnvel::firebird
