#include "foundation/MemoryStream.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/FileAccess.h"

#include <cstring>

namespace tessel {

void MemoryStream::read(void* out, std::size_t n) {
  if (n > remaining()) throw StreamReadError("Erreur de lecture du flux : fin des données atteinte"_w);
  if (n) std::memcpy(out, data_.data() + pos_, n);
  pos_ += n;
}

std::size_t MemoryStream::readSome(void* out, std::size_t n) {
  const std::size_t count = n < remaining() ? n : remaining();
  if (count) std::memcpy(out, data_.data() + pos_, count);
  pos_ += count;
  return count;
}

std::int32_t MemoryStream::readInt32() {
  unsigned char b[4];
  read(b, 4);
  return static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                                   std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24);
}

std::uint8_t MemoryStream::readByte() {
  std::uint8_t b = 0;
  read(&b, 1);
  return b;
}

void MemoryStream::write(const void* in, std::size_t n) {
  if (pos_ > data_.size()) data_.resize(pos_);
  if (pos_ + n > data_.size()) data_.resize(pos_ + n);
  if (n) std::memcpy(data_.data() + pos_, in, n);
  pos_ += n;
}

void MemoryStream::writeInt32(std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                              static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  write(b, 4);
}

void MemoryStream::loadFromFile(const QString& path) {
  data_ = ReadFile(path).bytes;
  pos_ = 0;
}

void MemoryStream::saveToFile(const QString& path) const { ReplaceFile(path, data_); }

} // namespace tessel
