// MyCopyDir as a command, so that farm-bench can time it against cp -a on
// any tree:  bench_copy_tree SOURCE TARGET [--progress]
// With --progress the copy reports to a host that shows nothing, as the
// update run's backup does.
#include <cstdio>
#include <exception>

#include "update/copy_progress.h"
#include "update/folder_ops.h"

namespace {

class NullHost : public tarnvel::IUpdateHost {
 public:
  void SaveExceptionToLog(const std::string&) override {}
  void ProcessMessages() override {}
  tarnvel::DialogButton ShowDialog(const tarnvel::DialogRequest&) override {
    return tarnvel::DialogButton::Ok;
  }
  void SetStatusCaption(const std::string&) override {}
  void SetRolledBack(bool) override {}
  bool RolledBack() const override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_copy_tree SOURCE TARGET [--progress]\n");
    return 2;
  }
  try {
    if (argc > 3) {
      NullHost host;
      tarnvel::CopyProgressReporter report(host, argv[1], argv[2]);
      tarnvel::MyCopyDir(argv[1], argv[2],
                         [&](std::uint64_t done, std::uint64_t total) { report(done, total); });
    } else {
      tarnvel::MyCopyDir(argv[1], argv[2]);
    }
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
    return 1;
  }
  return 0;
}
