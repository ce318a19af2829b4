// A bare library name is looked for beside the executable before the
// system's search (dlopen alone never looks there).
#include <gtest/gtest.h>

#include <filesystem>

#include "firebird/client_library.h"
#include "sysroutines/paths.h"

namespace tarnvel::firebird {
namespace {

TEST(ClientLibraryLoad, BareNameFoundBesideTheExecutable) {
  // A copy under a name the system's search cannot know.
  const std::string name = "libtarnvel_probe_fbclient.so";
  const std::filesystem::path copy = sys::PathFromUtf8(ClientLibraryBesideExecutable(name));
  std::string reason;
  ASSERT_EQ(ClientLibrary::Load(name, &reason), nullptr);
  const auto system = ClientLibrary::Load("libfbclient.so.2", &reason);
  ASSERT_NE(system, nullptr) << reason;
  std::filesystem::copy_file("/usr/lib/x86_64-linux-gnu/libfbclient.so.2", copy,
                             std::filesystem::copy_options::overwrite_existing);
  const auto beside = ClientLibrary::Load(name, &reason);
  std::filesystem::remove(copy);
  ASSERT_NE(beside, nullptr) << reason;
  // A separate instance: its entry points are not the system copy's.
  EXPECT_NE(reinterpret_cast<void*>(beside->api().isc_attach_database),
            reinterpret_cast<void*>(system->api().isc_attach_database));
}

}  // namespace
}  // namespace tarnvel::firebird
