#include "foundation/Cp1252.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace tessel {

namespace {

// Bytes 0x80..0x9F; the five bytes the code page leaves undefined stand for
// the control characters of the same number, so every byte comes back.
constexpr char16_t highBytes[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::string_view escapeStart = "__U+";
constexpr std::string_view escapeEnd = "__";

// The byte of a code point, or -1 when the code page has none.
int byteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i)
    if (highBytes[i] == c) return 0x80 + i;
  return -1;
}

char16_t characterOf(unsigned char b) { return b >= 0x80 && b < 0xA0 ? highBytes[b - 0x80] : char16_t(b); }

std::string escapeOf(char32_t c) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(c));
  return std::string(escapeStart) + digits + std::string(escapeEnd);
}

bool isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isAscii(QStringView text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// The code point of an escape at the start of `text`, and its length; 0 when
// `text` does not start with an escape written exactly as escapeOf writes it.
char32_t readEscape(std::string_view text, std::size_t& length) {
  if (!text.starts_with(escapeStart)) return 0;
  std::size_t i = escapeStart.size();
  char32_t c = 0;
  while (i < text.size() && i < escapeStart.size() + 6 && std::isxdigit(static_cast<unsigned char>(text[i])) &&
         !std::islower(static_cast<unsigned char>(text[i]))) {
    c = c * 16 + static_cast<char32_t>(text[i] <= '9' ? text[i] - '0' : text[i] - 'A' + 10);
    ++i;
  }
  if (c > 0x10FFFF || byteOf(c) >= 0 || text.substr(i, escapeEnd.size()) != escapeEnd) return 0;
  length = i + escapeEnd.size();
  return escapeOf(c).size() == length ? c : 0;
}

} // namespace

QString fromCp1252(std::string_view text) {
  // ASCII reads the same in both, and most engine texts are ASCII.
  const bool escaped = text.find(escapeStart) != std::string_view::npos;
  if (!escaped && isAscii(text)) return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  QString result;
  result.reserve(static_cast<qsizetype>(text.size()));
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 0;
    if (const char32_t c = escaped && text[i] == '_' ? readEscape(text.substr(i), length) : 0) {
      if (c >= 0x10000) {
        const char16_t pair[2] = {QChar::highSurrogate(c), QChar::lowSurrogate(c)};
        result.append(QStringView(pair, 2));
      } else {
        result.append(QChar(static_cast<char16_t>(c)));
      }
      i += length;
      continue;
    }
    result.append(QChar(characterOf(static_cast<unsigned char>(text[i]))));
    ++i;
  }
  return result;
}

std::string toCp1252(QStringView text) {
  if (isAscii(text)) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  }
  std::string result;
  result.reserve(static_cast<std::size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t c = text[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
      ++i;
    }
    const int byte = byteOf(c);
    if (byte >= 0)
      result += static_cast<char>(byte);
    else
      result += escapeOf(c);
  }
  return result;
}

QString fromEngineLines(std::string_view text) {
  QString lines = fromCp1252(text);
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return lines;
}

std::string toEngineLines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return toCp1252(text);
}

std::string utf8ToCp1252(std::string_view utf8) {
  return toCp1252(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

std::string cp1252ToUtf8(std::string_view text) {
  const QByteArray bytes = fromCp1252(text).toUtf8();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace tessel
