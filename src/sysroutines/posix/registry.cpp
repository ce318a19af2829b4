#include "sysroutines/registry.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "sysroutines/registry_file.h"

namespace tarnvel::sys {
namespace {

std::string RegistryFilePath() {
  const char* overridden = std::getenv(kRegistryFileVariable);
  return overridden && *overridden ? overridden : kDefaultRegistryFile;
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

  bool KeyExists(const std::string& keyPath) const override { return contents_->KeyExists(keyPath); }

  std::unique_ptr<RegistryKey> OpenKeyReadOnly(const std::string& keyPath) const override {
    if (!contents_->KeyExists(keyPath)) return nullptr;
    return std::make_unique<FileKey>(contents_, keyPath);
  }

  bool FolderExists(const std::string& path) const override {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  }

 private:
  std::shared_ptr<const RegistryFileContents> contents_;
};

}  // namespace

std::unique_ptr<MachineRegistry> OpenMachineRegistry() {
  std::ifstream in(RegistryFilePath(), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return std::make_unique<FileRegistry>(RegistryFileContents::Parse(bytes));
}

}  // namespace tarnvel::sys
