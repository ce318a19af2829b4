#pragma once
// SHA-256 (FIPS 180-4), small and self-contained: the updater checks the
// program it is about to start against the digest its build recorded.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnvel::sys {

using Sha256Digest = std::array<std::uint8_t, 32>;

/// A digest computed piece by piece: Update with the bytes in order, then
/// Final once. Pieces may be of any size, empty ones included.
class Sha256 {
 public:
  Sha256();
  void Update(std::string_view bytes);
  /// The digest of everything given to Update; the object is spent afterwards.
  Sha256Digest Final();

 private:
  void Compress(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> block_{};
  std::size_t blockUsed_ = 0;
  std::uint64_t totalBytes_ = 0;
};

/// The digest of Bytes.
Sha256Digest Sha256Of(std::string_view bytes);

/// 64 lower-case hexadecimal digits.
std::string ToHex(const Sha256Digest& digest);

/// The digest written as 64 hexadecimal digits (either case); nullopt for
/// anything else (other lengths, other characters, blanks around).
std::optional<Sha256Digest> Sha256FromHex(std::string_view hex);

}  // namespace tarnvel::sys
