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
  // Every byte survives a round trip through QString, the five holes of the code page too.
  for (int b = 1; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(toCp1252(fromCp1252(byte)), byte) << b;
  }
}

TEST(Cp1252, CharactersOutsideTheCodePageAreKeptAsEscapes) {
  struct Case {
    const char* utf8;
    std::string stored;
  };
  const Case cases[] = {
      {"Ωmega ✓ 中文 😀", "__U+03A9__mega __U+2713__ __U+4E2D____U+6587__ __U+1F600__"},
      {"Ελληνικά", "__U+0395____U+03BB____U+03BB____U+03B7____U+03BD____U+03B9____U+03BA____U+03AC__"},
      {"Привет", "__U+041F____U+0440____U+0438____U+0432____U+0435____U+0442__"},
      {"שלום", "__U+05E9____U+05DC____U+05D5____U+05DD__"},
      {"مرحبا", "__U+0645____U+0631____U+062D____U+0628____U+0627__"},
      {"日本語のテキスト", ""},
      {"한국어", ""},
      {"👩‍💻 🇫🇷", ""},   // joined and paired emoji: several code points each
      {"e\u0301t\u0301e\u0301", ""},  // combining accents stay apart from é
      {"déjà € œ …", std::string("déjà € œ …"_w)}, // the code page's own characters stay single bytes
  };
  for (const Case& c : cases) {
    const QString typed = QString::fromUtf8(c.utf8);
    const std::string stored = toCp1252(typed);
    if (!c.stored.empty()) {
      EXPECT_EQ(stored, c.stored) << c.utf8;
    }
    EXPECT_EQ(fromCp1252(stored), typed) << c.utf8;
    EXPECT_EQ(cp1252ToUtf8(utf8ToCp1252(typed.toStdString())), typed.toStdString()) << c.utf8;
  }
  // Only what the encoder makes reads back: escapes of the code page's own
  // characters, small letters or stray digits are text as typed.
  for (const char* typed : {"__U+0041__", "__U+00E9__", "__u+03a9__", "__U+3A9__", "__U+0003A9__", "__U+03A9_", "__U+110000__"})
    EXPECT_EQ(fromCp1252(typed), QString::fromLatin1(typed)) << typed;
  // A lone surrogate, which a text field may hold, comes back too.
  const QString lone(QChar(0xD800));
  EXPECT_EQ(fromCp1252(toCp1252(lone)), lone);
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
