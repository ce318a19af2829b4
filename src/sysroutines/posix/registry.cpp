#include "sysroutines/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "sysroutines/registry_file.h"

namespace tarnvel::sys {
namespace {

std::string RegistryFilePath() {
  const char* overridden = std::getenv(kRegistryFileVariable);
  return overridden && *overridden ? overridden : kDefaultRegistryFile;
}

class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const std::string& path)
      : fd_(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {}
  ~ReadOnlyFile() {
    if (fd_ >= 0) close(fd_);
  }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

// The bytes of the registry file. Whatever cannot be opened or is not a
// regular file reads as no file at all; opening does not wait for a writer
// (a FIFO) and reading stops one byte past the size limit, so that neither
// an endless source nor a huge file can hold or exhaust the program.
std::string ReadRegistryFile(const std::string& path) {
  const ReadOnlyFile file(path);
  struct stat info {};
  if (file.fd() < 0 || fstat(file.fd(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(file.fd(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {};
    if (n == 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(n));
    if (bytes.size() > kMaxRegistryFileSize)
      throw std::runtime_error("The registry file " + path + " is larger than " +
                               std::to_string(kMaxRegistryFileSize >> 20) + " MiB.");
  }
}

class FileKey final : public RegistryKey {
 public:
  FileKey(std::shared_ptr<const RegistryFileContents> contents, std::string path)
      : contents_(std::move(contents)), path_(std::move(path)) {}
  RegistryText ReadText(const std::string& valueName) const override {
    return contents_->ReadText(path_, valueName);
  }

 private:
  // Shared with the registry, so that an open key may outlive it.
  std::shared_ptr<const RegistryFileContents> contents_;
  std::string path_;
};

class FileRegistry final : public MachineRegistry {
 public:
  explicit FileRegistry(RegistryFileContents contents)
      : contents_(std::make_shared<const RegistryFileContents>(std::move(contents))) {}

  bool KeyExists(const std::string& keyPath, RegistryView) const override {
    return contents_->KeyExists(keyPath);
  }

  std::unique_ptr<RegistryKey> OpenKeyReadOnly(const std::string& keyPath, RegistryView) const override {
    if (!contents_->KeyExists(keyPath)) return nullptr;
    return std::make_unique<FileKey>(contents_, keyPath);
  }

  bool FolderExists(const std::string& path) const override {
    struct stat info {};
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  }

 private:
  std::shared_ptr<const RegistryFileContents> contents_;
};

}  // namespace

std::unique_ptr<MachineRegistry> OpenMachineRegistry() {
  return std::make_unique<FileRegistry>(RegistryFileContents::Parse(ReadRegistryFile(RegistryFilePath())));
}

}  // namespace tarnvel::sys
