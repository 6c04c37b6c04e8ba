#pragma once
// Blowfish (160-bit key from SHA-1 of a key text) in cipher-block chaining with
// an encrypted all-0xFF initial vector and a stream tail for the last 1-7
// bytes, so the ciphertext has exactly the plain length.

#include "foundation/MemoryStream.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace tessel {

class BlowfishChain {
public:
  explicit BlowfishChain(std::string_view keyText);
  ~BlowfishChain();
  BlowfishChain(const BlowfishChain&) = delete;
  BlowfishChain& operator=(const BlowfishChain&) = delete;

  // Consecutive calls continue the chain; only the last piece may end in a tail.
  void encrypt(std::uint8_t* data, std::size_t n);
  void decrypt(std::uint8_t* data, std::size_t n);
  // The same as decrypt, with the second half of a long piece decrypted on
  // another thread: each plain block needs only two cipher blocks.
  void decryptOnTwoThreads(std::uint8_t* data, std::size_t n);
  void restart();

  // One raw Blowfish block, for tests against published vectors.
  static void encryptBlock(const std::uint8_t* key, std::size_t keyLength, const std::uint8_t in[8],
                           std::uint8_t out[8]);

private:
  void tail(std::uint8_t* data, std::size_t n);
  void decryptBlocks(std::uint8_t* data, std::size_t whole, std::uint8_t chain[8]) const;

  struct Impl;
  std::unique_ptr<Impl> d_;
};

// The SHA-256 digest (32 bytes) of `bytes`.
QByteArray Sha256Digest(std::string_view bytes);

// The same digest taken over consecutive pieces.
class Sha256 {
public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;
  void add(std::string_view bytes);
  QByteArray digest();

private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

// Decrypts a whole payload where it lies (as DecryptStream does), using a
// second thread for a long one.
void DecryptInPlace(std::string_view keyText, std::string& payload);
// Encrypts bytes where they lie, as EncryptStream does.
void EncryptInPlace(std::string_view keyText, char* data, std::size_t n);

// Whole source (from its start) into destination (written from its start), in
// pieces of 8192 bytes.
void EncryptStream(MemoryStream& source, std::string_view keyText, MemoryStream& destination);
void DecryptStream(MemoryStream& source, std::string_view keyText, MemoryStream& destination);

} // namespace tessel
