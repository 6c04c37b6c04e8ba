#include "cli/StreamDump.h"

#include "engine/ZEP_Entite.h"
#include "foundation/Cp1252.h"
#include "foundation/F_erreur.h"

#include <QImage>

#include <cstdio>
#include <vector>

namespace tessel::cli {

std::string printableName(std::string_view name) {
  std::string escaped;
  for (char c : name) {
    const auto b = static_cast<unsigned char>(c);
    switch (c) {
    case '\\': escaped += "\\\\"; break;
    case '\t': escaped += "\\t"; break;
    case '\r': escaped += "\\r"; break;
    case '\n': escaped += "\\n"; break;
    case '\0': escaped += "\\0"; break;
    default:
      if (b < 32 || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", b);
        escaped += hex;
      } else {
        escaped += c;
      }
    }
  }
  return cp1252ToUtf8(escaped);
}

std::string entityText(const MEntite* e, const std::unordered_map<const MEntite*, std::int32_t>& indexes) {
  if (!e->isTriple() && e->name().empty()) {
    const auto it = indexes.find(e);
    return it == indexes.end() ? "~" : "~" + std::to_string(it->second);
  }
  std::string text = printableName(e->nom());
  if (e->kind() == EntityKind::SymbolBitmap) {
    const QImage& image = static_cast<const MSymbole_bitmap*>(e)->image();
    text += " [" + std::to_string(image.width()) + "x" + std::to_string(image.height()) + "]";
  }
  return text;
}

void dumpStream(MemoryStream stream, std::ostream& out) {
  stream.seek(0);
  std::vector<std::string> texts;
  for (std::int32_t index = stream.readInt32(); index != -1; index = stream.readInt32()) {
    const std::int32_t length = stream.readInt32();
    std::string name(static_cast<std::size_t>(length - 1), '\0');
    stream.read(name.data(), name.size());
    stream.readByte();
    if (name.front() == '~') {
      texts.push_back("~" + std::to_string(texts.size()));
      continue;
    }
    std::string text = printableName(name);
    if (name.size() >= 5 && SameText(std::string_view(name).substr(0, 5), "[bmp]")) {
      const auto size = static_cast<std::size_t>(stream.readInt32());
      QImage image;
      if (size > 0) image.loadFromData(reinterpret_cast<const uchar*>(stream.bytes().data() + stream.position()),
                                       static_cast<int>(size), "BMP");
      stream.seek(stream.position() + size);
      text += " [" + std::to_string(image.width()) + "x" + std::to_string(image.height()) + "]";
    }
    texts.push_back(std::move(text));
  }
  for (std::int32_t s = stream.readInt32(); s != -2; s = stream.readInt32()) {
    const std::int32_t r = stream.readInt32();
    const std::int32_t v = stream.readInt32();
    out << texts.at(static_cast<std::size_t>(s)) << '\t' << texts.at(static_cast<std::size_t>(r)) << '\t'
        << texts.at(static_cast<std::size_t>(v)) << '\n';
  }
}

} // namespace tessel::cli
