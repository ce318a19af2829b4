// Server discovery over the machine's registry: on Linux a registry file, on
// Windows (Wine) the real registry. One table of installations, every branch
// and every message.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "firebird/registry_fixture.h"
#include "firebird/server_discovery.h"
#include "support/temp_dir.h"
#include "sysroutines/paths.h"

namespace tarnvel::firebird {
namespace {

using testing::FixtureKey;
using testing::FixtureValue;
using Kind = FixtureValue::Kind;

const std::string kOwnKey = "SYSTEM\\CurrentControlSet\\Services\\NorvaskFireXBirdServer";
const std::string kDefaultKey = "SYSTEM\\CurrentControlSet\\Services\\FirebirdServerDefaultInstance";
const std::string kFirstPackage =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Firebird 2.0 для ПО ГК \"Норваск\"";
const std::string kSecondPackage =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Firebird 2_0 server for Norvask GC";

const std::string kTypeUnknown = "FireBird server type could not be determined.";
const std::string kDamaged =
    "FireBird server service is damaged or is not adapted for the software GC \"Norvask.\" Update aborted.";
const std::string kInvalidType = "Invalid data type for 'ImagePath'";

// What the caller had in the record before: every field a branch leaves
// alone must still hold it afterwards.
const TFBServParams kBefore{"dir?", "type?", "prefix?", "exe?", "service?"};

const std::string d(1, sys::kPathDelimiter);
const std::string kExe = sys::kPathDelimiter == '\\' ? ".EXE" : "";
const std::string kExeLower = sys::kPathDelimiter == '\\' ? ".exe" : "";

FixtureKey Key(const std::string& path, std::optional<std::string> imagePath = std::nullopt,
               Kind kind = Kind::Text) {
  FixtureKey key{path, {{"DisplayName", Kind::Text, "Firebird"}}};
  if (imagePath) key.values.push_back({"ImagePath", kind, *imagePath});
  return key;
}

// The product's Firebird package, registered by its 32-bit installer.
FixtureKey Package(const std::string& path) {
  FixtureKey key = Key(path);
  key.view = sys::RegistryView::Registry32;
  return key;
}

struct Case {
  const char* what;
  std::vector<FixtureKey> keys;
  TFBServParams expected;
  std::string error;  // empty: returns normally
};

class ServerDiscovery : public ::testing::Test {
 protected:
  ServerDiscovery() { std::filesystem::create_directories(root_.path() / "Firebird" / "bin"); }

  // An installed server's folder (it exists) and its bin folder.
  std::string Server() const { return root_ / "Firebird"; }
  std::string Bin() const { return Server() + d + "bin" + d; }

  std::vector<Case> Cases() const {
    const std::string own = "NorvaskFireXBirdServer";
    const std::string guardian = "FirebirdGuardianDefaultInstance";
    const std::string super = "FBSRVTRVL" + kExe;
    const std::string classic = "FB_INET_SRVTRVL" + kExe;
    const std::string dir = Server() + d;
    const std::string other =
        d + "opt" + d + "Firebird_2_0" + d;  // the default instance's folder is not tested
    return {
        {"own SuperServer",
         {Key(kOwnKey, Bin() + super + " -s -p 3051")},
         {dir, "SUPER", "localhost/3051:", super, own},
         ""},
        {"own Classic, lower case",
         {Key(kOwnKey, Bin() + "fb_inet_srvtrvl" + kExeLower + " -p 3052")},
         {dir, "CLASSIC", "localhost/3052:", classic, own},
         ""},
        {"own SuperServer, lower case, expandable",
         {Key(kOwnKey, Bin() + "fbsrvtrvl" + kExeLower + " -p  gds_db -s", Kind::ExpandableText)},
         {dir, "SUPER", "localhost/gds_db:", super, own},
         ""},
        {"both names: Classic wins",
         {Key(kOwnKey, Bin() + super + " -p 3051 " + classic)},
         {dir, "CLASSIC", "localhost/3051:", classic, own},
         ""},
        {"BIN in capitals",
         {Key(kOwnKey, Server() + d + "BIN" + d + super + " -p 3051")},
         {"", "SUPER", "prefix?", super, own},
         kDamaged},
        {"quoted command line",
         {Key(kOwnKey, "\"" + Bin() + super + "\" -p 3051")},
         {"\"" + dir, "SUPER", "prefix?", super, own},
         kDamaged},
        {"missing server folder",
         {Key(kOwnKey, dir + "gone" + d + "bin" + d + super + " -p 3051")},
         {dir + "gone" + d, "SUPER", "prefix?", super, own},
         kDamaged},
        {"own service without -p",
         {Key(kOwnKey, Bin() + super + " -s")},
         {dir, "SUPER", "prefix?", super, own},
         kDamaged},
        {"own service, unknown program",
         {Key(kOwnKey, Bin() + "fbserver" + kExe + " -p 3051")},
         {"dir?", "", "prefix?", "exe?", own},
         kTypeUnknown},
        {"own service without ImagePath", {Key(kOwnKey)}, {"dir?", "", "prefix?", "exe?", own}, kTypeUnknown},
        {"own service, a zero inside ImagePath",
         {Key(kOwnKey, Server() + std::string(1, '\0') + "gone" + d + "bin" + d + super + " -p 3051")},
         {"dir?", "", "prefix?", "exe?", own},
         kInvalidType},
        {"own service, ImagePath not text",
         {Key(kOwnKey, "1", Kind::Number)},
         {"dir?", "", "prefix?", "exe?", own},
         kInvalidType},
        {"first package, default instance",
         {Package(kFirstPackage),
          Key(kDefaultKey, other + "bin" + d + "fbserver" + kExeLower + " -a -p 3050")},
         {other, "SUPER", "localhost/3050:", "FBSERVER" + kExe, guardian},
         ""},
        {"second package, default instance without -p",
         {Package(kSecondPackage), Key(kDefaultKey, other + "bin" + d + "FB_INET_SERVER" + kExe + " -m")},
         {other, "CLASSIC", "localhost/3051:", "FB_INET_SERVER" + kExe, guardian},
         ""},
        {"default instance, unknown program",
         {Package(kSecondPackage), Key(kDefaultKey, other + "bin" + d + super)},
         {"dir?", "", "prefix?", "exe?", guardian},
         kTypeUnknown},
        {"default instance, ImagePath not text",
         {Package(kFirstPackage), Key(kDefaultKey, "7", Kind::Number)},
         {"dir?", "", "prefix?", "exe?", guardian},
         kInvalidType},
        {"no keys at all", {}, {"dir?", "", "prefix?", "exe?", "service?"}, ""},
        {"package without the default instance",
         {Package(kFirstPackage)},
         {"dir?", "", "prefix?", "exe?", "service?"},
         ""},
        {"default instance without a package",
         {Key(kDefaultKey, other + "bin" + d + "fbserver" + kExe)},
         {"dir?", "", "prefix?", "exe?", "service?"},
         ""},
    };
  }

  testing::TempDir root_{"discovery"};
};

void Check(const Case& c, const std::function<void(TFBServParams&)>& discover) {
  SCOPED_TRACE(c.what);
  TFBServParams params = kBefore;
  std::string error;
  try {
    discover(params);
  } catch (const std::runtime_error& failure) {
    error = failure.what();
  }
  EXPECT_EQ(error, c.error);
  EXPECT_EQ(params.ServerDir, c.expected.ServerDir);
  EXPECT_EQ(params.ServerType, c.expected.ServerType);
  EXPECT_EQ(params.ServerPrefix, c.expected.ServerPrefix);
  EXPECT_EQ(params.ServerExe, c.expected.ServerExe);
  EXPECT_EQ(params.ServiceName, c.expected.ServiceName);
}

TEST_F(ServerDiscovery, FindsWhatTheRegistryDescribes) {
  for (const Case& c : Cases()) {
    const testing::RegistryFixture registry(c.keys);
    Check(c, [](TFBServParams& params) { GetFBServParams(params); });
  }
}

// A key that exists but cannot be opened cannot be arranged in a registry
// file, and Wine does not refuse HKEY_LOCAL_MACHINE keys to its own
// processes; this view of the real registry refuses the own service key.
class OwnKeyRefused final : public sys::MachineRegistry {
 public:
  bool KeyExists(const std::string& keyPath, sys::RegistryView view) const override {
    return Refused(keyPath) || real_->KeyExists(keyPath, view);
  }
  std::unique_ptr<sys::RegistryKey> OpenKeyReadOnly(const std::string& keyPath,
                                                    sys::RegistryView view) const override {
    return Refused(keyPath) ? nullptr : real_->OpenKeyReadOnly(keyPath, view);
  }
  bool FolderExists(const std::string& path) const override { return real_->FolderExists(path); }

 private:
  static bool Refused(const std::string& keyPath) {
    return keyPath.find("NorvaskFireXBirdServer") != std::string::npos;
  }
  std::unique_ptr<sys::MachineRegistry> real_ = sys::OpenMachineRegistry();
};

TEST_F(ServerDiscovery, UnopenableOwnKeyTakesTheFirstPackageUntested) {
  const std::string other = d + "opt" + d + "fb" + d;
  const std::vector<Case> cases{
      {"first package there",
       {Package(kFirstPackage), Key(kDefaultKey, other + "bin" + d + "fbserver" + kExe)},
       {other, "SUPER", "localhost/3051:", "FBSERVER" + kExe, "FirebirdGuardianDefaultInstance"},
       ""},
      {"only the second package there",
       {Package(kSecondPackage), Key(kDefaultKey, other + "bin" + d + "fbserver" + kExe)},
       {"dir?", "", "prefix?", "exe?", "service?"},
       kDamaged},
  };
  for (const Case& c : cases) {
    const testing::RegistryFixture registry(c.keys);
    Check(c, [](TFBServParams& params) { GetFBServParams(params, OwnKeyRefused()); });
  }
}

}  // namespace
}  // namespace tarnvel::firebird
