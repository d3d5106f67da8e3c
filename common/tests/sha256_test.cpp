#include "velko/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace velko {
namespace {

std::string HexOf(const std::string& bytes) {
  return Sha256ToHex(BufferSha256(bytes.data(), bytes.size()));
}

// FIPS 180-4 examples, and lengths around the padding boundary (55/56/64
// bytes need one or two final blocks).
TEST(Sha256, KnownDigests) {
  EXPECT_EQ(HexOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(HexOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(HexOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(HexOf(std::string(55, 'a')),
            "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
  EXPECT_EQ(HexOf(std::string(64, 'a')),
            "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");
  EXPECT_EQ(HexOf(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, PiecesGiveTheDigestOfTheWhole) {
  const std::string text(1000, 'x');
  Sha256 hash;
  for (std::size_t at = 0; at < text.size(); at += 37) {
    hash.Update(text.data() + at, std::min<std::size_t>(37, text.size() - at));
  }
  EXPECT_EQ(hash.Finish(), BufferSha256(text.data(), text.size()));
}

TEST(Sha256, HexTextIsExactly64DigitsInEitherCase) {
  const std::string lower = HexOf("abc");
  std::string upper = lower;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(ParseSha256Hex(upper), BufferSha256("abc", 3));
  EXPECT_EQ(ParseSha256Hex(lower), BufferSha256("abc", 3));
  std::string prefixed = lower;
  prefixed.replace(0, 2, "0x");  // 64 characters, but not 64 digits
  std::string blank = lower;
  blank[0] = ' ';
  std::string letter = lower;
  letter[63] = 'g';
  for (const std::string& bad : {lower.substr(1), lower + "0", blank, prefixed, letter, std::string()}) {
    EXPECT_EQ(ParseSha256Hex(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace velko
