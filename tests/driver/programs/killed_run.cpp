// A whole update run that stops at an exact point and waits there to be
// killed, as power loss or kill -9 would end it: the kill tests start it,
// kill it once it says it has stopped, and then recover.
//
//   tarnvel_test_killed_run FOLDER STATE-FOLDER STOP READY-FILE [server]
//
// STOP is "entry:<catalogue id>" (right after that run-log entry),
// "rename" (between the lock test's two renames), "backup-copy" (inside the
// backup copy), "replacement" (the new client's copy complete beside the
// installed one, not yet renamed over it) or "rollback-copy" (inside the rollback's copy; the
// replacement is made to fail after a file of Program was changed).
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "app/profile.h"
#include "i18n/ldm.h"
#include "update/update_context.h"
#include "update/update_driver.h"

namespace {

using namespace tarnvel;

[[noreturn]] void StopHere(const std::string& ready) {
  std::ofstream(ready) << "stopped\n";
  std::this_thread::sleep_for(std::chrono::minutes(10));
  std::exit(3);
}

class StoppingHost : public IUpdateHost {
 public:
  StoppingHost(std::string stop, std::string ready) : stop_(std::move(stop)), ready_(std::move(ready)) {}

  void SaveExceptionToLog(const std::string& text) override {
    std::cout << text << std::endl;
    if (stop_.rfind("entry:", 0) == 0 && text == i18n::GetMessageText(stop_.substr(6))) StopHere(ready_);
    if (stop_ == "rollback-copy" && text == i18n::GetMessageText("uIS_TarnVel_8")) {
      // A changed file, then no new client: the replacement fails and the
      // rollback has something to copy back.
      const UpdateContext& context = CurrentUpdateContext();
      std::ofstream(context.ProgramDir + "/TarnVel.exe", std::ios::app) << "changed by the failed replacement\n";
      std::filesystem::remove(context.NewDir + "/TarnVel.exe");
    }
  }
  void ProcessMessages() override {}
  DialogButton ShowDialog(const DialogRequest& request) override {
    return request.buttons.front() == DialogButton::Yes ? DialogButton::Yes : request.buttons.front();
  }
  void SetStatusCaption(const std::string&) override {}
  void SetRolledBack(bool rolledBack) override { rolledBack_ = rolledBack; }
  bool RolledBack() const override { return rolledBack_; }
  void ShowCopyProgress(const CopyProgress& progress) override {
    // Reports come at most ten times a second, so a fast copy may report
    // only its start and its end; the first report with bytes done is taken,
    // which is inside the copy of the folders as a whole (the marker of a
    // complete backup, or the swap, comes after the last one).
    const bool inside = progress.bytesDone > 0;
    const bool backup = progress.target.find("Old") != std::string::npos;
    if (inside && ((stop_ == "backup-copy" && backup) || (stop_ == "rollback-copy" && !backup))) StopHere(ready_);
  }

 private:
  std::string stop_;
  std::string ready_;
  bool rolledBack_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return 64;
  i18n::LDM().Sild.SetActiveLanguage(3);
  const std::string stop = argv[3];
  const std::string ready = argv[4];
  UpdateSettings settings;
  settings.profile = TarnVelProfile();
  if (argc > 5 && std::string(argv[5]) == "server") {
    settings.ServerParams = {"", "SUPER", "localhost/3051:", "firebird", "NorvaskFireXBirdServer"};
  }
  settings.service.pause = [](std::chrono::milliseconds) {};
  settings.shutdownPause = [](std::chrono::milliseconds) {};
  settings.stateFolder = argv[2];
  if (stop == "rename") settings.lockTest.betweenRenames = [&] { StopHere(ready); };
  if (stop == "replacement") settings.clientCopyWritten = [&] { StopHere(ready); };
  StoppingHost host(stop, ready);
  try {
    UpdateProgramm(host, settings, argv[1], "kelpdromux", "7", "Tarnvel");
  } catch (const std::exception& failure) {
    std::cout << "failed: " << failure.what() << std::endl;
    return 1;
  }
  return 0;
}
