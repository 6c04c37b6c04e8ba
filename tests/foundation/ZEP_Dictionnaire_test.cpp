#include "foundation/ZEP_Dictionnaire.h"

#include <gtest/gtest.h>

using namespace tessel;
using namespace std::string_literals;

TEST(MDictionnaires_StringString_Objet, PutGetRemoveIgnoringCase) {
  int first = 1, second = 2;
  MDictionnaires_StringString_Objet<int> dict;
  dict.Put("Mcategorie", "123", &first);
  dict.Put("MCATEGORIE", "123", &second);
  EXPECT_EQ(dict.Get("mcategorie", "123"), &second); // one entry, the last object
  EXPECT_EQ(dict.Get("Mcategorie", "124"), nullptr);
  EXPECT_EQ(dict.Get("Moccurence", "123"), nullptr);
  dict.Put("Mcategorie", "Abc", &first);
  EXPECT_EQ(dict.Get("MCATEGORIE", "aBC"), &first);
  dict.RemoveKey("mCategorie", "ABC");
  EXPECT_EQ(dict.Get("Mcategorie", "Abc"), nullptr);
  dict.RemoveKey("absent", "x"); // nothing to remove
  EXPECT_EQ(dict.Get("Mcategorie", "123"), &second);
  dict.Clear();
  EXPECT_EQ(dict.Get("Mcategorie", "123"), nullptr);
}

TEST(EscapeCodec, EncodesInTableOrderAndDecodesBack) {
  struct Case {
    std::string plain, encoded;
  };
  const Case cases[] = {
      {"a,b\r\n", "a__vir__b__ret____ln__"},
      {"x\ty", "x__tab__y"},
      {"zero\0!"s, "zero__zero__!"},
      {"", ""},
      {"rien à coder", "rien à coder"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeText(c.plain), c.encoded);
    EXPECT_EQ(DecodeText(EncodeText(c.plain)), c.plain);
  }
  // A code typed by the user comes back as the character it stands for.
  EXPECT_EQ(DecodeText("1__vir__5"), "1,5");
}
