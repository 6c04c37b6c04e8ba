// tessel-cli report: the weekly reports of a week, rendered into a PDF file
// by the same code as the program's preview.

#include "cli/CliSupport.h"

#include "foundation/Cp1252.h"
#include "foundation/Errors.h"
#include "reports/U_Fenetre_Report_hebdomadaire.h"
#include "reports/U_Fenetre_Report_hebdomadaire_note.h"

#include <QFileInfo>

#include <iostream>
#include <optional>

namespace tessel::cli {

namespace {

[[noreturn]] void fail(const QString& message) { throw TesselError(Message() + toCp1252(message)); }

// Renders the prepared report into `out`.
template <typename Form>
int render(Form& form, TDateTime monday, const QString& out) {
  form.prepare(monday, monday + ReportDays - 1);
  const int pages = static_cast<int>(form.QuickRep1.generate().size());
  QString error;
  if (!WritePdf(form.QuickRep1, out, error)) fail(error);
  std::cout << QStringLiteral("%1, %2 : %3 dans %4\n")
                   .arg(form.QuickRep1.title, form.QuickRep1.pageHeader[field::Title].caption,
                        pages == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(pages), out)
                   .toStdString();
  return 0;
}

} // namespace

int report(const Args& args) {
  Args positional;
  std::optional<QString> out;
  bool notes = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--notes") {
      notes = true;
    } else if (args[i] == "--pdf") {
      if (i + 1 >= args.size()) throw UsageError("--pdf attend un fichier");
      out = args[++i];
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.empty() || positional.size() > 2 || !out)
    throw UsageError("report attend un fichier, une date facultative et --pdf FICHIER.pdf");
  const QString& file = positional[0];
  const TDateTime monday = MondayOf(parseDay(positional.size() > 1 ? std::optional(positional[1]) : std::nullopt));
  if (QFileInfo(*out).absoluteFilePath() == QFileInfo(file).absoluteFilePath() ||
      (QFileInfo::exists(file) && QFileInfo(*out).canonicalFilePath() == QFileInfo(file).canonicalFilePath()))
    fail("Le rapport ne peut pas remplacer le fichier de données « " + file + " »");
  openWorkspace(file, false, forced);
  if (notes) {
    TForme_report_act_hebdo_note form;
    return render(form, monday, *out);
  }
  TForme_report_act_hebdo form;
  return render(form, monday, *out);
}

} // namespace tessel::cli
