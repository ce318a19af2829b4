// MyCopyDir as a command, so that farm-bench can time it against cp -a on
// any tree:  bench_copy_tree SOURCE TARGET [--progress]
// With --progress the copy reports to a host that shows nothing, as the
// update run's backup does.
#include <cstdio>
#include <exception>

#include "bench_child.h"
#include "update/copy_progress.h"
#include "update/folder_ops.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_copy_tree SOURCE TARGET [--progress]\n");
    return 2;
  }
  try {
    if (argc > 3) {
      tarnvel::bench::NullHost host;
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
