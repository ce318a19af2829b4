#include "support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

#include "sysroutines/paths.h"

namespace tarnvel::testing {

TempDir::TempDir(const std::string& tag) {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = std::filesystem::current_path() / "scratch" /
          (tag + "-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::str() const { return sys::PathToUtf8(path_); }

std::string TempDir::operator/(const std::string& child) const {
  return sys::PathToUtf8(path_ / sys::PathFromUtf8(child));
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tarnvel::testing
