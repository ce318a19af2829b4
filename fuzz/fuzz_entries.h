#pragma once
// The entry functions of the fuzz targets. Each takes one input of any bytes,
// hands it to a parser that reads outside input and checks what the parser
// promises about its result. A broken promise throws FuzzFinding; failures
// the parser documents (std::runtime_error) are part of its contract and are
// caught. The same functions run under libFuzzer (fuzz_main.cpp) and replay
// the kept corpus (fuzz/corpus/<target>/) in the test suite on every target.

#include <span>
#include <stdexcept>
#include <string_view>

namespace tarnvel::fuzz {

/// A promise of a parser that an input broke.
class FuzzFinding : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

inline void Expect(bool holds, const char* promise) {
  if (!holds) throw FuzzFinding(promise);
}

/// The stored catalogue table (CatalogueTable::Load, Store).
void FuzzCatalogueTable(std::string_view input);
/// The registry file (RegistryFileContents::Parse and its lookups).
void FuzzRegistryFile(std::string_view input);
/// The reply to the attached-users request (ParseUserNamesReply).
void FuzzUsersReply(std::string_view input);
/// A database name (SplitDatabaseName, ConnectString).
void FuzzSplitDatabaseName(std::string_view input);
/// An entry name of the single-file backup (DecodeBackupName).
void FuzzBackupName(std::string_view input);

struct FuzzTarget {
  const char* name;  // the folder of its corpus and the name of its fuzzer
  void (*entry)(std::string_view input);
};

/// Every fuzz target.
std::span<const FuzzTarget> FuzzTargets();

}  // namespace tarnvel::fuzz
