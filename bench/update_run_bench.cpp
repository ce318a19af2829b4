// A whole CLIENT+SERVER update run against `cp -a` of the same two folders.
// The product (made by scripts/make-product.sh: a real database of DB_MB MiB
// made by the Firebird server on localhost/3051, and PROGRAM_MB MiB of bulk
// files in Program) is updated RUNS times; each run is paired with a cp -a of
// Program and DB_Data measured right after it. The real server is shut down,
// stopped and started by every run, through a service script named like the
// product's own service that hands every action to /etc/init.d/firebird3.0.
// The fixed pauses (15 s after a service stop, 2 s after a shutdown) are
// injected as zero: they are waits, not work.
//
//   bench_update_run [WORK_FOLDER [PROGRAM_MB [DB_MB [RUNS]]]]
//       defaults: ./bench-run 768 256 3 (keep the folder under the build
//       tree, not on a RAM disk; the server's user must reach it)
//
// Reports per pair: run time, cp time, ratio, the updater's peak memory; and
// the time of each step of the first run.
#include <sys/statvfs.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/profile.h"
#include "bench_child.h"
#include "sysroutines/service_manager.h"
#include "update/update_driver.h"

namespace fs = std::filesystem;
using namespace tarnvel;
using namespace tarnvel::bench;

namespace {

// Answers Yes to every question and notes when each run-log entry came.
class TimingHost : public IUpdateHost {
 public:
  void SaveExceptionToLog(const std::string& text) override {
    entries_.push_back({std::chrono::steady_clock::now(), text});
  }
  void ProcessMessages() override {}
  DialogButton ShowDialog(const DialogRequest& request) override {
    return request.buttons.size() == 1 ? request.buttons.front() : DialogButton::Yes;
  }
  void SetStatusCaption(const std::string&) override {}
  void SetRolledBack(bool rolledBack) override { rolledBack_ = rolledBack; }
  bool RolledBack() const override { return rolledBack_; }

  void PrintSteps(std::chrono::steady_clock::time_point start) const {
    auto previous = start;
    for (const auto& [when, text] : entries_) {
      const std::string line = text.substr(0, text.find_first_of("\r\n"));
      std::printf("  %8.3f s  %s\n", std::chrono::duration<double>(when - previous).count(),
                  line.substr(0, 70).c_str());
      previous = when;
    }
  }

 private:
  std::vector<std::pair<std::chrono::steady_clock::time_point, std::string>> entries_;
  bool rolledBack_ = false;
};

std::string Quoted(const fs::path& path) {
  return "'" + path.string() + "'";
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path work = fs::absolute(argc > 1 ? argv[1] : "bench-run");
  const int programMb = argc > 2 ? std::atoi(argv[2]) : 768;
  const int dbMb = argc > 3 ? std::atoi(argv[3]) : 256;
  const int runs = argc > 4 ? std::atoi(argv[4]) : 3;
  fs::create_directories(work);
  fs::permissions(work, fs::perms::all);
  SetWorkFolder(work.string());
  struct statvfs vfs {};
  statvfs(work.c_str(), &vfs);
  const double freeGb = double(vfs.f_bavail) * vfs.f_frsize / (1 << 30);
  std::printf("work folder %s, %.1f GiB free; product: %d MiB in Program, %d MiB database\n", work.c_str(),
              freeGb, programMb, dbMb);
  if (freeGb * 1024 < 4.0 * (programMb + dbMb)) {
    std::fprintf(stderr, "needs four times the product's size free\n");
    return 2;
  }

  const fs::path root = work / "TarnVel";
  if (Shell("bash " + Quoted(fs::path(TARNVEL_SOURCE_DIR) / "scripts/make-product.sh") + " " + Quoted(root) +
            " --program-mb " + std::to_string(programMb) + " --files 16 --db-mb " + std::to_string(dbMb) +
            " >/dev/null") != 0) {
    std::fprintf(stderr, "could not lay out the product\n");
    return 2;
  }
  const fs::path services = work / "services";
  fs::create_directories(services);
  std::ofstream(services / "NorvaskFireXBirdServer")
      << "#!/bin/sh\nexec /etc/init.d/firebird3.0 \"$@\" >/dev/null 2>&1\n";
  fs::permissions(services / "NorvaskFireXBirdServer", fs::perms::owner_all);
  setenv(sys::kServiceFolderVariable, services.c_str(), 1);

  UpdateSettings settings;
  settings.profile = TarnVelProfile();
  settings.ServerParams = {"", "SUPER", "localhost/3051:", "firebird", "NorvaskFireXBirdServer"};
  settings.service.pause = [](std::chrono::milliseconds) {};
  settings.shutdownPause = [](std::chrono::milliseconds) {};

  std::printf("%-6s %10s %10s %7s %14s\n", "pair", "update", "cp -a", "ratio", "updater peak");
  double sumRatio = 0;
  for (int pair = 1; pair <= runs; ++pair) {
    const Measure update = RunInChild([&] {
      TimingHost host;
      const auto start = std::chrono::steady_clock::now();
      const int code =
          Ours([&] { UpdateProgramm(host, settings, root.string(), "kelpdromux", "7", "Tarnvel"); });
      if (pair == 1) host.PrintSteps(start);
      return code;
    });
    const fs::path copy = work / "cp-copy";
    const Measure cp = RunInChild([&] {
      return Shell("mkdir -p " + Quoted(copy) + " && cp -a " + Quoted(root / "Program") + " " +
                   Quoted(root / "DB_Data") + " " + Quoted(copy));
    });
    const double ratio = update.seconds / cp.seconds;
    sumRatio += ratio;
    std::printf("%-6d %8.2f s %8.2f s %7.2f %11ld KB%s\n", pair, update.seconds, cp.seconds, ratio,
                update.peakKb, (update.status != 0 || cp.status != 0) ? "   (A RUN FAILED)" : "");
    fs::remove_all(copy);
    for (const auto& entry : fs::directory_iterator(root)) {
      if (entry.path().filename().string().rfind("Tmp$", 0) == 0) fs::remove_all(entry.path());
    }
    sleep(1);  // the next run's working folder gets a stamp of its own
  }
  std::printf("mean ratio %.2f\n", sumRatio / runs);
  fs::remove_all(work);
  return 0;
}
