#include "driver_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/profile.h"
#include "firebird/client_layers.h"
#include "firebird/db_connection.h"
#include "i18n/ldm.h"
#include "sysroutines/paths.h"

namespace tarnvel::testing {

namespace fs = std::filesystem;

std::string Text(const std::string& id, const std::string& a0, const std::string& a1) {
  const bool number =
      !id.empty() && std::all_of(id.begin(), id.end(), [](char c) { return std::isdigit(c); });
  const std::string text = i18n::GetMessageText(number ? "uUpdate_UpdateProgramm_" + id : id, a0, a1);
  EXPECT_FALSE(text.empty()) << "no catalogue text for " << id;
  return text;
}

std::vector<std::string> Entries(std::initializer_list<std::string> ids) {
  std::vector<std::string> texts;
  for (const std::string& id : ids) texts.push_back(Text(id));
  return texts;
}

std::vector<std::string> InitEntries() {
  return Entries({"uUpdate_UpdateInit_1", "uUpdate_UpdateInit_4"});
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

UpdateSettings TestSettings(const firebird::TFBServParams& server) {
  UpdateSettings settings;
  settings.profile = TarnVelProfile();
  settings.ServerParams = server;
  settings.service.pause = [](std::chrono::milliseconds) {};
  settings.shutdownPause = [](std::chrono::milliseconds) {};
  return settings;
}

std::string NewClientBytes() {
  const fs::path standin = fs::current_path() / TARNVEL_STANDIN_CLIENT;
  const std::string bytes = ReadFile(standin);
  EXPECT_FALSE(bytes.empty()) << standin;
  return bytes;
}

std::vector<std::pair<std::string, std::string>> TreeContents(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  const fs::path root = sys::PathFromUtf8(folder);
  if (!fs::exists(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files.emplace_back(sys::PathToUtf8(fs::relative(entry.path(), root)), ReadFile(entry.path()));
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string WorkingFolder(const std::string& root) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(sys::PathFromUtf8(root))) {
    if (sys::PathToUtf8(entry.path().filename()).rfind("Tmp$", 0) == 0)
      found.push_back(sys::PathToUtf8(entry.path()));
  }
  EXPECT_LE(found.size(), 1u);
  return found.empty() ? std::string() : found.front();
}

void LayOutClientProduct(const std::string& root) {
  WriteFile(sys::PathFromUtf8(Child(Child(root, "Program"), "TarnVel.exe")), "old client\n");
  WriteFile(sys::PathFromUtf8(Child(Child(root, "Program"), "TarnVel.ini")), "[settings]\nlanguage=en\n");
  WriteFile(sys::PathFromUtf8(Child(Child(Child(root, "Program"), "help"), "index.html")), "<p>help</p>\n");
}

bool DatabaseOnlineFor(const std::string& root) {
  try {
    firebird::ConnectionLayer().Select(TarnVelProfile().ClientLibrary);
    firebird::TDBConnection connection("localhost/3051:" + Child(Child(root, "DB_Data"), "TarnVel.fdb"),
                                       "CLERK1", "clerk1pw", "");
    connection.Connect();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

std::string Child(const std::string& folder, const std::string& name) {
  return sys::IncludeTrailingPathDelimiter(folder) + name;
}

}  // namespace tarnvel::testing
