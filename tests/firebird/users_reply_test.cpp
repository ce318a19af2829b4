// Reading the attached-users reply: in order, never past the buffer or a cluster.
#include "firebird/users_reply.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarnvel::firebird {
namespace {

std::string Entry(const std::string& name) {
  const std::size_t cluster = name.size() + 1;
  std::string entry = {char(53), char(cluster & 0xFF), char(cluster >> 8), char(name.size())};
  return entry + name;
}

const std::string kEnd(1, char(1));
const std::string kTruncated(1, char(2));

TEST(UserNamesReply, ReadsEntriesUpToTheEndMark) {
  using Names = std::vector<std::string>;
  const struct {
    const char* what;
    std::string reply;
    Names names;
  } cases[] = {
      {"normal",
       Entry("SYSDBA") + Entry("CLERK1") + Entry("SYSDBA") + kEnd + std::string(40, '\0'),
       {"SYSDBA", "CLERK1", "SYSDBA"}},
      {"truncated",
       Entry("CLERK1") + Entry("CLERK2") + kTruncated + std::string(5, char(53)),
       {"CLERK1", "CLERK2"}},
      {"empty", kEnd, {}},
      {"no end mark, ends on an entry", Entry("A") + Entry("B"), {"A", "B"}},
      {"zero-length name", Entry("") + kEnd, {""}},
      {"cluster longer than its name",
       std::string{char(53), 4, 0, 2, 'A', 'B', 'x'} + Entry("C") + kEnd,
       {"AB", "C"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseUserNamesReply(c.reply), c.names) << c.what;
}

TEST(UserNamesReply, MalformedLengthsFailInsteadOfReadingOn) {
  const struct {
    const char* what;
    std::string reply;
  } cases[] = {
      {"cluster length cut off", Entry("A") + std::string{char(53), 2}},
      {"cluster past the buffer", std::string{char(53), 9, 0, 2, 'A', 'B'}},
      {"name past its cluster", std::string{char(53), 2, 0, 5, 'A', 'B', 'C', 'D', 'E'} + kEnd},
      {"empty cluster", std::string{char(53), 0, 0} + kEnd},
  };
  for (const auto& c : cases) EXPECT_THROW(ParseUserNamesReply(c.reply), std::runtime_error) << c.what;
}

TEST(UserNamesReply, FullSizeReplyOfLongNames) {
  // 31-byte names fill the 20480-byte buffer: 20480 / 35 = 585 entries, then
  // the truncation mark in the last bytes.
  const std::string name(31, 'N');
  std::string reply;
  while (reply.size() + 35 < kUserNamesReplySize) reply += Entry(name);
  reply += kTruncated;
  reply.resize(kUserNamesReplySize, '\0');
  const auto names = ParseUserNamesReply(reply);
  EXPECT_EQ(names.size(), 585u);
  EXPECT_EQ(names.back(), name);
}

}  // namespace
}  // namespace tarnvel::firebird
