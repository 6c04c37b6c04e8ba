#include "foundation/Cp1252.h"
#include "foundation/F_erreur.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

using namespace tessel;

TEST(TextHelpers, UpperAsciiFoldsOnlyAToZ) {
  EXPECT_EQ(UpperAscii('a'), 'A');
  EXPECT_EQ(UpperAscii('z'), 'Z');
  EXPECT_EQ(UpperAscii('A'), 'A');
  EXPECT_EQ(UpperAscii('1'), '1');
  EXPECT_EQ(UpperAscii("é"_w[0]), "é"_w[0]);
  EXPECT_TRUE(SameText("sys_ID_classe", "SYS_id_CLASSE"));
  EXPECT_FALSE(SameText("élément"_w, "ÉLÉMENT"_w));
  EXPECT_FALSE(SameText("ab", "abc"));
}

TEST(TextHelpers, TextInList) {
  EXPECT_FALSE(TextInList("Fin", {}));
  EXPECT_TRUE(TextInList("Fin", {"REQ", "FIN"}));
  EXPECT_FALSE(TextInList("Fi", {"REQ", "FIN"}));
}

TEST(ErrorWindow, ShowErrorPassesTheWholeTextToThePrompts) {
  test::RecordingPrompts prompts;
  ShowError("ligne 1\r\nligne 2");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].kind, test::RecordingPrompts::Kind::ErrorWindow);
  EXPECT_EQ(prompts.shown[0].text, "ligne 1\r\nligne 2");
}
