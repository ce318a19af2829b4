// Windows: the held handle shares reading only. Nobody can write, rename or
// remove the held program, and a program someone already has open for
// writing is not held at all.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "sysroutines/held_program.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// A writer as anyone would open one: sharing everything it can.
HANDLE OpenForWriting(const std::string& path) {
  return CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(HeldProgramWindows, TheHeldHandleRefusesAWriterARenameAndARemoval) {
  TempDir dir("held");
  const std::string program = dir / "files.exe";
  WriteFile(PathFromUtf8(program), "the checked program");
  std::unique_ptr<HeldProgram> held = HeldProgram::Hold(program);
  ASSERT_TRUE(held);

  const HANDLE writer = OpenForWriting(program);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  EXPECT_EQ(MoveFileExW(Utf8ToWide(program).c_str(), Utf8ToWide(dir / "moved.exe").c_str(), 0), 0);
  EXPECT_EQ(DeleteFileW(Utf8ToWide(program).c_str()), 0);
  EXPECT_EQ(ReadFile(PathFromUtf8(program)), "the checked program");

  // It was the handle: once it is gone, a writer gets in.
  held.reset();
  const HANDLE later = OpenForWriting(program);
  EXPECT_NE(later, INVALID_HANDLE_VALUE);
  if (later != INVALID_HANDLE_VALUE) CloseHandle(later);
}

TEST(HeldProgramWindows, AProgramOpenForWritingElsewhereIsNotHeld) {
  TempDir dir("held");
  const std::string program = dir / "files.exe";
  WriteFile(PathFromUtf8(program), "a program being written");
  const HANDLE writer = OpenForWriting(program);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(HeldProgram::Hold(program));
  CloseHandle(writer);
  EXPECT_TRUE(HeldProgram::Hold(program));
}

}  // namespace
}  // namespace tarnvel::sys
