#pragma once
// Exception kinds that travel from the core up to the command that started the work.
// Messages are Windows-1252 text, like every engine text.

#include <concepts>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

namespace tessel {

// A constant piece of a message. Our sources are UTF-8 and messages are
// Windows-1252: a literal is accepted as it is only when it is plain ASCII
// (the same bytes in both); any other goes through _w. The check runs at
// compile time, so an unconverted accent never builds.
class MessageLiteral {
public:
  template <std::size_t N>
  consteval MessageLiteral(const char (&literal)[N]) : text_(literal, N - 1) {
    for (std::size_t i = 0; i + 1 < N; ++i)
      if (static_cast<unsigned char>(literal[i]) >= 0x80)
        throw "a message literal with accents needs _w (Windows-1252)";
  }
  // A text already converted: what _w gives.
  template <class T>
    requires std::same_as<T, std::string_view>
  constexpr MessageLiteral(T converted) : text_(converted) {}

  constexpr std::string_view text() const { return text_; }

private:
  std::string_view text_;
};

// A message built from constant pieces and engine texts. Engine texts
// (std::string) are added with +; a bare string is not taken, so that a
// message never starts from an unchecked concatenation of literals.
class Message {
public:
  Message() = default;
  Message(MessageLiteral literal) : text_(literal.text()) {}

  const std::string& text() const& { return text_; }
  std::string text() && { return std::move(text_); }

  Message& operator+=(MessageLiteral literal) {
    text_ += literal.text();
    return *this;
  }
  template <class S>
    requires std::same_as<std::remove_cvref_t<S>, std::string>
  Message& operator+=(S&& engineText) {
    text_ += engineText;
    return *this;
  }

private:
  std::string text_;
};

inline Message operator+(Message message, MessageLiteral literal) { return message += literal; }

template <class S>
  requires std::same_as<std::remove_cvref_t<S>, std::string>
Message operator+(Message message, S&& engineText) {
  return message += std::forward<S>(engineText);
}

class TesselError : public std::runtime_error {
public:
  TesselError(MessageLiteral message) : std::runtime_error(std::string(message.text())) {}
  TesselError(Message message) : std::runtime_error(std::move(message).text()) {}
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
  ConvertError(Message message, const std::string& text) : TesselError(std::move(message)), text_(text) {}
  ConvertError(MessageLiteral message, const std::string& text) : TesselError(message), text_(text) {}
  const std::string& text() const { return text_; }

private:
  std::string text_;
};

// A data file that cannot be read or written; the message names the file.
class DataFileError : public TesselError {
public:
  using TesselError::TesselError;
};

// A text longer than a stored text may be; nothing was changed.
class TextTooLongError : public TesselError {
public:
  using TesselError::TesselError;
};

// Broken internal invariant: never reachable from input.
class InternalError : public TesselError {
public:
  using TesselError::TesselError;
};

} // namespace tessel
