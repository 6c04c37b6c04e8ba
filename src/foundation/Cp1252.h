#pragma once
// Engine texts are 8-bit Windows-1252; our sources are UTF-8. The literal
// suffix _w converts a UTF-8 literal at compile time, so "triée"_w is the
// exact byte string the engine stores and compares. Conversion to and from
// QString happens only at the edges (files, CLI, UI).

#include <QString>
#include <QStringView>

#include <cstddef>
#include <string>
#include <string_view>

namespace tessel {

namespace detail {

// Windows-1252 bytes 0x80..0x9F that are not Latin-1.
consteval int cp1252HighByte(char32_t c) {
  constexpr char32_t table[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  for (int i = 0; i < 32; ++i)
    if (table[i] == c && c != 0) return 0x80 + i;
  return -1;
}

template <std::size_t N>
struct Utf8Literal {
  char bytes[N]{};
  consteval Utf8Literal(const char (&s)[N]) {
    for (std::size_t i = 0; i < N; ++i) bytes[i] = s[i];
  }
};

template <std::size_t N>
struct Cp1252Text {
  char bytes[N]{};
  std::size_t size = 0;
};

template <std::size_t N>
consteval Cp1252Text<N> toCp1252(const Utf8Literal<N>& in) {
  Cp1252Text<N> out;
  std::size_t i = 0;
  const std::size_t len = N - 1; // without the terminator
  while (i < len) {
    const unsigned char b0 = static_cast<unsigned char>(in.bytes[i]);
    char32_t c = 0;
    if (b0 < 0x80) {
      c = b0;
      i += 1;
    } else if ((b0 & 0xE0) == 0xC0 && i + 1 < len) {
      c = (char32_t(b0 & 0x1F) << 6) | (static_cast<unsigned char>(in.bytes[i + 1]) & 0x3F);
      i += 2;
    } else if ((b0 & 0xF0) == 0xE0 && i + 2 < len) {
      c = (char32_t(b0 & 0x0F) << 12) |
          (char32_t(static_cast<unsigned char>(in.bytes[i + 1]) & 0x3F) << 6) |
          (static_cast<unsigned char>(in.bytes[i + 2]) & 0x3F);
      i += 3;
    } else {
      throw "literal is not valid UTF-8 or has no Windows-1252 form";
    }
    int byte = -1;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
      byte = static_cast<int>(c);
    else
      byte = cp1252HighByte(c);
    if (byte < 0) throw "character has no Windows-1252 form";
    out.bytes[out.size++] = static_cast<char>(byte);
  }
  return out;
}

template <Utf8Literal S>
struct Cp1252Holder {
  static constexpr Cp1252Text<sizeof(S.bytes)> value = toCp1252(S);
};

} // namespace detail

inline namespace literals {
template <detail::Utf8Literal S>
constexpr std::string_view operator""_w() {
  return {detail::Cp1252Holder<S>::value.bytes, detail::Cp1252Holder<S>::value.size};
}
} // namespace literals

// Runtime conversions at the edges. A character without a Windows-1252 form
// is kept as the escape "__U+" + its code point in capital hexadecimal (at
// least four digits) + "__", which reads back as the character; a reader that
// does not know the escape shows it as it is. Only code points without a
// Windows-1252 form are read back from an escape, so a typed "__U+0041__"
// stays as typed.
QString fromCp1252(std::string_view text);
std::string toCp1252(QStringView text);
inline std::string toCp1252(const QString& text) { return toCp1252(QStringView(text)); }
// Engine texts end their lines with CR LF, screens with LF: a text for a
// screen (CR LF and a lone CR become LF) and back (every line ends with CR LF).
QString fromEngineLines(std::string_view text);
std::string toEngineLines(QString text);
// UTF-8 (terminal, command line) to Windows-1252 and back.
std::string utf8ToCp1252(std::string_view utf8);
std::string cp1252ToUtf8(std::string_view text);

} // namespace tessel
