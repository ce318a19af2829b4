// The Operations menu's database commands against the real server.
#include "update/db_mode_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "driver/db_mode_cycle.h"
#include "driver/posix/server_fixture.h"
#include "i18n/ldm.h"
#include "support/failure_text.h"
#include "support/local_port.h"

namespace tarnvel {
namespace {

using namespace testing;

class DbModeCommand : public ServerRun {};

TEST_F(DbModeCommand, ShutdownAndOnlineEachWarnWhenAlreadyThere) {
  PlayDbModeCycle(settings_, root_, [this] { return DatabaseOnline(); });
}

TEST_F(DbModeCommand, RefusalsBeforeAndFromTheServer) {
  // No SERVER part: refused after the first entry, whatever the password.
  ASSERT_NO_FATAL_FAILURE(MakeProduct("--client-only"));
  EXPECT_EQ(FailureText([&] { UpdateOnLine(host_, settings_, root_, "wrong"); }),
            Text("uUpdate_UpdateOnLine_2"));
  EXPECT_EQ(FailureText([&] { UpdateShutdown(host_, settings_, root_, "wrong"); }),
            Text("uUpdate_UpdateShutdown_2"));
  EXPECT_EQ(host_.entries.size(), 6u);

  ASSERT_NO_FATAL_FAILURE(MakeProduct(""));
  host_ = ScriptedHost();
  EXPECT_EQ(FailureText([&] { UpdateShutdown(host_, settings_, root_, "  "); }),
            "The password was not specified!");
  const std::string refused = FailureText([&] { UpdateShutdown(host_, settings_, root_, "wrong"); });
  EXPECT_NE(refused.find("password"), std::string::npos) << refused;
  EXPECT_TRUE(host_.dialogs.empty());
  EXPECT_TRUE(DatabaseOnline());

  // A folder that does not exist fails in UpdateInit: no entry of the command.
  host_ = ScriptedHost();
  EXPECT_EQ(FailureText([&] { UpdateOnLine(host_, settings_, root_ + "/missing", "kelpdromux"); }),
            Text("uUpdate_UpdateInit_2", root_ + "/missing"));
  EXPECT_EQ(host_.entries, Entries({"uUpdate_UpdateInit_1"}));
}

// After a crash the operator meets what it left without a journal to say
// so: a server whose service stayed stopped, a product folder left under its
// lock-test name. The texts say what is wrong and what to do.
TEST_F(DbModeCommand, WhatACrashLeftIsNamedInTheText) {
  // No server answers on the product's port: the service may be stopped.
  int port = 3052;
  while (LocalPortAnswers(port)) ++port;
  settings_.profile.ConnectionPrefix = "localhost/" + std::to_string(port) + ":";
  const std::string down = FailureText([&] { UpdateOnLine(host_, settings_, root_, "kelpdromux"); });
  EXPECT_NE(down.find(Text("uUpdate_ServerAdvice_1")), std::string::npos) << down;
  // A wrong password is something else: no advice about the service.
  settings_ = TestSettings(OwnSuperServer());
  const std::string refused = FailureText([&] { UpdateOnLine(host_, settings_, root_, "wrong"); });
  EXPECT_EQ(refused.find(Text("uUpdate_ServerAdvice_1")), std::string::npos) << refused;

  // The product folder under its lock-test name.
  std::filesystem::rename(root_, root_ + "_");
  const std::string missing = FailureText([&] { UpdateOnLine(host_, settings_, root_, "kelpdromux"); });
  std::filesystem::rename(root_ + "_", root_);
  EXPECT_EQ(missing, Text("uUpdate_UpdateInit_2", root_) + "\r\n" +
                         i18n::GetMessageText("uUpdate_UpdateProgramm_57", root_ + "_", root_));
}

}  // namespace
}  // namespace tarnvel
