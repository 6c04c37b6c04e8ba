#include "foundation/ZEP_Crypt.h"

#include <nettle/blowfish.h>
#include <nettle/sha1.h>
#include <nettle/sha2.h>

#include <cstring>

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

void BlowfishChain::decrypt(std::uint8_t* data, std::size_t n) {
  const std::size_t whole = n - n % BLOWFISH_BLOCK_SIZE;
  std::uint8_t cipher[BLOWFISH_BLOCK_SIZE];
  for (std::size_t at = 0; at < whole; at += BLOWFISH_BLOCK_SIZE) {
    std::memcpy(cipher, data + at, BLOWFISH_BLOCK_SIZE);
    blowfish_decrypt(&d_->ctx, BLOWFISH_BLOCK_SIZE, data + at, data + at);
    xorInto(data + at, d_->chain, BLOWFISH_BLOCK_SIZE);
    std::memcpy(d_->chain, cipher, BLOWFISH_BLOCK_SIZE);
  }
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

QByteArray Sha256Digest(std::string_view bytes) {
  // Nettle uses the processor's SHA instructions where there are some: many
  // times as fast as a portable implementation on a whole saved base.
  QByteArray digest(SHA256_DIGEST_SIZE, Qt::Uninitialized);
  sha256_ctx sha;
  sha256_init(&sha);
  sha256_update(&sha, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
  sha256_digest(&sha, SHA256_DIGEST_SIZE, reinterpret_cast<std::uint8_t*>(digest.data()));
  return digest;
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
