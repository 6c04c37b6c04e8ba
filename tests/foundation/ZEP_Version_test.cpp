#include "foundation/Cp1252.h"
#include "foundation/DataFileKeys.h"
#include "foundation/Errors.h"
#include "foundation/ZEP_Crypt.h"
#include "foundation/ZEP_Version.h"
#include "support/RecordingPrompts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tessel;

namespace {

const std::string newerVersionWarning =
    std::string("Ce fichier n'est pas lisible avec la version actuelle de votre logiciel\r\n"
                "veuillez mettre à jour votre logiciel"_w);

class DataFile : public testing::Test {
protected:
  QString path(const QString& name) const { return dir.filePath(name); }

  std::string fileBytes(const QString& name) const {
    QFile f(path(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
  }

  void writeBytes(const QString& name, const std::string& bytes) const {
    MemoryStream(bytes).saveToFile(path(name));
  }

  std::string read(const QString& name) const {
    MemoryStream s;
    ReadDataFile(path(name), s);
    EXPECT_EQ(s.position(), 0u);
    return s.bytes();
  }

  static std::string header(const char* magic, std::int32_t length, std::vector<std::int32_t> numbers) {
    MemoryStream s;
    s.write(magic, 8);
    s.writeInt32(length);
    for (std::int32_t n : numbers) s.writeInt32(n);
    return s.bytes();
  }

  static std::string encrypted(const std::string& plain, std::string_view key) {
    MemoryStream in(plain), out;
    EncryptStream(in, key, out);
    return out.bytes();
  }

  QTemporaryDir dir;
  test::RecordingPrompts prompts;
};

} // namespace

TEST_F(DataFile, EmptyPayloadIsTheHeaderAlone) {
  WriteDataFile(MemoryStream(), path("vide.TSF"));
  const std::string bytes = fileBytes("vide.TSF");
  ASSERT_EQ(bytes.size(), 28u);
  EXPECT_EQ(bytes, header("ZEP2002", 16, {1, 0, 0, 0}));
  EXPECT_EQ(read("vide.TSF"), "");
}

TEST_F(DataFile, PayloadIsEncryptedWithoutPaddingAndReadBack) {
  WriteDataFile(MemoryStream("abcde"), path("cinq.TSF"));
  const std::string bytes = fileBytes("cinq.TSF");
  ASSERT_EQ(bytes.size(), 33u);
  EXPECT_EQ(bytes.substr(28), encrypted("abcde", secondKeyText));
  EXPECT_NE(bytes.substr(28), "abcde");
  EXPECT_EQ(read("cinq.TSF"), "abcde");
}

TEST_F(DataFile, ExtensionChoosesPlainOrKeyInAnyCase) {
  const std::string payload = "charge utile de test, un peu plus longue qu'un bloc";
  struct Case {
    const char* name;
    std::string_view key; // empty: plain
  };
  const Case cases[] = {
      {"a.OCS", {}},          {"b.ocs", {}},          {"c.OcS", {}},
      {"d.opf", firstKeyText}, {"e.OPF", firstKeyText}, {"f.TSF", secondKeyText},
      {"g.tsf", secondKeyText}, {"sans_extension", secondKeyText}, {"h.txt", secondKeyText},
  };
  for (const Case& c : cases) {
    WriteDataFile(MemoryStream(payload), path(c.name));
    const std::string stored = fileBytes(c.name).substr(28);
    EXPECT_EQ(stored, c.key.empty() ? payload : encrypted(payload, c.key)) << c.name;
    EXPECT_EQ(read(c.name), payload) << c.name;
  }
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(DataFile, HeaderVariantsAreRecognised) {
  const std::string payload = "contenu";
  // Lower-case magic.
  writeBytes("minuscule.OCS", header("zep2002", 16, {1, 0, 0, 0}) + payload);
  EXPECT_EQ(read("minuscule.OCS"), payload);
  // A longer, future version block.
  writeBytes("long.OCS", header("ZEP2002", 20, {1, 0, 0, 0, 99}) + payload);
  EXPECT_EQ(read("long.OCS"), payload);
  // No magic at all: the whole file is the payload.
  writeBytes("brut.OCS", "\xFF\xFF\xFF\xFF\xFE\xFF\xFF\xFF");
  EXPECT_EQ(read("brut.OCS"), "\xFF\xFF\xFF\xFF\xFE\xFF\xFF\xFF");
  // A short version block is skipped without a check.
  writeBytes("court.OCS", header("ZEP2002", 4, {7}) + payload);
  EXPECT_EQ(read("court.OCS"), payload);
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(DataFile, NewerFileWarnsAndStillLoads) {
  struct Case {
    std::vector<std::int32_t> version;
    bool warns;
  };
  const Case cases[] = {
      {{1, 1, 0, 0}, true}, {{2, 0, 0, 0}, true}, {{1, 0, 1, 0}, true},
      {{1, 0, 0, 7}, false}, {{1, 0, 0, 0}, false}, {{0, 9, 9, 9}, false},
  };
  for (const Case& c : cases) {
    prompts.clear();
    writeBytes("v.TSF", header("ZEP2002", 16, c.version) + encrypted("x", secondKeyText));
    EXPECT_EQ(read("v.TSF"), "x");
    if (c.warns) {
      ASSERT_EQ(prompts.shown.size(), 1u);
      EXPECT_EQ(prompts.shown[0].text, newerVersionWarning);
    } else {
      EXPECT_TRUE(prompts.shown.empty());
    }
  }
}

TEST_F(DataFile, EveryCutInsideTheHeaderIsAClearErrorNamingTheFile) {
  const std::string whole = header("ZEP2002", 16, {1, 0, 0, 0});
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    writeBytes("coupe.TSF", whole.substr(0, cut));
    try {
      read("coupe.TSF");
      ADD_FAILURE() << "cut at " << cut << " was accepted";
    } catch (const DataFileError& e) {
      EXPECT_NE(std::string(e.what()).find("coupe.TSF"), std::string::npos) << e.what();
    }
  }
  // A header length pointing past the end, or negative.
  for (std::int32_t length : {17, 1 << 30, -1}) {
    writeBytes("long.TSF", header("ZEP2002", length, {1, 0, 0, 0}));
    EXPECT_THROW(read("long.TSF"), DataFileError) << length;
  }
}

TEST_F(DataFile, MissingFileIsAnErrorNamingTheFile) {
  try {
    read("absent.TSF");
    FAIL();
  } catch (const DataFileError& e) {
    EXPECT_NE(std::string(e.what()).find("absent.TSF"), std::string::npos);
  }
}

TEST_F(DataFile, WritingReplacesTheFileWholeAndLeavesNoTemporaryFile) {
  WriteDataFile(MemoryStream(std::string(100000, 'a')), path("doc.TSF"));
  WriteDataFile(MemoryStream("court"), path("doc.TSF"));
  EXPECT_EQ(read("doc.TSF"), "court");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"doc.TSF"});
}

TEST_F(DataFile, FailedWriteLeavesThePreviousFileAndNamesTheTarget) {
  WriteDataFile(MemoryStream("ancien"), path("garde.TSF"));
  // A target inside a missing folder cannot be written.
  EXPECT_THROW(WriteDataFile(MemoryStream("x"), path("absent/garde.TSF")), DataFileError);
  // A folder in place of the target cannot be replaced.
  ASSERT_TRUE(QDir(dir.path()).mkdir("dossier.TSF"));
  try {
    WriteDataFile(MemoryStream("x"), path("dossier.TSF"));
    FAIL();
  } catch (const DataFileError& e) {
    EXPECT_NE(std::string(e.what()).find("dossier.TSF"), std::string::npos);
  }
  EXPECT_EQ(read("garde.TSF"), "ancien");
}

TEST(Version, IsNewerVersion) {
  struct Case {
    std::array<int, 8> v;
    bool newer;
  };
  const Case cases[] = {
      {{1, 0, 0, 0, 1, 0, 0, 0}, false}, {{1, 0, 0, 0, 1, 0, 0, 1}, true},
      {{1, 0, 0, 0, 2, 0, 0, 0}, true},  {{2, 0, 0, 0, 1, 9, 9, 9}, false},
      {{1, 2, 0, 0, 1, 1, 5, 5}, false}, {{1, 1, 3, 0, 1, 1, 2, 9}, false},
      {{1, 1, 3, 0, 1, 1, 4, 0}, true},
  };
  for (const Case& c : cases) {
    const auto& v = c.v;
    EXPECT_EQ(IsNewerVersion(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]), c.newer);
  }
  const TVersionFichier program("ignored");
  EXPECT_EQ(program.major(), 1);
  EXPECT_EQ(program.minor(), 0);
  EXPECT_EQ(program.release(), 0);
  EXPECT_EQ(program.build(), 0);
}

// Large payloads (decrypted on two threads), handed over or kept by the
// caller, plain or encrypted: the file is the header and the payload as one
// pass writes it, and reads back whole.
TEST_F(DataFile, LargePayloadsAreWrittenAndReadWhole) {
  std::string payload(300003, '\0');
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i * 131 + i / 7);
  for (const char* name : {"gros.TSF", "gros.OPF", "gros.OCS"}) {
    const std::string key(KeyTextFor(path(name)));
    const std::string expected = header("ZEP2002", 16, {1, 0, 0, 0}) + (key.empty() ? payload : encrypted(payload, key));
    const MemoryStream kept(payload);
    WriteDataFile(kept, path(name));
    EXPECT_EQ(kept.bytes(), payload) << name;
    EXPECT_EQ(fileBytes(name), expected) << name;
    EXPECT_EQ(read(name), payload) << name;
    WriteDataFile(MemoryStream(payload), path(name));
    EXPECT_EQ(fileBytes(name), expected) << name;
  }
}
