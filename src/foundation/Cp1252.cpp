#include "foundation/Cp1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tessel {

QString fromCp1252(std::string_view text) {
  QStringDecoder decoder("windows-1252");
  if (!decoder.isValid()) // Qt built without ICU: Latin-1 is the closest fallback
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

std::string toCp1252(QStringView text) {
  QStringEncoder encoder("windows-1252", QStringConverter::Flag::Default);
  QByteArray bytes;
  if (encoder.isValid())
    bytes = encoder.encode(text);
  else
    bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string utf8ToCp1252(std::string_view utf8) {
  return toCp1252(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

std::string cp1252ToUtf8(std::string_view text) {
  const QByteArray bytes = fromCp1252(text).toUtf8();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace tessel
