#pragma once

#include <string>
#include <string_view>

namespace tarnvel::sys {

enum class WriteFileResult { Written, CannotCreate, WriteFailed };

/// Creates File (or truncates it) and writes Bytes in one go. Executable:
/// Linux gives the file the execute bits, so that it can be started, and
/// takes write permission from its group and others whatever the umask
/// (Windows decides by the content, and the folder's permissions apply). A
/// file created before a failed write stays behind.
WriteFileResult WriteWholeFile(const std::string& path, std::string_view bytes, bool executable);

}  // namespace tarnvel::sys
