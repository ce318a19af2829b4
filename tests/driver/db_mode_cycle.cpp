#include "driver/db_mode_cycle.h"

#include <gtest/gtest.h>

#include "driver/driver_fixture.h"
#include "update/db_mode_commands.h"

namespace tarnvel::testing {

void PlayDbModeCycle(const UpdateSettings& settings, const std::string& root,
                     const std::function<bool()>& databaseOnline) {
  for (const DbModeStep& step : kDbModeCycle) {
    SCOPED_TRACE(std::string(step.unit) + " " + std::to_string(step.logged));
    ScriptedHost host;
    if (step.online) {
      UpdateOnLine(host, settings, root, "kelpdromux");
    } else {
      UpdateShutdown(host, settings, root, "kelpdromux");
    }
    const std::string unit = step.unit;
    EXPECT_EQ(host.entries, InitEntries() + Entries({unit + "_1", unit + "_" + std::to_string(step.logged)}));
    ASSERT_EQ(host.dialogs.size(), 1u);
    EXPECT_EQ(host.dialogs[0].type, step.box);
    EXPECT_EQ(host.dialogs[0].text, Text(unit + "_" + std::to_string(step.logged + 1)));
    EXPECT_EQ(host.dialogs[0].buttons, std::vector<DialogButton>{DialogButton::Ok});
    EXPECT_EQ(databaseOnline(), step.online);
  }
}

}  // namespace tarnvel::testing
