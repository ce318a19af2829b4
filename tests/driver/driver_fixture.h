#pragma once
// What the update driver tests share: texts by identifier, the expected run
// log as a list of identifiers, and product folders laid out on disk.

#include <initializer_list>
#include <string>
#include <vector>

#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "update/update_driver.h"

namespace tarnvel::testing {

/// The English text of a catalogue message; a bare number n stands for
/// uUpdate_UpdateProgramm_n.
std::string Text(const std::string& id, const std::string& a0 = "*Null*", const std::string& a1 = "*Null*");

/// The run-log texts of a list of identifiers (bare numbers as in Text).
std::vector<std::string> Entries(std::initializer_list<std::string> ids);

/// The entries UpdateInit writes at the start of every run.
std::vector<std::string> InitEntries();

/// A list followed by another.
std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b);

/// The settings of the window's profile on this platform, with the given
/// server and no real pauses.
UpdateSettings TestSettings(const firebird::TFBServParams& server = {});

/// The new client executable the payload unpacks.
std::string NewClientBytes();

/// The bytes of every file under Folder by relative path, for comparing trees.
std::vector<std::pair<std::string, std::string>> TreeContents(const std::string& folder);

/// The one working folder Tmp$… of a product (empty when there is none; fails
/// the test when there are several).
std::string WorkingFolder(const std::string& root);

/// A product with only its CLIENT part: Program/TarnVel.exe and a few files.
void LayOutClientProduct(const std::string& root);

/// The product's database under Root answers a normal user (CLERK1) on the
/// local server: it is online.
bool DatabaseOnlineFor(const std::string& root);

/// Folder + delimiter + name.
std::string Child(const std::string& folder, const std::string& name);

}  // namespace tarnvel::testing
