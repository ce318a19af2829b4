#pragma once

#include <string>
#include <string_view>

namespace tarnvel::sys {

enum class WriteFileResult { Written, CannotCreate, WriteFailed };

/// Creates File (or truncates it) and writes Bytes in one go. Executable:
/// Linux gives the file the execute bits, so that it can be started
/// (Windows decides that by the content). A file created before a failed
/// write stays behind.
WriteFileResult WriteWholeFile(const std::string& path, std::string_view bytes, bool executable);

}  // namespace tarnvel::sys
