#pragma once
// A scratch folder for the disk tests that also goes away when it holds
// read-only files (Windows, and Wine, refuse to delete those).

#include "support/temp_dir.h"

namespace tarnvel::testing {

class DiskScratch : public TempDir {
 public:
  using TempDir::TempDir;
  ~DiskScratch();
};

}  // namespace tarnvel::testing
