// tessel-cli: the program's core without its windows.

#include "cli/CliSupport.h"
#include "cli/StreamDump.h"
#include "cli/TerminalPrompts.h"
#include "engine/SmallObjectPool.h"
#include "engine/ZEP_BDC.h"
#include "engine/ZEP_requete.h"
#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "foundation/FileAccess.h"
#include "foundation/MemoryStream.h"
#include "foundation/ProductIdentity.h"
#include "foundation/ZEP_Dates.h"
#include "foundation/ZEP_Version.h"
#include "objects/ZEP_Objet_OCS.h"
#include "TesselVersion.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace tessel;

using cli::Args;
using cli::UsageError;

const char* usage =
    "Utilisation : tessel-cli COMMANDE [ARGUMENTS]\n"
    "  --version          nom et version du programme\n"
    "  --help             ce texte\n"
    "  convert IN OUT     relit IN et l'écrit dans OUT (format choisi par l'extension)\n"
    "  dump FICHIER       affiche les triplets du fichier, un par ligne\n"
    "  check FICHIER      ouvre le fichier comme le programme et vérifie chaque classe\n"
    "  week FICHIER [DATE] [--csv]\n"
    "                     la semaine de DATE (aaaa-mm-jj ou jj/mm/aaaa ; aujourd'hui par défaut)\n"
    "  period FICHIER DU AU [--csv]\n"
    "                     le temps passé par activité sur la période\n"
    "  view FICHIER [DEBUT] [--csv]\n"
    "                     la vue mensuelle à partir de DEBUT (lundi de cette semaine par défaut)\n"
    "  stats FICHIER DU AU [--csv]\n"
    "                     les heures entières par activité et leur part, comme le camembert\n"
    "  add FICHIER DATE CATEGORIE HH:MM [--note TEXTE] [--wait SECONDES]\n"
    "                     saisit une durée comme dans l'emploi du temps et enregistre ;\n"
    "                     attend au plus SECONDES (10 par défaut) que le fichier soit libre\n"
    "  validate FICHIER DATE [--reopen] [--wait SECONDES]\n"
    "                     valide la semaine de DATE (ses durées ne changent plus) ;\n"
    "                     --reopen : la rouvre\n"
    "  import FICHIER DONNEES.csv [--wait SECONDES]\n"
    "                     ajoute les durées d'un CSV (format de week --csv, ou une ligne\n"
    "                     par durée : date,activité,durée[,commentaire]) ; crée les\n"
    "                     catégories manquantes ; refuse tout le fichier à la première\n"
    "                     ligne incorrecte\n"
    "  timer FICHIER start CATEGORIE | stop | status [--yes]\n"
    "                     le chronomètre : start le démarre, stop ajoute le temps écoulé\n"
    "                     à la journée, status dit ce qui tourne ; --yes : remplace\n"
    "                     celui qui tourne déjà\n"
    "  notes FICHIER [MOT ...]\n"
    "                     les commentaires ; avec des mots, ceux qui les contiennent tous\n"
    "  backups FICHIER    les sauvegardes du fichier : date, taille, total de la semaine\n"
    "  restore FICHIER SAUVEGARDE\n"
    "                     remet une sauvegarde à la place du fichier, gardé d'abord parmi elles\n"
    "  report FICHIER [DATE] [--notes] --pdf SORTIE.pdf\n"
    "                     le rapport hebdomadaire de la semaine de DATE (avec les notes : --notes)\n"
    "  query FICHIER TEXTE [--yes]\n"
    "                     résout la requête TEXTE sur le fichier ; --yes : les noms\n"
    "                     inconnus du corps sont des variables\n"
    "Option --force : lit un fichier endommagé (sauf add, validate, import et timer,\n"
    "qui le laissent tel quel), et les laisse enregistrer un fichier écrit par une\n"
    "version plus récente.\n";

// A fresh base holding the file's content (no object layer).
std::unique_ptr<MBC> loadBase(const QString& path) {
  MemoryStream payload;
  ReadDataFile(path, payload);
  auto base = std::make_unique<MBC>();
  try {
    base->lire(std::move(payload));
  } catch (const StreamIntegrityError& e) {
    if (!cli::forced)
      throw DataFileError(Message("Le fichier ") + QuotedFileName(path) + " est endommagé. "_w +
                          std::string(e.what()) + " Relancez avec --force pour le lire quand même."_w);
    // Everything was read: the content goes on as it is.
    prompts().message(MessageKind::Warning, "le fichier "_w.data() + QuotedFileName(path) +
                                                " est endommagé ; il est lu quand même (--force)."_w.data());
  } catch (const StreamReadError& e) {
    throw DataFileError(Message("Le fichier ") + QuotedFileName(path) + " n'est pas lisible. " + std::string(e.what()));
  }
  return base;
}

int convert(const Args& args) {
  if (args.size() != 2) throw UsageError("convert attend deux fichiers : IN OUT");
  auto base = loadBase(args[0]);
  WriteDataFile(base->ecrire(), args[1]);
  return 0;
}

int dump(const Args& args) {
  if (args.size() != 1) throw UsageError("dump attend un fichier");
  auto base = loadBase(args[0]);
  cli::dumpStream(base->ecrire(), std::cout);
  return 0;
}

int query(const Args& args) {
  if (args.size() != 2) throw UsageError("query attend un fichier et le texte d'une requête");
  auto base = loadBase(args[0]);
  const auto indexes = base->indexesEnregistrements();
  initialiser_requetes();
  Mrequete q("requete");
  q.compiler(toCp1252(args[1]), *base);
  if (Mens_solution* solution = q.resoudre()) {
    for (int i = 0; i < solution->nb_fils(); ++i) {
      MEntite* row = solution->valeur_fils(i);
      for (int c = 0; c < row->nb_fils(); ++c) {
        const MEntite* cell = row->valeur_fils(c);
        const MEntite* value = cell->valeur_chemin("valeur", 0);
        std::cout << (c ? "\t" : "") << cp1252ToUtf8(q.variables().Item(c)->name()) << '='
                  << (value ? cli::entityText(value, indexes) : std::string());
      }
      std::cout << '\n';
    }
  }
  return 0;
}

const std::map<std::string, std::function<int(const Args&)>> commands = {
    {"add", cli::add},
    {"validate", cli::validate},
    {"import", cli::importCsv},
    {"timer", cli::timer},
    {"backups", cli::backups},
    {"restore", cli::restore},
    {"check", cli::check},
    {"period", cli::period},
    {"stats", cli::stats},
    {"view", cli::view},
    {"week", cli::week},
    {"notes", cli::notes},
    {"convert", convert},
    {"dump", dump},
    {"query", query},
    {"report", cli::report},
};

// Whether the command (the first argument that is no option) is "report".
bool drawsReports(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (argv[i][0] != '-') return std::string_view(argv[i]) == "report";
  return false;
}

} // namespace

int main(int argc, char** argv) {
  // Big buffers the tool goes through while it opens a workspace (the file,
  // the record index) get pages of their own, given back when freed, rather
  // than a place in the heap that stays resident to the end.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  // Reports lay out and draw text, which takes the GUI application; no window
  // is ever shown, so no display is needed.
  std::unique_ptr<QCoreApplication> application;
  if (drawsReports(argc, argv)) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = std::make_unique<QGuiApplication>(argc, argv);
  } else {
    application = std::make_unique<QCoreApplication>(argc, argv);
  }
  QCoreApplication& app = *application;
  QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
  QCoreApplication::setApplicationName(QStringLiteral("Tessel"));
  // Output is in French whatever the machine's locale.
  tessel::setDateLocale(QLocale(QLocale::French, QLocale::France));

  QStringList raw = app.arguments();
  raw.removeFirst();
  bool answerYes = false;
  Args args;
  for (const QString& a : raw) {
    if (a == QLatin1String("--yes"))
      answerYes = true;
    else if (a == QLatin1String("--force"))
      tessel::cli::forced = true;
    else
      args.push_back(a);
  }
  tessel::cli::TerminalPrompts prompts(answerYes);
  tessel::installPrompts(&prompts);

  if (args.empty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
    std::cout << usage;
    return args.empty() ? 1 : 0;
  }
  if (args[0] == QLatin1String("--version")) {
    std::cout << tessel::ProductName << ' ' << tessel::ProductVersion << " (version " << tessel::build::versionText
              << ")\n";
    return 0;
  }
  const auto command = commands.find(args[0].toStdString());
  if (command == commands.end()) {
    std::cerr << "tessel-cli : commande inconnue « " << args[0].toStdString() << " »\n" << usage;
    return 1;
  }
  int status = 1;
  try {
    status = command->second(Args(args.begin() + 1, args.end()));
  } catch (const UsageError& e) {
    std::cerr << "tessel-cli : " << e.what() << '\n' << usage;
  } catch (const tessel::TesselError& e) {
    std::cerr << "tessel-cli : " << tessel::cp1252ToUtf8(e.what()) << '\n';
  } catch (const std::exception& e) {
    std::cerr << "tessel-cli : " << e.what() << '\n';
  }
  // The command is over: what it saved is on disk and its locks are gone.
  // Taking a big base apart piece by piece would only delay the exit, so the
  // process ends here, once its output is out. Builds with the sanitizers
  // (which use the plain allocator) take everything apart, for the leak check.
  if constexpr (tessel::pool::enabled) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
  }
  // Objects of an opened data file go before the process's statics do.
  tessel::Storage::CloseBase();
  return status;
}
