#pragma once
// In-memory byte stream with a read/write position. Integers are 32-bit signed
// little-endian, as in every file the program writes.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessel {

class MemoryStream {
public:
  MemoryStream() = default;
  explicit MemoryStream(std::string bytes) : data_(std::move(bytes)) {}

  std::size_t size() const { return data_.size(); }
  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return pos_ < data_.size() ? data_.size() - pos_ : 0; }
  void seek(std::size_t pos) { pos_ = pos; }
  void clear() {
    data_.clear();
    pos_ = 0;
  }

  // Reads exactly n bytes or raises StreamReadError (nothing consumed then).
  void read(void* out, std::size_t n);
  // Reads up to n bytes; answers how many were read.
  std::size_t readSome(void* out, std::size_t n);
  std::int32_t readInt32();
  std::uint8_t readByte();

  // Writes at the position, overwriting and extending as needed.
  void write(const void* in, std::size_t n);
  void write(std::string_view bytes) { write(bytes.data(), bytes.size()); }
  void writeInt32(std::int32_t value);

  const std::string& bytes() const { return data_; }
  std::string& bytes() { return data_; }
  char* data() { return data_.data(); }

  // Whole-file transfers (FileAccess.h); failures raise DataFileError naming the file.
  void loadFromFile(const QString& path);
  // Replaces the file only once the new content is safely on disk.
  void saveToFile(const QString& path) const;

private:
  std::string data_;
  std::size_t pos_ = 0;
};

} // namespace tessel
