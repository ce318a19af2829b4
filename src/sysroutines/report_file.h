#pragma once
// The place of a file the program writes for its operator (a report): the
// folder that will hold it, opened once and held from then on, and the
// file's name in that folder. The file is written into the folder that was
// opened whatever becomes of the path meanwhile, never through what stands at
// its name, and never in pieces: a new file beside the name, created
// exclusively, flushed, then renamed over the name.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarnvel::sys {

/// What stands at a name, seen without following a link. Other: a named
/// pipe, a device, a socket, or an entry that cannot be looked at.
enum class EntryKind { Nothing, File, Folder, Link, Other };

class ReportFilePlace {
 public:
  enum class State {
    Open,
    /// Path names no file: it is empty, ends in a delimiter, "." or "..",
    /// or (Windows) names a device or a stream of a file.
    NotAFileName,
    /// The folder Path puts the file in does not exist or is not a folder.
    NoFolder,
  };

  /// Opens the folder Path puts its file in, as the system finds it (links
  /// on the way followed, ".." taken as the system takes it), and holds it
  /// until destruction (Windows: without sharing its deletion, so that it
  /// cannot be renamed or removed meanwhile).
  explicit ReportFilePlace(const std::string& path);
  ~ReportFilePlace();
  ReportFilePlace(const ReportFilePlace&) = delete;
  ReportFilePlace& operator=(const ReportFilePlace&) = delete;

  State state() const { return state_; }

  /// The place lies in Folder or below it, or is Folder itself, both with
  /// every link resolved (Linux also finds Folder by its identity above the
  /// held folder, so a bind mount of it counts too). Folder need not exist.
  bool LiesIn(const std::string& folder) const;

  /// What stands at the file's name now.
  EntryKind Kind() const;

  /// Up to Count first bytes of the regular file at the name, read without
  /// following a link and without opening anything else; empty when there
  /// is no such file.
  std::string ReadHead(std::size_t count) const;

  /// Puts a new file with Bytes at the name: written beside it under the
  /// name followed by ".tmp-" and this process's id (created exclusively,
  /// never through a link), flushed, and renamed over the name, which may
  /// hold a file or a link (the link itself is replaced). False, with what
  /// stood at the name untouched and nothing left behind, when it cannot.
  bool Write(const std::string& bytes) const;

 private:
  std::string name_;
  std::intptr_t folder_ = -1;  // Linux: a descriptor; Windows: a handle
  State state_ = State::NotAFileName;
};

}  // namespace tarnvel::sys
