#include "foundation/DataFileKeys.h"
#include "foundation/ZEP_Crypt.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace tessel;

namespace {

std::vector<std::uint8_t> hex(const char* text) { 
  const QByteArray bytes = QByteArray::fromHex(text);
  return {bytes.begin(), bytes.end()};
}

std::string randomBytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen());
  return s;
}

// The Blowfish key of a key text, computed independently of the code under test.
std::vector<std::uint8_t> keyOf(std::string_view keyText) {
  const QByteArray digest =
      QCryptographicHash::hash(QByteArray(keyText.data(), static_cast<qsizetype>(keyText.size())),
                               QCryptographicHash::Sha1);
  return {digest.begin(), digest.end()};
}

std::array<std::uint8_t, 8> block(const std::vector<std::uint8_t>& key, const std::uint8_t* in) {
  std::array<std::uint8_t, 8> out{};
  BlowfishChain::encryptBlock(key.data(), key.size(), in, out.data());
  return out;
}

} // namespace

TEST(Blowfish, PublishedTestVectors) {
  struct Case {
    const char *key, *plain, *cipher;
  };
  const Case cases[] = {
      {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
      {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
      {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
      {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
      {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
      {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
      {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
  };
  for (const Case& c : cases) {
    const auto key = hex(c.key);
    const auto plain = hex(c.plain);
    const auto out = block(key, plain.data());
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.end()), hex(c.cipher)) << c.key;
  }
}

TEST(BlowfishChain, ChainsWholeBlocksFromTheEncryptedAllOnesVector) {
  const auto key = keyOf(secondKeyText);
  const std::uint8_t ones[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  const auto iv = block(key, ones);

  std::string plain = randomBytes(21, 7); // two blocks and a 5-byte tail
  MemoryStream source(plain), encrypted;
  EncryptStream(source, secondKeyText, encrypted);
  ASSERT_EQ(encrypted.size(), plain.size());

  std::array<std::uint8_t, 8> chain = iv;
  for (int b = 0; b < 2; ++b) {
    std::uint8_t x[8];
    for (int i = 0; i < 8; ++i) x[i] = static_cast<std::uint8_t>(plain[b * 8 + i]) ^ chain[i];
    chain = block(key, x);
    EXPECT_EQ(std::memcmp(encrypted.bytes().data() + b * 8, chain.data(), 8), 0) << "block " << b;
  }
  const auto mask = block(key, chain.data());
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(static_cast<std::uint8_t>(encrypted.bytes()[16 + i]),
              static_cast<std::uint8_t>(plain[16 + i]) ^ mask[i]);

  MemoryStream decrypted;
  DecryptStream(encrypted, secondKeyText, decrypted);
  EXPECT_EQ(decrypted.bytes(), plain);
}

TEST(BlowfishChain, ShortPayloadIsXoredWithTheEncryptedVector) {
  const auto key = keyOf(secondKeyText);
  const std::uint8_t ones[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  const auto mask = block(key, block(key, ones).data());
  const std::string plain = "abcde";
  MemoryStream source(plain), encrypted;
  EncryptStream(source, secondKeyText, encrypted);
  ASSERT_EQ(encrypted.size(), 5u);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(static_cast<std::uint8_t>(encrypted.bytes()[i]), static_cast<std::uint8_t>(plain[i]) ^ mask[i]);
}

TEST(BlowfishChain, PiecesGiveTheSameResultAsOnePass) {
  const std::string plain = randomBytes(8192 * 2 + 3, 42);
  MemoryStream source(plain), byStream;
  EncryptStream(source, firstKeyText, byStream);

  std::string oneBlock = plain;
  BlowfishChain chain(firstKeyText);
  chain.encrypt(reinterpret_cast<std::uint8_t*>(oneBlock.data()), oneBlock.size());
  EXPECT_EQ(byStream.bytes(), oneBlock);

  for (std::size_t size : {0u, 1u, 7u, 8u, 9u, 8192u, 8193u}) {
    const std::string p = randomBytes(size, static_cast<unsigned>(size));
    MemoryStream s(p), e, d;
    EncryptStream(s, firstKeyText, e);
    EXPECT_EQ(e.size(), size);
    DecryptStream(e, firstKeyText, d);
    EXPECT_EQ(d.bytes(), p) << size;
  }
}

// Whatever way the work is shared (two threads, pieces, in place or from
// stream to stream), the bytes are those of one pass.
TEST(BlowfishChain, EveryWayOfDecryptingGivesTheSamePlainBytes) {
  // Around the half-way cut (whole blocks on each side or not, a tail or
  // not) and above the size that takes a second thread.
  for (std::size_t size : {0u, 5u, 8u, 15u, 16u, 17u, 24u, 31u, 8 * 1001 + 3u, 256 * 1024 + 5u, 300000u}) {
    const std::string plain = randomBytes(size, static_cast<unsigned>(size) + 1);
    MemoryStream source(plain), encrypted;
    EncryptStream(source, secondKeyText, encrypted);
    std::string inPlace = plain;
    EncryptInPlace(secondKeyText, inPlace.data(), inPlace.size());
    EXPECT_EQ(inPlace, encrypted.bytes()) << size;

    std::string twoThreads = encrypted.bytes();
    BlowfishChain(secondKeyText).decryptOnTwoThreads(reinterpret_cast<std::uint8_t*>(twoThreads.data()), size);
    EXPECT_EQ(twoThreads, plain) << size;
    std::string whole = encrypted.bytes();
    DecryptInPlace(secondKeyText, whole);
    EXPECT_EQ(whole, plain) << size;

    // The chain runs on from a piece shared between two threads to the next.
    std::string pieces = encrypted.bytes();
    const std::size_t first = size / 16 * 8;
    BlowfishChain chain(secondKeyText);
    chain.decryptOnTwoThreads(reinterpret_cast<std::uint8_t*>(pieces.data()), first);
    chain.decrypt(reinterpret_cast<std::uint8_t*>(pieces.data()) + first, size - first);
    EXPECT_EQ(pieces, plain) << size;
  }
}

TEST(Sha256, PiecesGiveTheDigestOfTheWhole) {
  const std::string bytes = randomBytes(100003, 3);
  const QByteArray expected =
      QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256);
  EXPECT_EQ(Sha256Digest(bytes), expected);
  for (std::size_t cut : {0u, 1u, 63u, 64u, 65u, 50000u, 100003u}) {
    Sha256 sha;
    sha.add(std::string_view(bytes).substr(0, cut));
    sha.add(std::string_view(bytes).substr(cut));
    EXPECT_EQ(sha.digest(), expected) << cut;
  }
}
