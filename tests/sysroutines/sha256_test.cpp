// SHA-256 against the standard test vectors (FIPS 180-4 examples and the
// NIST long message), given whole and in pieces that cut the 64-byte blocks
// and the padding's 56-byte boundary everywhere.
#include "sysroutines/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnvel::sys {
namespace {

struct Vector {
  std::string message;
  const char* digest;
};

const Vector kVectors[] = {
    {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrs"
     "tnopqrstu",
     "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
    {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    // Lengths at the padding's edges: 55 bytes still fit one block, 56 and 64 do not.
    {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
    {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
    {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
};

TEST(Sha256, GivesTheStandardDigests) {
  for (const Vector& v : kVectors) {
    EXPECT_EQ(ToHex(Sha256Of(v.message)), v.digest) << v.message.size() << " bytes";
  }
}

TEST(Sha256, PiecesOfAnySizeGiveTheDigestOfTheWhole) {
  for (const Vector& v : kVectors) {
    for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{55}, std::size_t{56},
                                    std::size_t{63}, std::size_t{64}, std::size_t{65}, std::size_t{4099}}) {
      Sha256 hash;
      hash.Update("");
      for (std::size_t at = 0; at < v.message.size(); at += piece) hash.Update(v.message.substr(at, piece));
      EXPECT_EQ(ToHex(hash.Final()), v.digest) << v.message.size() << " bytes in pieces of " << piece;
    }
  }
}

TEST(Sha256FromHex, ReadsSixtyFourDigitsOfEitherCaseAndNothingElse) {
  const std::string digest = kVectors[1].digest;
  std::string upper = digest;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  ASSERT_TRUE(Sha256FromHex(digest));
  EXPECT_EQ(ToHex(*Sha256FromHex(digest)), digest);
  ASSERT_TRUE(Sha256FromHex(upper));
  EXPECT_EQ(ToHex(*Sha256FromHex(upper)), digest);
  for (const std::string& bad :
       {std::string(), digest.substr(1), digest + "0", digest + "\n", " " + digest.substr(1),
        "g" + digest.substr(1), digest.substr(0, 63) + "-"}) {
    EXPECT_FALSE(Sha256FromHex(bad)) << "'" << bad << "'";
  }
}

}  // namespace
}  // namespace tarnvel::sys
