// A whole CLIENT+SERVER update run, step by step, against `cp -a` of the same
// two folders. The product (made by scripts/make-product.sh: a real database
// of DB_MB MiB made by the Firebird server on localhost/3051, and PROGRAM_MB
// MiB of bulk files in Program) is updated once per pair. The real server is
// shut down, stopped and started by every run, through a service script named
// like the product's own service that hands every action to
// /etc/init.d/firebird3.0. The fixed pauses (15 s after a service stop, 2 s
// after a shutdown) are injected as zero: they are waits, not work.
//
//   bench_update_run [WORK_FOLDER [PROGRAM_MB [DB_MB [PAIRS]]]]
//       defaults: ./bench-run 768 256 5 (keep the folder under the build
//       tree, not on a RAM disk; the server's user must reach it; the bench
//       works in TarnVel, services and cp-copy inside it)
//
// A pair is one update run and one cp -a of Program and DB_Data, each in a
// child process of its own started after the page cache was written out and
// (as root) dropped. The order alternates: odd pairs run the update first,
// even pairs cp -a first. Step times come from the run's own log: the host
// notes when each run-log entry arrives, and a step lasts from the entry that
// opens it to the one that closes it.
//
// Printed for every pair, then as median [min - max] over the pairs whose run
// and copy both succeeded:
//   backup  the backup step (uUpdate_UpdateProgramm_38 to _39): Program and
//           DB_Data copied into the working folder and the completion marker
//           written durably
//   cp -a   cp -a of the same two folders into the work folder; ratio is
//           backup / cp -a. Neither time includes the sync of the file
//           system that follows it.
//   server  the steps cp -a does not do, a fixed cost whatever the product's
//           size: from the attached-users check to the service's start
//           (users, shutdown, service stop, free-space check, service
//           restart; _8 to _27) and the online switch (_48 to _49). Two of
//           its parts on their own: stop (_21 to _22) and start (_26 to _27).
//   total   the whole run, from the child's start until UpdateProgramm
//           returned
//   peak    ru_maxrss of the run's process and of the programs it waited for
//           (payload, service scripts), from wait4
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/profile.h"
#include "bench_child.h"
#include "i18n/ldm.h"
#include "sysroutines/service_manager.h"
#include "update/update_driver.h"

namespace fs = std::filesystem;
using namespace tarnvel;
using namespace tarnvel::bench;
using tarnvel::i18n::GetMessageText;

namespace {

using Clock = std::chrono::steady_clock;

// What a run's child hands back to the bench: the steps' lengths in seconds,
// NaN for a step whose entries the run did not write.
struct StepTimes {
  double backup = NAN;
  double server = NAN;
  double stop = NAN;
  double start = NAN;
};

// Answers Yes to every question and notes when each run-log entry came.
class TimingHost : public IUpdateHost {
 public:
  void SaveExceptionToLog(const std::string& text) override { entries_.push_back({Clock::now(), text}); }
  void ProcessMessages() override {}
  DialogButton ShowDialog(const DialogRequest& request) override {
    return request.buttons.size() == 1 ? request.buttons.front() : DialogButton::Yes;
  }
  void SetStatusCaption(const std::string&) override {}
  void SetRolledBack(bool rolledBack) override { rolledBack_ = rolledBack; }
  bool RolledBack() const override { return rolledBack_; }

  // Seconds from the entry with the text of message From to the first one
  // after it with the text of message To; NaN when either is missing.
  double Between(const char* from, const char* to) const {
    const std::string opening = GetMessageText(from);
    const std::string closing = GetMessageText(to);
    const auto isOpening = [&](const auto& entry) { return entry.second == opening; };
    const auto open = std::find_if(entries_.begin(), entries_.end(), isOpening);
    if (open == entries_.end()) return NAN;
    const auto close =
        std::find_if(open, entries_.end(), [&](const auto& entry) { return entry.second == closing; });
    if (close == entries_.end()) return NAN;
    return std::chrono::duration<double>(close->first - open->first).count();
  }

  StepTimes Steps() const {
    StepTimes steps;
    steps.backup = Between("uUpdate_UpdateProgramm_38", "uUpdate_UpdateProgramm_39");
    steps.server = Between("uUpdate_UpdateProgramm_8", "uUpdate_UpdateProgramm_27") +
                   Between("uUpdate_UpdateProgramm_48", "uUpdate_UpdateProgramm_49");
    steps.stop = Between("uUpdate_UpdateProgramm_21", "uUpdate_UpdateProgramm_22");
    steps.start = Between("uUpdate_UpdateProgramm_26", "uUpdate_UpdateProgramm_27");
    return steps;
  }

 private:
  std::vector<std::pair<Clock::time_point, std::string>> entries_;
  bool rolledBack_ = false;
};

// Path as one shell word, whatever it holds.
std::string Quoted(const fs::path& path) {
  std::string word = "'";
  for (const char c : path.string()) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

// One pair's figures, as printed.
struct Pair {
  bool updateFirst = true;
  bool ok = false;
  StepTimes steps;
  double cp = 0;
  double total = 0;
  long peakKb = 0;
};

struct Spread {
  double median = NAN, min = NAN, max = NAN;
};

Spread SpreadOf(std::vector<double> values) {
  Spread spread;
  if (values.empty()) return spread;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  spread.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  spread.min = values.front();
  spread.max = values.back();
  return spread;
}

void PrintSpread(const char* what, const char* unit, const std::vector<double>& values) {
  const Spread s = SpreadOf(values);
  std::printf("  %-8s median %8.3f %s   [%.3f - %.3f]\n", what, s.median, unit, s.min, s.max);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path work = fs::absolute(argc > 1 ? argv[1] : "bench-run");
  const int programMb = argc > 2 ? std::atoi(argv[2]) : 768;
  const int dbMb = argc > 3 ? std::atoi(argv[3]) : 256;
  const int pairs = argc > 4 ? std::atoi(argv[4]) : 5;
  if (programMb < 0 || dbMb < 1 || pairs < 1) {
    std::fprintf(stderr, "usage: bench_update_run [WORK_FOLDER [PROGRAM_MB [DB_MB [PAIRS]]]]\n");
    return 2;
  }
  // A folder the bench makes is its own: opened to the server's user, and
  // removed at the end. Of a folder that was there it removes only what it
  // put there.
  const bool madeWork = fs::create_directories(work);
  if (madeWork) fs::permissions(work, fs::perms::all);
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

  const fs::path copy = work / "cp-copy";
  const auto runUpdate = [&](StepTimes& steps) {
    const SharedWithChild<StepTimes> shared;
    const Measure update = RunInChild([&] {
      TimingHost host;
      const int code =
          Ours([&] { UpdateProgramm(host, settings, root.string(), "kelpdromux", "7", "Tarnvel"); });
      *shared = host.Steps();
      return code;
    });
    steps = *shared;
    return update;
  };
  const auto runCopy = [&] {
    return RunInChild([&] {
      return Shell("mkdir -p " + Quoted(copy) + " && cp -a " + Quoted(root / "Program") + " " +
                   Quoted(root / "DB_Data") + " " + Quoted(copy));
    });
  };

  std::printf("%-5s %-9s %8s %8s %6s %8s %8s %8s %8s %10s\n", "pair", "order", "backup", "cp -a", "ratio",
              "server", "stop", "start", "total", "peak");
  std::vector<Pair> results;
  for (int number = 1; number <= pairs; ++number) {
    Pair pair;
    pair.updateFirst = number % 2 == 1;
    Measure update, cp;
    if (pair.updateFirst) {
      update = runUpdate(pair.steps);
      cp = runCopy();
    } else {
      cp = runCopy();
      update = runUpdate(pair.steps);
    }
    pair.cp = cp.workSeconds;
    pair.total = update.workSeconds;
    pair.peakKb = update.peakKb;
    pair.ok = update.status == 0 && cp.status == 0 && !std::isnan(pair.steps.backup) &&
              !std::isnan(pair.steps.server);
    std::printf("%-5d %-9s %6.3f s %6.3f s %6.3f %6.3f s %6.3f s %6.3f s %6.3f s %7ld KB%s\n", number,
                pair.updateFirst ? "run, cp" : "cp, run", pair.steps.backup, pair.cp,
                pair.steps.backup / pair.cp, pair.steps.server, pair.steps.stop, pair.steps.start, pair.total,
                pair.peakKb, pair.ok ? "" : "   (FAILED: left out of the summary)");
    std::fflush(stdout);
    results.push_back(pair);
    fs::remove_all(copy);
    for (const auto& entry : fs::directory_iterator(root)) {
      if (entry.path().filename().string().rfind("Tmp$", 0) == 0) fs::remove_all(entry.path());
    }
    sleep(1);  // the next run's working folder gets a stamp of its own
  }

  std::vector<double> backup, cp, ratio, server, stop, start, total, peak;
  for (const Pair& pair : results) {
    if (!pair.ok) continue;
    backup.push_back(pair.steps.backup);
    cp.push_back(pair.cp);
    ratio.push_back(pair.steps.backup / pair.cp);
    server.push_back(pair.steps.server);
    stop.push_back(pair.steps.stop);
    start.push_back(pair.steps.start);
    total.push_back(pair.total);
    peak.push_back(double(pair.peakKb) / 1024);
  }
  std::printf("over %zu of %d pairs, the page cache %s before each measure:\n", backup.size(), pairs,
              PageCacheWasDropped() ? "dropped" : "NOT dropped (needs root)");
  PrintSpread("backup", "s ", backup);
  PrintSpread("cp -a", "s ", cp);
  PrintSpread("ratio", "  ", ratio);
  PrintSpread("server", "s ", server);
  PrintSpread("stop", "s ", stop);
  PrintSpread("start", "s ", start);
  PrintSpread("total", "s ", total);
  PrintSpread("peak", "MiB", peak);
  fs::remove_all(copy);
  fs::remove_all(root);
  fs::remove_all(services);
  std::error_code notEmpty;
  if (madeWork) fs::remove(work, notEmpty);
  return backup.size() == results.size() ? 0 : 1;
}
