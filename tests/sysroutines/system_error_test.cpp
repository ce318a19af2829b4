// The system's reason for a failure, as the OS layer hands it back: real
// failures on real files, and the system's own words for each.
#include "sysroutines/system_error.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "sysroutines/file_copy.h"
#include "sysroutines/paths.h"
#include "sysroutines/read_whole_file.h"

namespace tarnvel::sys {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(SystemError, RealFailuresCarryTheirKindAndTheSystemsWords) {
  TempDir dir("reason");
  WriteFile(dir.path() / "file.txt", "x");
  std::string content;
  const struct {
    const char* what;
    SysResult result;
    SystemErrorKind kind;
  } cases[] = {
      {"read a missing file", ReadWholeFile(dir / "missing.txt", content), SystemErrorKind::NotFound},
      {"read a folder", ReadWholeFile(dir.str(), content), SystemErrorKind::IsAFolder},
      {"copy a folder", CopyFileWithAttributes(dir.str(), dir / "copy"), SystemErrorKind::IsAFolder},
      {"copy into a missing folder",
       CopyFileWithAttributes(dir / "file.txt",
                              dir / ("missing" + std::string(1, kPathDelimiter) + "copy.txt")),
       SystemErrorKind::NotFound},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(c.result) << c.what;
    EXPECT_EQ(KindOfSystemError(c.result.ErrorCode()), c.kind) << c.what << ": " << c.result.ErrorCode();
  }
  EXPECT_EQ(content, "");  // left as it was

  // The system's own words, on one line as the operator reads them.
  const std::string words = SystemErrorText(cases[0].result.ErrorCode());
  EXPECT_FALSE(words.empty());
  EXPECT_EQ(words.find_first_of("\r\n"), std::string::npos) << words;
  EXPECT_TRUE(ReadWholeFile(dir / "file.txt", content));
  EXPECT_EQ(content, "x");
}

}  // namespace
}  // namespace tarnvel::sys
