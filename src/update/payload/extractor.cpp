// The self-extractor of the payload. Started without arguments it unpacks the
// program appended to its own file (see make_payload.py) as TarnVel.exe into
// its working folder, shows nothing, asks nothing, and ends with 0; with any
// damage it removes the half-written file and ends with 1.
#include <zlib.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sysroutines/executable.h"
#include "sysroutines/paths.h"

namespace {

constexpr char kMagic[8] = {'T', 'a', 'r', 'n', 'V', 'S', 'F', 'X'};
constexpr std::size_t kTrailerSize = 8 + 8 + 4 + 8;
constexpr const char* kOutputName = "TarnVel.exe";

std::uint64_t Little(const unsigned char* bytes, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

struct Trailer {
  std::uint64_t packedSize = 0;
  std::uint64_t size = 0;
  std::uint32_t crc = 0;
};

bool ReadTrailer(std::ifstream& in, std::uint64_t fileSize, Trailer& trailer) {
  if (fileSize < kTrailerSize) return false;
  std::array<unsigned char, kTrailerSize> bytes{};
  in.seekg(static_cast<std::streamoff>(fileSize - kTrailerSize));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), kTrailerSize)) return false;
  if (!std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin() + 20)) return false;
  trailer.packedSize = Little(bytes.data(), 8);
  trailer.size = Little(bytes.data() + 8, 8);
  trailer.crc = static_cast<std::uint32_t>(Little(bytes.data() + 16, 4));
  return trailer.packedSize <= fileSize - kTrailerSize;
}

// Inflates PackedSize bytes from In into Out, a fixed buffer at a time.
bool Inflate(std::ifstream& in, std::uint64_t packedSize, std::ofstream& out, const Trailer& trailer) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return false;
  std::vector<unsigned char> input(1 << 16), output(1 << 16);
  std::uint64_t left = packedSize, written = 0;
  uLong crc = crc32(0, nullptr, 0);
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    if (stream.avail_in == 0) {
      if (left == 0) break;
      const std::size_t chunk = left < input.size() ? static_cast<std::size_t>(left) : input.size();
      if (!in.read(reinterpret_cast<char*>(input.data()), static_cast<std::streamsize>(chunk))) break;
      left -= chunk;
      stream.next_in = input.data();
      stream.avail_in = static_cast<uInt>(chunk);
    }
    stream.next_out = output.data();
    stream.avail_out = static_cast<uInt>(output.size());
    status = inflate(&stream, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END) break;
    const std::size_t produced = output.size() - stream.avail_out;
    out.write(reinterpret_cast<const char*>(output.data()), static_cast<std::streamsize>(produced));
    crc = crc32(crc, output.data(), static_cast<uInt>(produced));
    written += produced;
  }
  inflateEnd(&stream);
  return status == Z_STREAM_END && written == trailer.size && crc == trailer.crc && out.good();
}

}  // namespace

int main() {
  const std::filesystem::path self = tarnvel::sys::PathFromUtf8(tarnvel::sys::ExecutablePath());
  std::ifstream in(self, std::ios::binary);
  std::error_code error;
  const std::uint64_t fileSize = std::filesystem::file_size(self, error);
  Trailer trailer;
  if (!in || error || !ReadTrailer(in, fileSize, trailer)) return 1;
  in.seekg(static_cast<std::streamoff>(fileSize - kTrailerSize - trailer.packedSize));

  const std::filesystem::path target = kOutputName;
  bool ok = false;
  {
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    ok = out && Inflate(in, trailer.packedSize, out, trailer);
    out.close();
    ok = ok && !out.fail();
  }
  if (!ok) {
    std::filesystem::remove(target, error);
    return 1;
  }
  using std::filesystem::perms;
  std::filesystem::permissions(target, perms::owner_exec | perms::group_exec | perms::others_exec,
                               std::filesystem::perm_options::add, error);
  return 0;
}
