#include "EngineFixture.h"

#include "engine/SmallObjectPool.h"

#include "foundation/Cp1252.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>

#include <functional>

using namespace tessel;
using tessel::test::EngineTest;

namespace {

// Builds a stream record by record.
struct StreamBuilder {
  MemoryStream s;
  int next = 0;
  StreamBuilder& name(std::string_view text) {
    s.writeInt32(next++);
    s.writeInt32(static_cast<std::int32_t>(text.size() + 1));
    s.write(text);
    s.write("\0", 1);
    return *this;
  }
  StreamBuilder& picture(std::string_view text, const QByteArray& bmp) {
    name(text);
    s.writeInt32(static_cast<std::int32_t>(bmp.size()));
    s.write(bmp.constData(), static_cast<std::size_t>(bmp.size()));
    return *this;
  }
  StreamBuilder& endSymbols() {
    s.writeInt32(-1);
    return *this;
  }
  StreamBuilder& triple(int a, int r, int v) {
    s.writeInt32(a);
    s.writeInt32(r);
    s.writeInt32(v);
    return *this;
  }
  StreamBuilder& end() {
    s.writeInt32(-2);
    return *this;
  }
  // The integrity record the writer puts after the end.
  StreamBuilder& sealed() {
    const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(s.bytes()), QCryptographicHash::Sha256);
    s.writeInt32(-3);
    s.writeInt32(32);
    s.write(digest.constData(), 32);
    return *this;
  }
};

QByteArray bmp(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return bytes;
}

QImage filled(int w, int h, QColor colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// The triples a stream describes, as name texts ("~n" for anonymous entities).
std::vector<std::string> describe(MemoryStream stream) {
  stream.seek(0);
  std::vector<std::string> names;
  for (int i = stream.readInt32(); i != -1; i = stream.readInt32()) {
    const int n = stream.readInt32();
    std::string text(static_cast<std::size_t>(n - 1), '\0');
    stream.read(text.data(), text.size());
    stream.readByte();
    if (text.rfind("[bmp]", 0) == 0) {
      const auto size = static_cast<std::size_t>(stream.readInt32());
      stream.seek(stream.position() + size);
    }
    names.push_back(text[0] == '~' ? "~" : text);
  }
  std::vector<std::string> triples;
  for (int s = stream.readInt32(); s != -2; s = stream.readInt32()) {
    const int r = stream.readInt32(), v = stream.readInt32();
    triples.push_back(names[static_cast<std::size_t>(s)] + " " + names[static_cast<std::size_t>(r)] + " " +
                      names[static_cast<std::size_t>(v)]);
  }
  return triples;
}

// Both ways of reading: the stream kept, or given up to the read.
void readStream(MBC& base, MemoryStream& stream, bool consumed) {
  if (consumed)
    base.lire(std::move(stream));
  else
    base.lire(stream);
}

} // namespace

using Store = EngineTest;

TEST_F(Store, EmptyBaseWritesTheTwoMarkersAndTheIntegrityRecord) {
  const MemoryStream out = b().ecrire();
  EXPECT_EQ(out.bytes(), StreamBuilder{}.endSymbols().end().sealed().s.bytes());
  EXPECT_EQ(out.bytes().substr(0, 8), std::string("\xFF\xFF\xFF\xFF\xFE\xFF\xFF\xFF", 8));
  MemoryStream in(out.bytes());
  MBC other;
  other.lire(in);
  EXPECT_EQ(other.triplets().count(), 0);
  EXPECT_NE(other.chercher_symbole("sys_racine"), nullptr);
  EXPECT_NE(other.chercher_symbole("Gen_retour_fonction"), nullptr);
  EXPECT_EQ(other.nb_symboles(), 57);
  base_courante = base.get();
}

TEST_F(Store, SingleRootTripleIsThreeRecordsAndOneTriple) {
  MEntite* e = anon();
  e->ajouter(rel("sys_racine"), sym("X"));
  const MemoryStream out = b().ecrire();
  const std::string expected =
      StreamBuilder{}.name("~0").name("sys_racine").name("X").endSymbols().triple(0, 1, 2).end().sealed().s.bytes();
  EXPECT_EQ(out.bytes(), expected);
}

TEST_F(Store, SaveFilterKeepsRootsAndReferencedEntitiesOnly) {
  MEntite* unreferenced = anon();
  unreferenced->ajouter(rel("a"), sym("perdu"));
  MEntite* referenced = anon();
  referenced->ajouter(rel("a"), sym("garde"));
  // Referenced by a triple that is itself filtered out: still written.
  unreferenced->ajouter(rel("vers"), referenced);
  MEntite* root = anon();
  root->ajouter(rel("sys_racine"), sym("sys_Objet_Natif"));
  sym("nommé"_w)->ajouter(rel("r"), sym("v")); // a named subject always passes (after the warning)
  EXPECT_EQ(describe(b().ecrire()), (std::vector<std::string>{"~ a garde", "~ sys_racine sys_Objet_Natif",
                                                                std::string("nommé r v"_w)}));
}

TEST_F(Store, NamesAreWrittenTrimmedAndMergeOnReading) {
  MEntite* e = anon();
  e->ajouter(rel("sys_racine"), sym("o"));
  e->ajouter(rel("nom"), sym("  Réunion \t"_w));
  e->ajouter(rel("blanc"), sym("   "));
  MemoryStream out = b().ecrire();
  EXPECT_EQ(describe(out), (std::vector<std::string>{"~ sys_racine o", std::string("~ nom Réunion"_w), "~ blanc    "}));
  MBC other;
  MSymbole* existing = other.symbole("Réunion"_w);
  other.lire(out);
  EXPECT_EQ(existing->nb_peres(), 1);
  base_courante = base.get();
}

TEST_F(Store, IdenticalPicturesAreWrittenOnce) {
  MEntite* e = anon();
  e->ajouter(rel("sys_racine"), sym("o"));
  auto* first = new MSymbole_bitmap("toto", filled(3, 2, Qt::blue));
  QImage sameInAnotherFormat = filled(3, 2, Qt::blue).convertToFormat(QImage::Format_ARGB32);
  auto* second = new MSymbole_bitmap("toto", sameInAnotherFormat);
  auto* different = new MSymbole_bitmap("toto", filled(3, 2, Qt::green));
  e->ajouter(rel("image"), first);
  e->ajouter(rel("image"), second);
  e->ajouter(rel("image"), different);
  const std::vector<std::string> triples = describe(b().ecrire());
  EXPECT_EQ(triples, (std::vector<std::string>{"~ sys_racine o", "~ image [bmp]1toto", "~ image [bmp]1toto",
                                                "~ image [bmp]3toto"}));
  EXPECT_EQ(second->image().format(), QImage::Format_RGB888); // compared pictures stay converted

  MemoryStream out = b().ecrire();
  MBC other;
  other.lire(out);
  auto* read = dynamic_cast<MSymbole_bitmap*>(other.chercher_symbole("[bmp]1toto"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->image().size(), QSize(3, 2));
  EXPECT_EQ(read->image().pixelColor(1, 1), QColor(Qt::blue));
  base_courante = base.get();
}

TEST_F(Store, ReadingTwiceDoublesTriplesAnonymousEntitiesAndPictures) {
  MEntite* e = anon();
  e->ajouter(rel("sys_racine"), sym("o"));
  e->ajouter(rel("image"), new MSymbole_bitmap("p", filled(1, 1, Qt::red)));
  MemoryStream out = b().ecrire();
  MBC other;
  other.lire(out);
  const int symbols = other.nb_symboles();
  other.lire(out);
  EXPECT_EQ(other.triplets().count(), 4);
  EXPECT_EQ(other.nb_symboles(), symbols + 1); // only the picture symbol again
  EXPECT_EQ(other.chercher_symbole("o")->nb_peres(), 2);
  base_courante = base.get();
}

TEST_F(Store, PatternSearchUsesTheShortestUsableList) {
  MEntite* e = anon();
  e->ajouter(rel("r"), sym("v"));
  e->ajouter(rel("="), sym("w"));
  anon()->ajouter(rel("r"), sym("v"));
  EXPECT_EQ(b().chercher_triplets(nullptr, rel("r"), sym("v")).Count(), 2);
  EXPECT_EQ(b().chercher_triplets(e, rel("r"), nullptr).Count(), 1);
  // An operator-named relation has no list to walk...
  EXPECT_EQ(b().chercher_triplets(nullptr, rel("="), nullptr).Count(), 0);
  // ...but with a subject the subject's list is walked.
  EXPECT_EQ(b().chercher_triplets(e, rel("="), nullptr).Count(), 1);
  EXPECT_TRUE(b().existe_triplet(e, rel("="), sym("w")));
  EXPECT_FALSE(b().existe_triplet(e, rel("="), sym("v")));
  EXPECT_EQ(b().triplets_par_noms("R", "V").Count(), 2);
  EXPECT_EQ(b().triplets_relation_valeur(rel("r"), "v").Count(), 2);
  EXPECT_EQ(b().chercher_triplets(nullptr, nullptr, nullptr).Count(), 0);
}

TEST_F(Store, ClassesOverTheListLimitAreStillFound) {
  MEntite* classRelation = rel("sys_ID_classe");
  MEntite* classValue = sym("sys_Moccurence");
  for (int i = 0; i < 65050; ++i) {
    EntityRef o = b().nouvelle_entite();
    o->ajouter(classRelation, classValue);
  }
  anon()->ajouter(classRelation, sym("sys_Autre"));
  // Both lists are over the limit: the shorter one (the value's) is walked anyway.
  const MListe<MTruc> found = b().chercher_triplets(nullptr, classRelation, classValue);
  EXPECT_EQ(found.Count(), 65050);
  EXPECT_EQ(found.Item(0)->valeur(), classValue);
}

TEST_F(Store, ViderEmptiesEverythingAndTheBaseWorksAgain) {
  MWorkSpace ws("ws");
  MEntite* e = anon();
  e->ajouter(rel("a"), sym("1"));
  e->ajouter(rel("b"), sym("2"), &ws);
  b().vider();
  EXPECT_EQ(b().triplets().count(), 0);
  EXPECT_EQ(ws.triplets().count(), 0);
  EXPECT_EQ(b().table_symboles().count(), 0);
  EXPECT_EQ(b().nb_symboles(), 0);
  EXPECT_TRUE(e->hasNoTriples());
  e->ajouter(rel("a"), sym("1"));
  EXPECT_EQ(b().triplets().count(), 1);
}

TEST_F(Store, WritingSelectedClassesLeavesTheRestAndTheBin) {
  auto object = [&](const char* cls, const char* name, bool bin = false) {
    MEntite* o = anon();
    o->ajouter(rel("sys_racine"), sym("sys_Objet_Natif"));
    o->ajouter(rel("sys_ID_classe"), sym(std::string("sys_") + cls));
    o->ajouter(rel("sys_nom_attribut_nom"), sym(name));
    if (bin) o->ajouter(rel("sys_nom_attribut_invariant"), sym("VRAI"));
    return o;
  };
  MEntite* kept = object("Mcategorie", "gardée");
  MEntite* other = object("Mnote", "note");
  object("Mcategorie", "poubelle", true);
  kept->ajouter(rel("sys_nom_attribut_lien"), other);
  kept->ajouter(rel("sys_nom_attribut_soi"), kept);
  const std::vector<std::string> triples = describe(b().ecrire_classes({"MCATEGORIE"}));
  EXPECT_EQ(triples, (std::vector<std::string>{"~ sys_racine sys_Objet_Natif", "~ sys_ID_classe sys_Mcategorie",
                                                "~ sys_nom_attribut_nom gardée", "~ sys_nom_attribut_soi ~"}));
}

TEST_F(Store, BadStreamsGiveTypedErrorsAndKeepWhatWasRead) {
  const QByteArray picture = bmp(filled(2, 2, Qt::red));
  const std::string good = StreamBuilder{}
                               .name("~0")
                               .name("sys_racine")
                               .picture("[bmp]img", picture)
                               .endSymbols()
                               .triple(0, 1, 2)
                               .end()
                               .s.bytes();
  // Every cut is a read error, never a crash.
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    MemoryStream in(good.substr(0, cut));
    EXPECT_THROW(b().lire(in), StreamReadError) << "cut at " << cut;
  }
  // Messages are Windows-1252 like every engine text.
  MemoryStream cutName(good.substr(0, 10));
  try {
    b().lire(cutName);
    ADD_FAILURE() << "a cut name reads";
  } catch (const StreamReadError& e) {
    EXPECT_EQ(std::string(e.what()), "Erreur de lecture du flux : nom coupé à l'enregistrement 0"_w);
  }
  struct Case {
    const char* what;
    std::string stream;
  };
  QByteArray notBmp = picture;
  notBmp[0] = 'X';
  QByteArray hugeBmp = picture;
  hugeBmp[18] = '\xFF';
  hugeBmp[19] = '\xFF';
  hugeBmp[22] = '\xFF';
  hugeBmp[23] = '\x7F';
  auto lengthRecord = [](std::int32_t length) {
    MemoryStream s;
    s.writeInt32(0);
    s.writeInt32(length);
    s.write("abc\0", 4);
    s.writeInt32(-1);
    s.writeInt32(-2);
    return s.bytes();
  };
  const Case cases[] = {
      {"index out of range", StreamBuilder{}.name("a").endSymbols().triple(0, 0, 1).end().s.bytes()},
      // The anonymous subject of a refused record is freed (the sanitizer build tells).
      {"value out of range", StreamBuilder{}.name("~0").name("r").endSymbols().triple(0, 1, 7).end().s.bytes()},
      {"negative index", StreamBuilder{}.name("a").endSymbols().triple(0, -5, 0).end().s.bytes()},
      {"length zero", lengthRecord(0)},
      {"negative length", lengthRecord(-7)},
      {"huge length", lengthRecord(0x7FFFFFFF)},
      {"not a bmp", StreamBuilder{}.picture("[bmp]x", notBmp).endSymbols().end().s.bytes()},
      {"bmp too big for its bytes", StreamBuilder{}.picture("[bmp]x", hugeBmp).endSymbols().end().s.bytes()},
      {"negative picture size", [] {
         StreamBuilder sb;
         sb.name("[bmp]x");
         sb.s.writeInt32(-3);
         return sb.endSymbols().end().s.bytes();
       }()},
  };
  for (const Case& c : cases) {
    MemoryStream in(c.stream);
    EXPECT_THROW(b().lire(in), StreamReadError) << c.what;
    EXPECT_EQ(prompts.busyDepth, 0) << c.what;
  }
  // What was read before an error stays.
  MemoryStream partial(StreamBuilder{}.name("~0").name("r").name("v").endSymbols().triple(0, 1, 2).triple(0, 1, 9).end().s.bytes());
  EXPECT_THROW(b().lire(partial), StreamFormatError);
  EXPECT_EQ(b().chercher_symbole("v")->nb_peres(), 1);
}

TEST_F(Store, NamesAsLongAsTheStreamHoldsAreRead) {
  // Older writers wrote whatever they were given: such files open again.
  for (std::size_t length : {longueurMaxNom, longueurMaxNom + 1, std::size_t(200000)}) {
    const std::string name(length, 'n');
    MemoryStream in(StreamBuilder{}.name("~0").name("sys_racine").name(name).endSymbols().triple(0, 1, 2).end().s.bytes());
    ASSERT_NO_THROW(b().lire(in)) << length;
    ASSERT_NE(b().chercher_symbole(name), nullptr) << length;
    EXPECT_EQ(describe(b().ecrire()).back(), "~ sys_racine " + name) << length;
  }
}

TEST_F(Store, EveryChangedByteIsNoticed) {
  MEntite* e = anon();
  e->ajouter(rel("sys_racine"), sym("sys_Objet_Natif"));
  e->ajouter(rel("sys_nom_attribut_Nom"), sym("Réunion"_w));
  e->ajouter(rel("sys_nom_attribut_date_de_fin"), sym("07/12/2026 01:30:00"));
  e->ajouter(rel("sys_nom_attribut_image"), new MSymbole_bitmap("toto", filled(2, 1, Qt::red)));
  const std::string written = b().ecrire().bytes();
  MemoryStream intact(written);
  MBC reader;
  EXPECT_NO_THROW(reader.lire(intact));
  // A flipped bit, or a whole byte changed, anywhere: never read without a word.
  for (std::size_t at = 0; at < written.size(); ++at) {
    for (unsigned char mask : {0x01, 0x80, 0xFF}) {
      std::string damaged = written;
      damaged[at] = static_cast<char>(damaged[at] ^ mask);
      for (bool consumed : {false, true}) {
        MemoryStream in(damaged);
        MBC other;
        EXPECT_THROW(readStream(other, in, consumed), StreamReadError)
            << "byte " << at << " mask " << int(mask) << (consumed ? " consumed" : "");
      }
    }
  }
  base_courante = base.get();
}

TEST_F(Store, TheIntegrityRecordIsOptionalButNothingElseMayFollowTheEnd) {
  const std::string plain = StreamBuilder{}.name("~0").name("sys_racine").name("X").endSymbols().triple(0, 1, 2).end().s.bytes();
  MemoryStream older(plain); // as older writers wrote it
  EXPECT_NO_THROW(b().lire(older));
  struct Case {
    const char* what;
    std::string stream;
  };
  const std::string sealed = StreamBuilder{}.name("~0").name("sys_racine").name("X").endSymbols().triple(0, 1, 2).end().sealed().s.bytes();
  const Case cases[] = {
      {"junk after the end", plain + "junk"},
      {"record cut short", sealed.substr(0, sealed.size() - 1)},
      {"record followed by more", sealed + "x"},
      {"digest of other content", plain + sealed.substr(sealed.size() - 40, 40).replace(8, 1, "z")},
  };
  for (const Case& c : cases) {
    for (bool consumed : {false, true}) {
      MemoryStream in(c.stream);
      EXPECT_THROW(readStream(b(), in, consumed), StreamIntegrityError) << c.what << (consumed ? " consumed" : "");
    }
  }
  // What a damaged stream held is in the base all the same.
  for (bool consumed : {false, true}) {
    MemoryStream damaged(plain + "junk");
    MBC other;
    EXPECT_THROW(readStream(other, damaged, consumed), StreamIntegrityError);
    EXPECT_EQ(other.triplets().count(), 1);
  }
  base_courante = base.get();
}

// The relation lists of the triples a stream brings are made when first
// needed; whatever comes first, a list then holds exactly the live triples of
// its relation, in the order they were made.
TEST_F(Store, RelationListsOfAStreamAreCompleteWhenNeeded) {
  // ~0 r A, ~1 r B, ~0 q C, and ~3 (anonymous) as the relation of ~0 ~3 D and ~1 ~3 D.
  const std::string stream = StreamBuilder{}
                                 .name("~0").name("~1").name("r").name("~3").name("q")
                                 .name("A").name("B").name("C").name("D")
                                 .endSymbols()
                                 .triple(0, 2, 5).triple(1, 2, 6).triple(0, 4, 7).triple(0, 3, 8).triple(1, 3, 8)
                                 .end().sealed().s.bytes();
  struct Case {
    const char* first;
    std::function<void(MBC&, MEntite* r)> run;
    std::vector<std::string> expected; // the values of r's list, in order
  };
  const Case cases[] = {
      {"asked", [](MBC&, MEntite*) {}, {"A", "B"}},
      {"a triple added with it",
       [](MBC& base, MEntite* r) { base.ajouter_triplet(base.symbole("x"), r, base.symbole("E")); },
       {"A", "B", "E"}},
      {"a read triple removed", [](MBC& base, MEntite*) { MTruc::detruire(base.chercher_symbole("A")->triplet_pere(0)); },
       {"B"}},
      {"searched by relation alone",
       [](MBC& base, MEntite* r) { EXPECT_EQ(base.chercher_triplets(nullptr, r, nullptr).Count(), 2); },
       {"A", "B"}},
      {"read again", [&](MBC& base, MEntite*) {
         MemoryStream again(stream);
         base.lire(again);
       }, {"A", "B", "A", "B"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first);
    MBC other;
    MemoryStream in(stream);
    other.lire(std::move(in));
    MEntite* r = other.chercher_relation("r");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->relationCount(), 2);
    c.run(other, r);
    std::vector<std::string> values;
    r->relations().forEach([&](MTruc* t) { values.push_back(t->valeur()->nom()); });
    EXPECT_EQ(values, c.expected);
    // In the base's order, each once.
    std::vector<MTruc*> inBase, inList;
    other.triplets().forEach([&](MTruc* t) {
      if (t->relation() == r) inBase.push_back(t);
    });
    r->relations().forEach([&](MTruc* t) { inList.push_back(t); });
    EXPECT_EQ(inList, inBase);
    // An anonymous relation lives as long as its triples do.
    MEntite* anonymousRelation = other.chercher_symbole("D")->triplet_pere(0)->relation();
    other.releaseIfDead(anonymousRelation);
    EXPECT_EQ(anonymousRelation->nb_usages(), 2);
    EXPECT_EQ(anonymousRelation->relationCount(), 2);
  }
  // Emptied before any list was made (the anonymous relation must outlive
  // its first triple): the base works again.
  MBC other;
  MemoryStream in(stream);
  other.lire(in);
  other.vider();
  EXPECT_EQ(other.triplets().count(), 0);
  other.lire(in);
  EXPECT_EQ(other.chercher_relation("r")->nb_usages(), 2);
  base_courante = base.get();
}

// Names merge on reading: a relation named by two records is one list,
// owed the triples of both.
TEST_F(Store, ARelationNamedByTwoRecordsIsOwedOnce) {
  const std::string stream = StreamBuilder{}
                                 .name("~0").name("r").name("R").name("A").name("B")
                                 .endSymbols()
                                 .triple(0, 1, 3).triple(0, 2, 4)
                                 .end().s.bytes();
  for (bool asked : {false, true}) {
    MBC other;
    MemoryStream in(stream);
    other.lire(in);
    MEntite* r = other.chercher_relation("r");
    EXPECT_EQ(r->relationCount(), 2);
    if (asked) {
      EXPECT_EQ(r->nb_usages(), 2);
      EXPECT_EQ(r->relationCount(), 2);
    }
    other.vider();
    EXPECT_EQ(other.triplets().count(), 0);
  }
  base_courante = base.get();
}

// Reading a big stream takes the room of its entities and triples at once;
// reading it again once the base was emptied reuses that room.
TEST_F(Store, ReadingAgainAfterViderTakesNoMoreMemory) {
  StreamBuilder builder;
  constexpr int subjects = 5000;
  for (int i = 0; i < subjects; ++i) builder.name("~" + std::to_string(i)).name("s" + std::to_string(i));
  builder.name("r").endSymbols();
  for (int i = 0; i < subjects; ++i) builder.triple(2 * i, 2 * subjects, 2 * i + 1);
  const std::string bytes = builder.end().s.bytes();
  MBC other;
  std::size_t reserved = 0;
  for (int round = 0; round < 4; ++round) {
    MemoryStream in(bytes);
    other.lire(in);
    EXPECT_EQ(other.triplets().count(), subjects);
    if (round == 1) reserved = pool::stats().reserved;
    if (round > 1) {
      EXPECT_EQ(pool::stats().reserved, reserved) << "round " << round;
    }
    other.vider();
  }
  base_courante = base.get();
}

// A stream given up to the read is emptied; what it held is read all the same,
// however much of it was given back on the way (more than a few pages here).
TEST_F(Store, AStreamGivenUpToTheReadGivesTheSameBase) {
  StreamBuilder builder;
  constexpr int subjects = 40000;
  for (int i = 0; i < subjects; ++i) builder.name("~" + std::to_string(i));
  builder.name("sys_nom_attribut_n").name("sys_racine").name("sys_Objet_Natif");
  for (int i = 0; i < 40; ++i) builder.name(std::to_string(i));
  builder.endSymbols();
  for (int i = 0; i < subjects; ++i) {
    builder.triple(i, subjects + 1, subjects + 2);
    builder.triple(i, subjects, subjects + 3 + i % 40);
    builder.triple(i, subjects, i == 0 ? subjects - 1 : i - 1);
  }
  const std::string bytes = builder.end().sealed().s.bytes();
  ASSERT_GT(bytes.size(), std::size_t(1) << 20);
  std::vector<std::string> read[2];
  for (bool consumed : {false, true}) {
    MemoryStream in(bytes);
    MBC other;
    readStream(other, in, consumed);
    EXPECT_EQ(in.size(), consumed ? 0u : bytes.size());
    EXPECT_EQ(other.triplets().count(), 3 * subjects);
    read[consumed] = describe(other.ecrire());
  }
  EXPECT_EQ(read[1], read[0]);
  EXPECT_EQ(read[1].size(), std::size_t(3 * subjects));
  base_courante = base.get();
}
