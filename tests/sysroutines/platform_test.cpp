// The primitives of the OS boundary that the application shell needs.
#include <gtest/gtest.h>

#include <filesystem>

#include "sysroutines/executable.h"
#include "sysroutines/local_time.h"
#include "sysroutines/paths.h"
#include "sysroutines/resources.h"
#include "sysroutines/system_language.h"

namespace tarnvel::sys {
namespace {

TEST(Executable, PathNamesThisTestProgram) {
  const std::string path = ExecutablePath();
  EXPECT_NE(path.find("test_sysroutines"), std::string::npos) << path;
  EXPECT_TRUE(std::filesystem::is_regular_file(PathFromUtf8(path))) << path;
  EXPECT_EQ(ExecutableDir() + kPathDelimiter, path.substr(0, ExecutableDir().size() + 1));
}

TEST(Resources, FoundByTypeAndNameWithoutRegardToCase) {
  const auto exact = FindEmbeddedResource("CATALOGUE", "SIL");
  ASSERT_TRUE(exact.has_value());
  EXPECT_GT(exact->size(), 1000u);
  const auto lower = FindEmbeddedResource("catalogue", "sil");
  ASSERT_TRUE(lower.has_value());
  EXPECT_EQ(lower->data(), exact->data());
  EXPECT_FALSE(FindEmbeddedResource("CATALOGUE", "NOSUCHTABLE").has_value());
  EXPECT_FALSE(FindEmbeddedResource("NOSUCHTYPE", "SIL").has_value());
}

TEST(SystemLanguage, PrimaryLanguageMapsToIndex) {
  const struct { std::uint8_t id; int index; } cases[] = {
      {0x19, 1}, {0x09, 2}, {0x07, 3}, {0x0C, 4},  // Russian, English, German, French
      {0x22, 2}, {0x15, 2}, {0x00, 2}, {0xFF, 2},  // Ukrainian, Polish, neutral, junk: English
  };
  for (const auto& c : cases) EXPECT_EQ(LanguageIndexFor(c.id), c.index) << int(c.id);
  EXPECT_EQ(GetSystemLanguageID(), SystemDefaultLangId() & 0xFF);
}

TEST(LocalTime, FormatsTheGivenMoment) {
  const LocalDateTime when{2026, 3, 5, 14, 7, 9};
  const std::string date = FormatShortDate(when);
  const std::string time = FormatLongTime(when);
  EXPECT_NE(date.find("26"), std::string::npos) << date;
  EXPECT_NE(date.find('5'), std::string::npos) << date;
  EXPECT_NE(time.find("07"), std::string::npos) << time;
  EXPECT_NE(time.find("09"), std::string::npos) << time;
  const LocalDateTime now = CurrentLocalDateTime();
  EXPECT_GE(now.year, 2024);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
}

TEST(Paths, TrailingDelimiterAddedOnce) {
  const std::string d(1, kPathDelimiter);
  EXPECT_EQ(IncludeTrailingPathDelimiter("a"), "a" + d);
  EXPECT_EQ(IncludeTrailingPathDelimiter("a" + d), "a" + d);
  EXPECT_EQ(WideToUtf8(Utf8ToWide("Пуск é…")), "Пуск é…");
}

}  // namespace
}  // namespace tarnvel::sys
