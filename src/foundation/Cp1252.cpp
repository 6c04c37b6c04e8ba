#include "foundation/Cp1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace tessel {

namespace {

// Opening a converter costs far more than converting a short text: each
// thread keeps one of each.
QStringDecoder& decoder() {
  thread_local QStringDecoder d("windows-1252");
  d.resetState();
  return d;
}

QStringEncoder& encoder() {
  thread_local QStringEncoder e("windows-1252", QStringConverter::Flag::Default);
  e.resetState();
  return e;
}

bool isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isAscii(QStringView text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

QString fromCp1252(std::string_view text) {
  // ASCII reads the same in both, and most engine texts are ASCII.
  if (isAscii(text)) return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  QStringDecoder& d = decoder();
  if (!d.isValid()) // Qt built without ICU: Latin-1 is the closest fallback
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  return d.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

std::string toCp1252(QStringView text) {
  QByteArray bytes;
  if (isAscii(text)) {
    bytes = text.toLatin1();
  } else {
    QStringEncoder& e = encoder();
    bytes = e.isValid() ? e.encode(text) : text.toLatin1();
  }
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
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
