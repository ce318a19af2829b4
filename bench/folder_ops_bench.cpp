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
// Each operation runs in a child process of its own, so that its time and its
// peak memory (ru_maxrss) are measured the same way for our routines and for
// the tools. Before each run the page cache is written out and, as root,
// dropped, so that every copy reads from the disk; the time includes the
// final sync. The data is deleted at the end. Only the work folder's file
// system is synced (syncfs): a global sync would also wait for whatever
// other programs on the machine have written, and time that instead.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "update/folder_ops.h"

namespace fs = std::filesystem;

namespace {

struct Measure {
  double seconds = 0;
  long peakKb = 0;
  int status = 0;
};

// The file system of the work folder, written out.
fs::path workFolder;

void SyncWorkFileSystem() {
  const int fd = open(workFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0 || syncfs(fd) != 0) sync();
  if (fd >= 0) close(fd);
}

void DropCaches() {
  SyncWorkFileSystem();
  if (geteuid() == 0) std::ofstream("/proc/sys/vm/drop_caches") << "3\n";
}

Measure RunInChild(const std::function<int()>& body) {
  DropCaches();
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    int code = body();
    SyncWorkFileSystem();
    _exit(code);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Measure m;
  m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  m.peakKb = usage.ru_maxrss;
  m.status = status;
  return m;
}

int Shell(const std::string& command) {
  return std::system(command.c_str()) == 0 ? 0 : 1;
}

int Ours(const std::function<void()>& action) {
  try {
    action();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "failed: %s\n", e.what());
    return 1;
  }
}

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
  Report((std::string(name) + ": MyCopyDir / cp -a").c_str(), copy, cp);
  Report((std::string(name) + ": MyRemoveDir / rm -rf").c_str(), remove, rm);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path work = fs::absolute(argc > 1 ? argv[1] : "bench-data");
  workFolder = work;
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
