#pragma once
// Measuring one operation in a child process of its own, so that its time
// and its peak memory (ru_maxrss) are measured the same way for our routines
// and for the tools. Before each run the page cache is written out and, as
// root, dropped, so that every copy reads from the disk; one time includes
// the final sync, the other ends where the operation itself returned. Only the work folder's file system is
// synced (syncfs): a global sync would also wait for whatever other programs on the machine have written, and
// time that instead.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <new>
#include <string>

#include "update/host.h"

namespace tarnvel::bench {

struct Measure {
  double seconds = 0;      ///< from the start to the child's end, its final sync included
  double workSeconds = 0;  ///< from the start to the moment the body returned, before the sync
  /// ru_maxrss from wait4: the largest resident size of the child or of any
  /// program it started and waited for.
  long peakKb = 0;
  int status = 0;
};

/// The folder whose file system the measurements sync (set it first).
void SetWorkFolder(const std::string& folder);

Measure RunInChild(const std::function<int()>& body);

/// Whether the page cache could be dropped before every measure so far (it
/// takes root, and a /proc/sys the machine lets us write).
bool PageCacheWasDropped();

/// Takes the engine's reports and shows nothing, as a front end that is not
/// looking would; answers every box with its focused button.
class NullHost : public IUpdateHost {
 public:
  void SaveExceptionToLog(const std::string&) override {}
  void ProcessMessages() override {}
  DialogButton ShowDialog(const DialogRequest& request) override { return request.defaultButton; }
  void SetStatusCaption(const std::string&) override {}
  void SetRolledBack(bool) override {}
  bool RolledBack() const override { return false; }
};

/// Anonymous memory shared with the children forked after it is mapped
/// (throws std::runtime_error when it cannot be mapped).
void* MapSharedMemory(std::size_t size);
void UnmapSharedMemory(void* address, std::size_t size);

/// One T in memory shared with the children RunInChild starts afterwards:
/// what a child writes there, the parent reads once the child has ended.
/// T must be trivially copyable.
template <typename T>
class SharedWithChild {
 public:
  SharedWithChild() : value_(new (MapSharedMemory(sizeof(T))) T{}) {}
  ~SharedWithChild() { UnmapSharedMemory(value_, sizeof(T)); }
  SharedWithChild(const SharedWithChild&) = delete;
  SharedWithChild& operator=(const SharedWithChild&) = delete;
  T& operator*() const { return *value_; }
  T* operator->() const { return value_; }

 private:
  T* value_;
};

/// Runs a shell command; 0 when it succeeded.
int Shell(const std::string& command);

/// Runs an action of ours; 0 when it did not throw (the failure is printed).
int Ours(const std::function<void()>& action);

}  // namespace tarnvel::bench
