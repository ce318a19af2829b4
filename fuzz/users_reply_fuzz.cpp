// Any reply gives names or the documented failure; the names found are all
// the reply holds, and written back as a reply they read the same.
#include <stdexcept>
#include <string>
#include <vector>

#include "firebird/users_reply.h"
#include "fuzz_entries.h"

namespace tarnvel::fuzz {
namespace {

constexpr char kUserNames = 53;  // isc_info_user_names
constexpr char kEnd = 1;         // isc_info_end

// The reply a server gives for Names: one cluster per name, then the end.
std::string ReplyOf(const std::vector<std::string>& names) {
  std::string reply;
  for (const std::string& name : names) {
    const std::size_t cluster = name.size() + 1;
    reply += kUserNames;
    reply += static_cast<char>(cluster & 0xFF);
    reply += static_cast<char>(cluster >> 8);
    reply += static_cast<char>(name.size());
    reply += name;
  }
  reply += kEnd;
  return reply;
}

}  // namespace

void FuzzUsersReply(std::string_view input) {
  std::vector<std::string> names;
  try {
    names = firebird::ParseUserNamesReply(input);
  } catch (const std::runtime_error&) {
    return;  // an entry whose lengths do not fit
  }
  std::size_t held = 0;
  for (const std::string& name : names) {
    Expect(name.size() <= 255, "a name fits its length byte");
    held += 4 + name.size();
  }
  Expect(held <= input.size(), "the names come from inside the reply");
  Expect(firebird::ParseUserNamesReply(ReplyOf(names)) == names,
         "names written as a reply read back the same");
}

}  // namespace tarnvel::fuzz
