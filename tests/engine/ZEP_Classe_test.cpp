#include "EngineFixture.h"

#include "engine/ZEP_Classe.h"

using namespace tessel;
using tessel::test::EngineTest;

using SchemaCheck = EngineTest;

TEST_F(SchemaCheck, CountsBreachesPerInstanceAndPerAttribute) {
  MMclass_ocs schema;
  schema.ajouter_attribut("sys_ID_classe", "1,2", false, "sys_Mnote", "String");
  schema.ajouter_attribut("sys_nom_attribut_Texte", "1,1", false, "sys_Mnote", "string");
  schema.ajouter_attribut("sys_nom_attribut_titre", "1,1", false, "sys_Mnote", "string");
  schema.ajouter_attribut("sys_nom_attribut_libre", "0,*", false, "sys_Mnote", "string");

  EXPECT_TRUE(schema.verifier("Mnote", b()).empty());
  EXPECT_TRUE(prompts.shown.empty());

  MEntite* complete = anon();
  complete->ajouter(rel("sys_ID_classe"), sym("sys_Mnote"));
  complete->ajouter(rel("sys_nom_attribut_Texte"), sym("t"));
  complete->ajouter(rel("sys_nom_attribut_titre"), sym("titre"));
  MEntite* empty = anon();
  empty->ajouter(rel("sys_ID_classe"), sym("sys_Mnote"));
  const MListe<MEntite> broken = schema.verifier("Mnote", b());
  ASSERT_EQ(broken.Count(), 1);
  EXPECT_EQ(broken.Item(0), empty);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text,
            "1 erreur(s) / 2 instance(s) de la classe : Mnote\r\n"
            "1 erreur(s) pour Attribut sys_nom_attribut_Texte\r\n"
            "1 erreur(s) pour Attribut sys_nom_attribut_titre\r\n");
}

TEST_F(SchemaCheck, ClassTriplesAreCountedPerTriple) {
  MMclass_ocs schema;
  schema.ajouter_attribut("sys_ID_classe", "1,2", false, "sys_K", "String");
  MEntite* twice = anon();
  twice->ajouter(rel("sys_ID_classe"), sym("sys_K"));
  twice->ajouter(rel("sys_ID_classe"), sym("sys_K2"));
  twice->ajouter(rel("sys_ID_classe"), sym("sys_K3"));
  // Three class triples break "1,2"; the object is checked once per triple naming K.
  const MListe<MEntite> broken = schema.verifier("K", b());
  EXPECT_EQ(broken.Count(), 1);
  MEntite* doubled = anon();
  b().ajouter_triplet(doubled, rel("sys_ID_classe"), sym("sys_K"));
  b().ajouter_triplet(doubled, rel("sys_ID_classe"), sym("sys_K"));
  EXPECT_EQ(schema.verifier("K", b()).Count(), 1); // two triples: within "1,2", checked twice
  b().ajouter_triplet(doubled, rel("sys_ID_classe"), sym("sys_K"));
  EXPECT_EQ(schema.verifier("K", b()).Count(), 4); // now doubled breaks it three times
}

TEST_F(SchemaCheck, InverseRulesAndMalformedCardinalities) {
  MMclass_ocs schema;
  schema.ajouter_attribut("sys_nom_attribut_contenu", "1,*", true, "sys_Mcontenu", "Mcontenu");
  MEntite* content = anon();
  content->ajouter(rel("sys_ID_classe"), sym("sys_Mcontenu"));
  EXPECT_EQ(schema.verifier("Mcontenu", b()).Count(), 1);
  anon()->ajouter(rel("sys_nom_attribut_contenu"), content);
  EXPECT_EQ(schema.verifier("Mcontenu", b()).Count(), 0);

  for (const char* bad : {"1", "a,2", "1,b", "", ",", "1,2,3"}) {
    try {
      schema.ajouter_attribut("sys_nom_attribut_x", bad, false, "sys_K", "string");
      ADD_FAILURE() << bad;
    } catch (const TesselError& e) {
      EXPECT_NE(std::string(e.what()).find("sys_nom_attribut_x"), std::string::npos) << e.what();
    }
  }
}
