#include "foundation/ZEP_Crypt.h"

#include <nettle/blowfish.h>
#include <nettle/sha1.h>
#include <nettle/sha2.h>

#include <cstring>
#include <system_error>
#include <thread>

namespace tessel {

namespace {

void wipe(void* p, std::size_t n) {
  volatile auto* bytes = static_cast<volatile unsigned char*>(p);
  while (n--) *bytes++ = 0;
}

void xorInto(std::uint8_t* data, const std::uint8_t* with, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) data[i] ^= with[i];
}

constexpr std::size_t pieceSize = 8192;

template <class Step>
void transform(MemoryStream& source, std::string_view keyText, MemoryStream& destination, Step step) {
  BlowfishChain chain(keyText);
  source.seek(0);
  destination.clear();
  destination.bytes().reserve(source.size());
  std::uint8_t buffer[pieceSize];
  do {
    const std::size_t n = source.readSome(buffer, pieceSize);
    step(chain, buffer, n);
    destination.write(buffer, n);
  } while (source.position() < source.size());
  wipe(buffer, sizeof buffer);
}

} // namespace

struct BlowfishChain::Impl {
  blowfish_ctx ctx;
  std::uint8_t iv[BLOWFISH_BLOCK_SIZE];
  std::uint8_t chain[BLOWFISH_BLOCK_SIZE];
};

BlowfishChain::BlowfishChain(std::string_view keyText) : d_(std::make_unique<Impl>()) {
  std::uint8_t digest[SHA1_DIGEST_SIZE];
  sha1_ctx sha;
  sha1_init(&sha);
  sha1_update(&sha, keyText.size(), reinterpret_cast<const std::uint8_t*>(keyText.data()));
  sha1_digest(&sha, sizeof digest, digest);
  // The return value only flags weak keys, which are still usable.
  (void)blowfish_set_key(&d_->ctx, sizeof digest, digest);
  std::memset(digest, 0xFF, sizeof digest);
  std::memset(d_->iv, 0xFF, sizeof d_->iv);
  blowfish_encrypt(&d_->ctx, BLOWFISH_BLOCK_SIZE, d_->iv, d_->iv);
  std::memcpy(d_->chain, d_->iv, sizeof d_->chain);
}

BlowfishChain::~BlowfishChain() { wipe(d_.get(), sizeof(Impl)); }

void BlowfishChain::restart() { std::memcpy(d_->chain, d_->iv, sizeof d_->chain); }

void BlowfishChain::encrypt(std::uint8_t* data, std::size_t n) {
  const std::size_t whole = n - n % BLOWFISH_BLOCK_SIZE;
  for (std::size_t at = 0; at < whole; at += BLOWFISH_BLOCK_SIZE) {
    xorInto(data + at, d_->chain, BLOWFISH_BLOCK_SIZE);
    blowfish_encrypt(&d_->ctx, BLOWFISH_BLOCK_SIZE, data + at, data + at);
    std::memcpy(d_->chain, data + at, BLOWFISH_BLOCK_SIZE);
  }
  tail(data + whole, n - whole);
}

void BlowfishChain::decryptBlocks(std::uint8_t* data, std::size_t whole, std::uint8_t chain[8]) const {
  std::uint8_t cipher[BLOWFISH_BLOCK_SIZE];
  for (std::size_t at = 0; at < whole; at += BLOWFISH_BLOCK_SIZE) {
    std::memcpy(cipher, data + at, BLOWFISH_BLOCK_SIZE);
    blowfish_decrypt(&d_->ctx, BLOWFISH_BLOCK_SIZE, data + at, data + at);
    xorInto(data + at, chain, BLOWFISH_BLOCK_SIZE);
    std::memcpy(chain, cipher, BLOWFISH_BLOCK_SIZE);
  }
}

void BlowfishChain::decrypt(std::uint8_t* data, std::size_t n) {
  const std::size_t whole = n - n % BLOWFISH_BLOCK_SIZE;
  decryptBlocks(data, whole, d_->chain);
  tail(data + whole, n - whole);
}

void BlowfishChain::decryptOnTwoThreads(std::uint8_t* data, std::size_t n) {
  const std::size_t whole = n - n % BLOWFISH_BLOCK_SIZE;
  const std::size_t half = whole / (2 * BLOWFISH_BLOCK_SIZE) * BLOWFISH_BLOCK_SIZE;
  if (half == 0) return decrypt(data, n);
  // The second half chains from the last cipher block of the first, taken
  // before the first half is decrypted over it.
  std::uint8_t secondChain[BLOWFISH_BLOCK_SIZE];
  std::memcpy(secondChain, data + half - BLOWFISH_BLOCK_SIZE, BLOWFISH_BLOCK_SIZE);
  std::thread second;
  try {
    second = std::thread([this, data, half, whole, &secondChain] {
      decryptBlocks(data + half, whole - half, secondChain);
    });
  } catch (const std::system_error&) {
    return decrypt(data, n); // no thread to be had: one does it all
  }
  decryptBlocks(data, half, d_->chain);
  second.join();
  std::memcpy(d_->chain, secondChain, BLOWFISH_BLOCK_SIZE);
  wipe(secondChain, sizeof secondChain);
  tail(data + whole, n - whole);
}

void BlowfishChain::tail(std::uint8_t* data, std::size_t n) {
  if (n == 0) return;
  std::uint8_t mask[BLOWFISH_BLOCK_SIZE];
  blowfish_encrypt(&d_->ctx, BLOWFISH_BLOCK_SIZE, mask, d_->chain);
  xorInto(data, mask, n);
  wipe(mask, sizeof mask);
}

void BlowfishChain::encryptBlock(const std::uint8_t* key, std::size_t keyLength, const std::uint8_t in[8],
                                 std::uint8_t out[8]) {
  blowfish_ctx ctx;
  (void)blowfish_set_key(&ctx, keyLength, key);
  blowfish_encrypt(&ctx, BLOWFISH_BLOCK_SIZE, out, in);
  wipe(&ctx, sizeof ctx);
}

struct Sha256::Impl {
  sha256_ctx ctx;
};

Sha256::Sha256() : d_(std::make_unique<Impl>()) { sha256_init(&d_->ctx); }

Sha256::~Sha256() = default;

void Sha256::add(std::string_view bytes) {
  sha256_update(&d_->ctx, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
}

QByteArray Sha256::digest() {
  QByteArray digest(SHA256_DIGEST_SIZE, Qt::Uninitialized);
  sha256_digest(&d_->ctx, SHA256_DIGEST_SIZE, reinterpret_cast<std::uint8_t*>(digest.data()));
  return digest;
}

QByteArray Sha256Digest(std::string_view bytes) {
  // Nettle uses the processor's SHA instructions where there are some: many
  // times as fast as a portable implementation on a whole saved base.
  Sha256 sha;
  sha.add(bytes);
  return sha.digest();
}

void DecryptInPlace(std::string_view keyText, std::string& payload) {
  // Below this, starting a thread costs more than it saves.
  constexpr std::size_t worthASecondThread = 256 * 1024;
  BlowfishChain chain(keyText);
  auto* data = reinterpret_cast<std::uint8_t*>(payload.data());
  if (payload.size() >= worthASecondThread && std::thread::hardware_concurrency() > 1)
    chain.decryptOnTwoThreads(data, payload.size());
  else
    chain.decrypt(data, payload.size());
}

void EncryptInPlace(std::string_view keyText, char* data, std::size_t n) {
  BlowfishChain chain(keyText);
  chain.encrypt(reinterpret_cast<std::uint8_t*>(data), n);
}

void EncryptStream(MemoryStream& source, std::string_view keyText, MemoryStream& destination) {
  transform(source, keyText, destination,
            [](BlowfishChain& c, std::uint8_t* p, std::size_t n) { c.encrypt(p, n); });
}

void DecryptStream(MemoryStream& source, std::string_view keyText, MemoryStream& destination) {
  transform(source, keyText, destination,
            [](BlowfishChain& c, std::uint8_t* p, std::size_t n) { c.decrypt(p, n); });
}

} // namespace tessel
