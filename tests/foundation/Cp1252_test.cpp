#include "foundation/Cp1252.h"

#include <gtest/gtest.h>

using namespace tessel;

TEST(Cp1252, LiteralsAndRuntimeConversionsAgree) {
  EXPECT_EQ("é"_w, std::string_view("\xE9"));
  EXPECT_EQ("€œ’"_w, std::string_view("\x80\x9C\x92"));
  EXPECT_EQ("Réunion"_w.size(), 7u);
  EXPECT_EQ(utf8ToCp1252("Fête du travail"), "Fête du travail"_w);
  EXPECT_EQ(cp1252ToUtf8("Noël !"_w), "Noël !");
  EXPECT_EQ(fromCp1252("\x80"), QString(QChar(0x20AC)));
  EXPECT_EQ(toCp1252(QStringLiteral("Pâques")), "Pâques"_w);
  // Every byte survives a round trip through QString except the five holes of the code page.
  for (int b = 1; b < 256; ++b) {
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(toCp1252(fromCp1252(byte)), byte) << b;
  }
}

TEST(Cp1252, LineEndsBetweenEngineAndScreens) {
  struct Case {
    std::string engine;
    QString screen;
    std::string back;
  };
  const Case cases[] = {
      {"un\r\ndeux", "un\ndeux", "un\r\ndeux"},
      {"un\rdeux\n", "un\ndeux\n", "un\r\ndeux\r\n"},
      {std::string("Café\r\n\r\n"_w), QStringLiteral("Café\n\n"), std::string("Café\r\n\r\n"_w)},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fromEngineLines(c.engine), c.screen) << c.engine;
    EXPECT_EQ(toEngineLines(c.screen), c.back) << c.engine;
  }
  EXPECT_EQ(toEngineLines(QStringLiteral("déjà\r\nvu")), "déjà\r\nvu"_w);
}
