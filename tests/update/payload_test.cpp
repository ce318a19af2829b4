// The payload carried as EXEFILE/FILES: written out byte for byte, started in
// a fresh folder, leaving the new TarnVel.exe there.
#include "update/payload.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "i18n/ldm.h"
#include "support/temp_dir.h"
#include "support/failure_text.h"
#include "sysroutines/paths.h"
#include "sysroutines/resources.h"
#include "sysroutines/run_and_wait.h"

namespace tarnvel {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
namespace fs = std::filesystem;

const std::string d(1, sys::kPathDelimiter);

std::string MessageOf(const std::function<void()>& action) { return testing::FailureText(action); }

TEST(ExtractFilesFromResource, WritesThePayloadThatUnpacksTheClient) {
  const auto payload = sys::FindEmbeddedResource("EXEFILE", "FILES");
  ASSERT_TRUE(payload.has_value());
  TempDir dir("payload");
  const std::string newDir = dir / "New";
  fs::create_directories(sys::PathFromUtf8(newDir));
  const std::string files = newDir + d + "files.exe";
  WriteFile(sys::PathFromUtf8(files), std::string(payload->size() + 4096, 'o'));  // longer old file
  ExtractFilesFromResource(files, "");
  EXPECT_TRUE(ReadFile(sys::PathFromUtf8(files)) == *payload);

  // Started without arguments in its own folder it leaves TarnVel.exe there.
  EXPECT_EQ(sys::RunAndWait(files, "", sys::kShowNormal), 0);
  const fs::path client = sys::PathFromUtf8(newDir) / "TarnVel.exe";
  ASSERT_TRUE(fs::is_regular_file(client));
#ifdef TARNVEL_STANDIN_CLIENT
  EXPECT_TRUE(ReadFile(client) == ReadFile(sys::PathFromUtf8(TARNVEL_STANDIN_CLIENT)));
#endif
  // ... and that program runs.
  EXPECT_EQ(sys::RunAndWait(sys::PathToUtf8(client), "", sys::kShowNormal), 0);
}

TEST(ExtractFilesFromResource, RelativeNameIsExpanded) {
  TempDir dir("payload");
  const auto before = fs::current_path();
  fs::current_path(dir.path());
  EXPECT_NO_THROW(ExtractFilesFromResource("files.exe", "FiLeS"));
  fs::current_path(before);
  EXPECT_EQ(fs::file_size(dir.path() / "files.exe"), sys::FindEmbeddedResource("EXEFILE", "FILES")->size());
}

TEST(ExtractFilesFromResource, FailuresCarryTheResourceNameACarriageReturnAndTheCause) {
  TempDir dir("payload");
  const std::string target = dir / "files.exe";
  EXPECT_EQ(MessageOf([&] { ExtractFilesFromResource(target, "NOSUCH"); }),
            i18n::GetMessageText("uUpdate_ExtractFilesFromResource_1", "NOSUCH") + "\rResource NOSUCH not found");
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(target)));

  const std::string nowhere = dir / "missing" + d + "files.exe";
  EXPECT_EQ(MessageOf([&] { ExtractFilesFromResource(nowhere, ""); }),
            i18n::GetMessageText("uUpdate_ExtractFilesFromResource_1", "files") + "\rCannot create file " + nowhere);
}

TEST(EmbeddedPayloadDigest, IsTheDigestOfThePayloadTheBuildEmbedded) {
  const auto payload = sys::FindEmbeddedResource("EXEFILE", "FILES");
  ASSERT_TRUE(payload.has_value());
  const auto digest = EmbeddedPayloadDigest();
  ASSERT_TRUE(digest.has_value());
  EXPECT_EQ(sys::ToHex(*digest), sys::ToHex(sys::Sha256Of(*payload)));
}

TEST(HoldVerifiedPayload, HoldsOnlyAPayloadWithTheDigestItMustHave) {
  TempDir dir("payload");
  const std::string files = dir / "files.exe";
  ExtractFilesFromResource(files, "");
  ASSERT_TRUE(EmbeddedPayloadDigest().has_value());
  const std::unique_ptr<sys::HeldProgram> held = HoldVerifiedPayload(files, EmbeddedPayloadDigest());
  ASSERT_TRUE(held);
  EXPECT_EQ(held->Path(), files);

  sys::Sha256Digest another = *EmbeddedPayloadDigest();
  another[31] ^= 1;
  const std::string refusal = i18n::GetMessageText("uUpdate_HoldVerifiedPayload_1", files);
  EXPECT_EQ(MessageOf([&] { HoldVerifiedPayload(files, another); }), refusal);
  // A build that recorded no digest vouches for nothing.
  EXPECT_EQ(MessageOf([&] { HoldVerifiedPayload(files, std::nullopt); }), refusal);
  const std::string missing = dir / "missing.exe";
  EXPECT_EQ(MessageOf([&] { HoldVerifiedPayload(missing, EmbeddedPayloadDigest()); }),
            i18n::GetMessageText("uUpdate_HoldVerifiedPayload_1", missing));
}

}  // namespace
}  // namespace tarnvel
