#pragma once
// File sizes and free disk space.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tarnvel::sys {

/// Total free bytes of the volume that holds Path (Windows: the third result
/// of GetDiskFreeSpaceExW; Linux: statvfs free blocks), not what a quota
/// leaves to the calling user; nullopt when the query fails.
std::optional<std::uint64_t> TotalFreeBytes(const std::string& path);

/// Size of an existing file opened for reading with no sharing allowed
/// (Windows: fails while another process holds it open; Linux has no such
/// lock); nullopt at once when it cannot be opened or is not a regular file
/// (a folder, named pipe, socket or device is never opened on Linux).
std::optional<std::uint64_t> ExclusiveFileSize(const std::string& fileName);

/// The file's size shifted right by Shift bits, low 32 bits as a signed
/// number; -1 when the file cannot be opened or is not a regular file.
std::int32_t GetFileSizeShifted(const std::string& fileName, std::uint8_t shift);

/// Checks that the disk holding Path has at least Factor times the size of
/// FileName free, in whole megabytes (sizes rounded down). Throws
/// std::runtime_error:
///  - "To write the file to disk "<Path>" is required at least <n> MB of free space!"
///    when there is less;
///  - with an empty message when the size of FileName cannot be read (the
///    caller has its own text for that);
///  - "Unable to read the free space of the disk "<Path>"!" when the query fails.
/// ProcessMessages, when given, is called once first.
void CheckFreeSize(const std::string& fileName, const std::string& path, std::uint8_t factor,
                   const std::function<void()>& processMessages = {});

}  // namespace tarnvel::sys
