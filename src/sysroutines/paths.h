#pragma once
// Text <-> path conversions. All text in memory is UTF-8; on Windows paths are
// UTF-16 at the boundary so that every language and folder name works.

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnvel::sys {

/// The platform's path delimiter: '\' on Windows, '/' on Linux.
extern const char kPathDelimiter;

std::filesystem::path PathFromUtf8(std::string_view text);
std::string PathToUtf8(const std::filesystem::path& path);

/// UTF-8 <-> UTF-16 (Windows only needs these; the posix body provides them
/// too so that shared code and tests stay portable).
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

/// Appends the platform delimiter unless Path already ends with it.
std::string IncludeTrailingPathDelimiter(const std::string& path);

}  // namespace tarnvel::sys
