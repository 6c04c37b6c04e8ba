// The manual pages and the bash completion against tessel-cli's own usage
// text: a command or an option added, renamed or removed in one place and
// not in the others fails here.

#include <QDir>
#include <QRegularExpression>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Words = std::set<std::string>;

const QString sourceDir = QStringLiteral(TESSEL_SOURCE_DIR);
const QString manPage = sourceDir + "/doc/man/tessel-cli.1";
const QString completion = sourceDir + "/assets/completion/tessel-cli";

std::string readText(const QString& path) {
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
  return f.readAll().toStdString();
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string word; in >> word;) result.push_back(word);
  return result;
}

// Every first capture (or whole match) of `pattern` in `text`.
Words matchesIn(const std::string& text, const QRegularExpression& pattern, int capture = 0) {
  Words result;
  for (auto it = pattern.globalMatch(QString::fromStdString(text)); it.hasNext();)
    result.insert(it.next().captured(capture).toStdString());
  return result;
}

Words optionsIn(const std::string& text) {
  static const QRegularExpression option("--[a-z]+");
  return matchesIn(text, option);
}

// What tessel-cli --help says: each command with its synopsis (the line up
// to its description) and options, the options given instead of a command,
// the ones every command takes and the ones followed by a value.
struct Usage {
  std::map<std::string, std::string> synopses;
  std::map<std::string, Words> commandOptions;
  Words alone, global, valued, all;
};

Usage readUsage() {
  QProcess cli;
  cli.start(TESSEL_CLI_PATH, {"--help"});
  EXPECT_TRUE(cli.waitForFinished(60000));
  EXPECT_EQ(cli.exitCode(), 0);
  const std::string text = cli.readAllStandardOutput().toStdString();

  static const QRegularExpression entry("^  (--)?[a-z][a-z-]*(\\S| \\S)*");
  static const QRegularExpression valued("(--[a-z]+) [A-Z][^ \\]]*");
  Usage usage;
  Words inSynopses;
  for (const std::string& line : lines(text)) {
    const QRegularExpressionMatch m = entry.match(QString::fromStdString(line));
    if (!m.hasMatch()) continue;
    const std::string synopsis = m.captured(0).mid(2).toStdString();
    const std::string name = split(synopsis).front();
    usage.valued.merge(matchesIn(synopsis, valued, 1));
    if (name.starts_with("--")) {
      usage.alone.insert(name);
      inSynopses.insert(name);
      continue;
    }
    usage.synopses[name] = synopsis;
    usage.commandOptions[name] = optionsIn(synopsis);
    inSynopses.merge(optionsIn(synopsis));
  }
  usage.all = optionsIn(text);
  for (const std::string& option : usage.all)
    if (!inSynopses.contains(option)) usage.global.insert(option);
  return usage;
}

const Usage& usage() {
  static const Usage u = readUsage();
  return u;
}

// A heading or a text line of the page as a reader sees it.
std::string plainRoff(std::string line) {
  static const QRegularExpression fonts(R"(\\f[BIRP])");
  static const QRegularExpression macro(R"(^\.[A-Z]+ )");
  line = QString::fromStdString(line).remove(fonts).remove(macro).toStdString();
  std::string result;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') continue;
    if (line[i] == '\\' && i + 1 < line.size()) {
      const char next = line[++i];
      if (next == '-') result += '-';
      else if (next == '~') result += ' ';
      else if (next != '&') result += '\\', result += next;
      continue;
    }
    result += line[i];
  }
  return result;
}

// The headings of the .TP entries of each section of a manual page.
std::map<std::string, std::vector<std::string>> pageEntries(const QString& path) {
  std::map<std::string, std::vector<std::string>> entries;
  const std::vector<std::string> page = lines(readText(path));
  std::string section;
  for (std::size_t i = 0; i < page.size(); ++i) {
    if (page[i].starts_with(".SH ")) section = plainRoff(page[i]);
    if (page[i] == ".TP" && i + 1 < page.size()) entries[section].push_back(plainRoff(page[i + 1]));
  }
  return entries;
}

TEST(Documentation, UsageTextIsReadAsCommandsAndOptions) {
  // The reading of the usage text itself, on what it must find at least.
  const Usage& u = usage();
  EXPECT_EQ(u.synopses.at("week"), "week FICHIER [DATE] [--csv]");
  EXPECT_EQ(u.synopses.at("convert"), "convert IN OUT");
  EXPECT_EQ(u.commandOptions.at("add"), (Words{"--note", "--wait"}));
  EXPECT_EQ(u.alone, (Words{"--help", "--version"}));
  EXPECT_EQ(u.global, (Words{"--force"}));
  EXPECT_TRUE(u.valued.contains("--pdf"));
  EXPECT_FALSE(u.valued.contains("--csv"));
}

TEST(Documentation, ManualPageHasAnEntryForEachCommandAndOption) {
  const auto entries = pageEntries(manPage);
  // Each command's heading is its synopsis, so that an option or an argument
  // added to a command needs its page too.
  Words commands, synopses;
  for (const std::string& heading : entries.count("COMMANDES") ? entries.at("COMMANDES") : std::vector<std::string>{})
    synopses.insert(heading);
  for (const auto& [name, synopsis] : usage().synopses) {
    commands.insert(synopsis);
    EXPECT_TRUE(synopses.contains(synopsis)) << "tessel-cli.1 sans « " << synopsis << " »";
  }
  for (const std::string& heading : synopses)
    EXPECT_TRUE(commands.contains(heading)) << "tessel-cli.1 décrit « " << heading << " », absent de l'aide";

  Words options;
  for (const std::string& heading : entries.count("OPTIONS") ? entries.at("OPTIONS") : std::vector<std::string>{})
    options.insert(split(heading).front());
  EXPECT_EQ(options, usage().all);
}

TEST(Documentation, ManualPagesFormatWithoutWarnings) {
  const QString groff = QStandardPaths::findExecutable("groff");
  if (groff.isEmpty()) GTEST_SKIP() << "groff absent";
  for (const char* page : {"tessel.1", "tessel-cli.1"}) {
    QProcess p;
    p.start(groff, {"-k", "-ww", "-man", "-Tutf8", "-z", sourceDir + "/doc/man/" + page});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << page;
    EXPECT_EQ(p.readAllStandardError().toStdString(), "") << page;
  }
}

// Runs bash with the completion loaded: `script` then runs in `folder`.
std::string bash(const QString& script, const QString& folder = QDir::tempPath()) {
  QProcess p;
  p.setWorkingDirectory(folder);
  p.start("bash", {"--norc", "--noprofile", "-c", "source '" + completion + "' && " + script});
  EXPECT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.readAllStandardError().toStdString(), "");
  return p.readAllStandardOutput().toStdString();
}

TEST(Documentation, CompletionTableMatchesTheUsage) {
  const std::vector<std::string> table = lines(bash("printf '%s\\n' \"$_tessel_cli_table\""));
  std::map<std::string, Words> completed;
  for (const std::string& line : table) {
    const std::vector<std::string> words = split(line);
    if (words.empty()) continue;
    Words options;
    for (const std::string& word : words)
      if (word.starts_with("--")) options.insert(word);
    completed[words.front()] = options;
  }
  EXPECT_EQ(completed, usage().commandOptions);

  const auto wordsOf = [](const std::string& variable) {
    Words result;
    for (std::string word : split(bash("echo \"$" + QString::fromStdString(variable) + "\"")))
      result.insert(word.substr(0, word.find(':')));
    return result;
  };
  EXPECT_EQ(wordsOf("_tessel_cli_global"), usage().global);
  EXPECT_EQ(wordsOf("_tessel_cli_alone"), usage().alone);
  EXPECT_EQ(wordsOf("_tessel_cli_valued"), usage().valued);
  EXPECT_EQ(bash("complete -p tessel-cli"), "complete -F _tessel_cli tessel-cli\n");
}

TEST(Documentation, CompletionOffersCommandsOptionsAndDataFiles) {
  QTemporaryDir dir;
  for (const char* name : {"a.TSF", "b.tsf", "c.Ocs", "d.OPF", "notes.txt", "sortie.pdf", "Image.PDF"}) {
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  ASSERT_TRUE(QDir(dir.path()).mkdir("dossier"));

  Words commands;
  for (const auto& [name, synopsis] : usage().synopses) commands.insert(name);
  const Words dataFiles{"a.TSF", "b.tsf", "c.Ocs", "d.OPF", "dossier"};
  struct Case {
    std::vector<std::string> words; // the last one is being completed
    Words expected;
  };
  const Case cases[] = {
      {{""}, commands},
      {{"we"}, {"week"}},
      {{"--"}, {"--force", "--help", "--version"}},
      {{"week", ""}, dataFiles},
      {{"week", "a"}, {"a.TSF"}},
      {{"week", "F", "--"}, {"--csv", "--force"}},
      {{"--force", "week", "F", "2027-03-01", "--"}, {"--csv", "--force"}},
      {{"week", "F", ""}, {}}, // a date
      {{"convert", "a.TSF", ""}, dataFiles},
      {{"add", "F", "2027-03-01", "Réunion", "1:30", "--"}, {"--force", "--note", "--wait"}},
      {{"add", "F", "--note", ""}, {}},
      {{"add", "F", "--note", "deux mots", ""}, {}}, // the date, after the option's value
      {{"report", "F", "--pdf", ""}, {"dossier", "Image.PDF", "sortie.pdf"}},
      {{"report", "F", "--pdf", "sortie.pdf", "--"}, {"--force", "--notes", "--pdf"}},
      {{"inconnue", ""}, {}},
  };
  for (const Case& c : cases) {
    QString words = "tessel-cli";
    std::string shown = "tessel-cli";
    for (const std::string& word : c.words) {
      words += " '" + QString::fromStdString(word) + "'";
      shown += " " + word;
    }
    const std::string out = bash("COMP_WORDS=(" + words +
                                     ") && COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) && _tessel_cli && "
                                     "printf '%s\\n' \"${COMPREPLY[@]}\"",
                                 dir.path());
    Words offered;
    for (const std::string& line : lines(out))
      if (!line.empty()) offered.insert(line);
    EXPECT_EQ(offered, c.expected) << shown << "<Tab>";
  }
}

} // namespace
