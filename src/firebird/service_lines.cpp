#include "firebird/service_lines.h"

#include <ibase.h>

#include <stdexcept>

namespace tarnvel::firebird {

std::string ParseServiceLineReply(std::string_view reply) {
  auto byte = [&](std::size_t at) { return static_cast<unsigned char>(reply[at]); };
  if (reply.empty() || byte(0) != isc_info_svc_line) {
    throw std::runtime_error("The server's reply to a service query is not a line of text.");
  }
  if (reply.size() < 3) throw std::runtime_error("The server's reply to a service query is cut off.");
  const std::size_t length = byte(1) | (byte(2) << 8);
  if (length > reply.size() - 3) {
    throw std::runtime_error("The server's reply to a service query is longer than its buffer.");
  }
  return std::string(reply.substr(3, length));
}

}  // namespace tarnvel::firebird
