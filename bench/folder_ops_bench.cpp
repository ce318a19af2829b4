// MyCopyDir and MyRemoveDir against cp -a and rm -rf on the same data:
// (a) one 2 GiB file, (b) 20,000 small files in nested folders.
//
//   bench_folder_ops [WORK_FOLDER [big|small]]
//                                      WORK_FOLDER default: ./bench-data (keep
//                                      it under the build tree, not on a RAM
//                                      disk); big or small runs that case
//                                      alone (small needs 1 GiB free, so it
//                                      fits a small loop-mounted image)
//
// Each operation runs in a child process of its own (bench_child.h). A third
// row times the copy with the progress reports the update run makes against
// the copy without them. The data is deleted at the end.
#include <sys/statvfs.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench_child.h"
#include "update/copy_progress.h"
#include "update/folder_ops.h"

namespace fs = std::filesystem;
using namespace tarnvel::bench;

namespace {

void MakeBigFile(const fs::path& file, std::uint64_t size) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  std::vector<char> block(1 << 20);
  std::mt19937_64 random(7);
  for (std::uint64_t written = 0; written < size; written += block.size()) {
    for (std::size_t i = 0; i < block.size(); i += 8) *reinterpret_cast<std::uint64_t*>(&block[i]) = random();
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
}

void MakeSmallFiles(const fs::path& root, int count) {
  std::mt19937 random(11);
  for (int i = 0; i < count; ++i) {
    const fs::path folder = root / ("d" + std::to_string(i % 20)) / ("e" + std::to_string(i / 20 % 10)) /
                            ("f" + std::to_string(i / 200 % 5));
    if (i < 1000) fs::create_directories(folder);
    std::ofstream out(folder / ("file" + std::to_string(i) + ".dat"), std::ios::binary);
    out << std::string(512 + random() % 8192, static_cast<char>('a' + i % 26));
  }
}

void Report(const char* what, const Measure& ours, const Measure& tool) {
  std::printf("%-40s %9.2f s %9.2f s %7.2f   %8ld KB %8ld KB%s\n", what, ours.seconds, tool.seconds,
              ours.seconds / tool.seconds, ours.peakKb, tool.peakKb,
              (ours.status != 0 || tool.status != 0) ? "   (A RUN FAILED)" : "");
}

void Compare(const char* name, const fs::path& source, const fs::path& work) {
  const fs::path oursCopy = work / (std::string(name) + "-ours");
  const fs::path toolCopy = work / (std::string(name) + "-cp");
  const Measure cp =
      RunInChild([&] { return Shell("cp -a '" + source.string() + "' '" + toolCopy.string() + "'"); });
  const Measure copy =
      RunInChild([&] { return Ours([&] { tarnvel::MyCopyDir(source.string(), oursCopy.string()); }); });
  const Measure rm = RunInChild([&] { return Shell("rm -rf '" + toolCopy.string() + "'"); });
  const Measure remove = RunInChild([&] { return Ours([&] { tarnvel::MyRemoveDir(oursCopy.string()); }); });
  const Measure watched = RunInChild([&] {
    return Ours([&] {
      NullHost host;
      tarnvel::CopyProgressReporter report(host, source.string(), oursCopy.string());
      tarnvel::MyCopyDir(source.string(), oursCopy.string(),
                         [&](std::uint64_t done, std::uint64_t total) { report(done, total); });
    });
  });
  const Measure unwatched =
      RunInChild([&] { return Ours([&] { tarnvel::MyCopyDir(source.string(), toolCopy.string()); }); });
  fs::remove_all(oursCopy);
  fs::remove_all(toolCopy);
  Report((std::string(name) + ": MyCopyDir / cp -a").c_str(), copy, cp);
  Report((std::string(name) + ": MyRemoveDir / rm -rf").c_str(), remove, rm);
  Report((std::string(name) + ": with progress / without").c_str(), watched, unwatched);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path work = fs::absolute(argc > 1 ? argv[1] : "bench-data");
  SetWorkFolder(work.string());
  const std::string only = argc > 2 ? argv[2] : "";
  if (!only.empty() && only != "big" && only != "small") {
    std::fprintf(stderr, "usage: bench_folder_ops [WORK_FOLDER [big|small]]\n");
    return 2;
  }
  const bool big = only != "small";
  const bool small = only != "big";
  fs::create_directories(work);
  struct statvfs vfs {};
  statvfs(work.c_str(), &vfs);
  const double freeGb = double(vfs.f_bavail) * vfs.f_frsize / (1 << 30);
  const double neededGb = big ? 8 : 1;
  std::printf("work folder %s, %.1f GiB free\n", work.c_str(), freeGb);
  if (freeGb < neededGb) {
    std::fprintf(stderr, "needs %.0f GiB free\n", neededGb);
    return 2;
  }

  std::printf("%-40s %11s %11s %7s   %11s %11s\n", "", "ours", "tool", "ratio", "ours peak", "tool peak");
  if (big) {
    const fs::path data = work / "big";
    MakeBigFile(data / "TarnVel.fdb", std::uint64_t(2) << 30);
    Compare("one 2 GiB file", data, work);
    fs::remove_all(data);
  }
  if (small) {
    const fs::path data = work / "small";
    MakeSmallFiles(data, 20000);
    Compare("20,000 small files", data, work);
    fs::remove_all(data);
  }

  fs::remove_all(work);
  return 0;
}
