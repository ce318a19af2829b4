// The start-up sequence in its binding order, against a recording front end.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/profile.h"
#include "app/recording_view.h"
#include "support/temp_dir.h"

namespace tarnvel {
namespace {

using testing::RecordingView;
using testing::TempDir;

class RecordingFrontEnd : public IFrontEnd {
 public:
  void SetApplicationTitle(const std::string& title) override {
    events.push_back("SetApplicationTitle " + title);
  }
  void ShowBox(const DialogRequest& request) override { events.push_back("ShowBox " + request.text); }
  IMainView& CreateMainWindow() override {
    events.push_back("CreateMainWindow");
    return view;
  }
  void RunMessageLoop(TfrmMain& form) override {
    events.push_back("RunMessageLoop");
    form.FormShow();
    profileKey = form.profile.ProjectKey;
    serviceName = form.ServerParams.ServiceName;
  }

  std::vector<std::string> events;
  RecordingView view{events};
  std::string profileKey, serviceName;
};

std::ptrdiff_t IndexOf(const std::vector<std::string>& events, const std::string& event) {
  const auto at = std::find(events.begin(), events.end(), event);
  EXPECT_NE(at, events.end()) << event;
  return at - events.begin();
}

TEST(Startup, RunsItsStepsInTheBindingOrder) {
  TempDir dir("startup");
  RecordingFrontEnd frontEnd;
  FormEnvironment env;
  env.executablePath = dir / "Upd";
  env.discoverServer = [&](firebird::TFBServParams& params) {
    frontEnd.events.push_back("discover");
    params.ServiceName = "NorvaskFireXBirdServer";
  };
  EXPECT_EQ(RunStartup(frontEnd, env), 0);

  const InputPresets presets = TarnVelPresets();
  const std::vector<std::string> order = {
      "SetApplicationTitle Updater_TarnVel",
      "CreateMainWindow",
      "SetControlCaption OKBtn",  // the window's texts, before its creation handler
      "SetCaption Upd",           // creation: the title from the executable's name
      "LoadPictures",
      "discover",
      "SetPassword " + presets.Password,
      "SetAdmnPassword " + presets.AdmnPassword,
      "SetProgramLocation " + presets.ProgramLocation,
      "RunMessageLoop",
      "ApplyButtonFaceColours",  // the show handler, when the loop shows the window
  };
  for (std::size_t i = 1; i < order.size(); ++i) {
    EXPECT_LT(IndexOf(frontEnd.events, order[i - 1]), IndexOf(frontEnd.events, order[i])) << order[i];
  }
  EXPECT_EQ(std::count_if(frontEnd.events.begin(), frontEnd.events.end(),
                          [](const std::string& e) {
                            return e.rfind("ShowBox", 0) == 0 || e.rfind("ShowDialog", 0) == 0;
                          }),
            0);
  EXPECT_EQ(frontEnd.view.caption, "Upd");
  EXPECT_EQ(frontEnd.profileKey, "Tarnvel");
  EXPECT_EQ(frontEnd.serviceName, "NorvaskFireXBirdServer");
  EXPECT_EQ(frontEnd.view.password.size(), 10u);
  EXPECT_EQ(frontEnd.view.admnPassword.size(), 1u);
}

}  // namespace
}  // namespace tarnvel
