#pragma once
// A program file held open from the moment it is checked until it has been
// started, so that what was checked is what runs: nobody can put other bytes
// in its place in between.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace tarnvel::sys {

class HeldProgram {
 public:
  /// Holds the regular file at Path (expanded to a full path); null when it
  /// cannot be held that way: missing, a link or junction (never followed),
  /// a folder, pipe or device, or:
  ///  - Windows: opened elsewhere for writing or removal. The handle shares
  ///    reading only: while it is held nobody can write, rename or remove the
  ///    file, and the folders above it cannot be renamed;
  ///  - Linux: owned by another user than the effective one, or writable by
  ///    its group or by others. Such a file could be changed through a
  ///    descriptor opened before or after the check; this way only its owner
  ///    (ourselves) can change it. The program is started through the held
  ///    descriptor itself, so a path that names another file by then does not
  ///    matter.
  static std::unique_ptr<HeldProgram> Hold(const std::string& path);

  ~HeldProgram();
  HeldProgram(const HeldProgram&) = delete;
  HeldProgram& operator=(const HeldProgram&) = delete;

  /// The full path it was held by.
  const std::string& Path() const { return path_; }

  /// Reads the whole file from its first byte through the held handle,
  /// handing Sink one piece after another; false when a read fails.
  bool ReadAll(const std::function<void(std::string_view piece)>& sink) const;

  /// The descriptor (Linux) or handle (Windows) it is held by, for the
  /// bodies that start it; it stays this object's.
  std::intptr_t Native() const { return native_; }

 private:
  HeldProgram(std::string path, std::intptr_t native) : path_(std::move(path)), native_(native) {}

  std::string path_;
  std::intptr_t native_;
};

}  // namespace tarnvel::sys
