#pragma once
// The folder chooser behind the folder button: a modal folder picker opened
// on the folder already typed, if it exists.

#include <functional>
#include <optional>
#include <string>

namespace tarnvel {

/// Opens a modal picker (title, start folder or empty); the chosen folder or
/// nullopt on cancel.
using FolderPicker =
    std::function<std::optional<std::string>(const std::string& title, const std::string& startFolder)>;

/// When Folder is not an existing folder the picker opens without a
/// preselection. On confirmation Folder becomes the chosen folder as an
/// absolute path and the result is true; on cancel the result is false and
/// Folder is left as it was.
bool BrowseForFolder(const FolderPicker& pick, const std::string& Title, std::string& Folder);

}  // namespace tarnvel
