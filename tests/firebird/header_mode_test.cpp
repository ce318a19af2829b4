// Reading the database's mode off its header statistics, and the service
// line replies the statistics come in.
#include "firebird/header_mode.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "firebird/service_lines.h"

namespace tarnvel::firebird {
namespace {

TEST(ParseHeaderMode, EveryShutdownModeAndTheOnlineOnes) {
  const struct {
    const char* attributes;
    bool shutDown;
  } cases[] = {
      {"force write", false},
      {"", false},
      {"force write, read only", false},
      {"force write, full shutdown", true},
      {"force write, single-user maintenance", true},
      {"multi-user maintenance", true},
  };
  for (const auto& c : cases) {
    const std::string text = std::string("Database header page information:\n\tFlags\t\t\t0\n") +
                             "\tAttributes\t\t" + c.attributes + " \n\n    Variable header data:\n";
    const HeaderMode mode = ParseHeaderMode(text);
    EXPECT_EQ(mode.shutDown, c.shutDown) << c.attributes;
    EXPECT_EQ(mode.attributes, c.attributes);
  }
  EXPECT_THROW(ParseHeaderMode("Database header page information:\n\tFlags 0\n"), std::runtime_error);
  EXPECT_THROW(ParseHeaderMode(""), std::runtime_error);
}

TEST(ParseServiceLineReply, LinesEndAndMalformedReplies) {
  using namespace std::string_literals;
  EXPECT_EQ(ParseServiceLineReply("\x3e\x05\x00hello\x01"s), "hello");
  EXPECT_EQ(ParseServiceLineReply("\x3e\x00\x00\x01"s), "");  // the service has printed everything
  for (const std::string& bad : {""s, "\x01"s, "\x3e\x05"s, "\x3e\x09\x00hello"s, "\x3e\xff\xff"s}) {
    EXPECT_THROW(ParseServiceLineReply(bad), std::runtime_error) << bad.size();
  }
}

}  // namespace
}  // namespace tarnvel::firebird
