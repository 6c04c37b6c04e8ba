#pragma once
// Exception kinds that travel from the core up to the command that started the work.
// Messages are Windows-1252 text, like every engine text.

#include <stdexcept>
#include <string>

namespace tessel {

class TesselError : public std::runtime_error {
public:
  explicit TesselError(const std::string& message) : std::runtime_error(message) {}
};

// An index outside a list's range: always a caller error.
class ListIndexError : public TesselError {
public:
  explicit ListIndexError(long long index);
  long long index() const { return index_; }

private:
  long long index_;
};

// Reading past the end of a stream.
class StreamReadError : public TesselError {
public:
  using TesselError::TesselError;
};

// A text that is not a valid number, date or time. Carries the offending text.
class ConvertError : public TesselError {
public:
  ConvertError(const std::string& message, const std::string& text)
      : TesselError(message), text_(text) {}
  const std::string& text() const { return text_; }

private:
  std::string text_;
};

// A data file that cannot be read or written; the message names the file.
class DataFileError : public TesselError {
public:
  using TesselError::TesselError;
};

// Broken internal invariant: never reachable from input.
class InternalError : public TesselError {
public:
  using TesselError::TesselError;
};

} // namespace tessel
