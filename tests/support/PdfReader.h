#pragma once
// Reads a PDF file back as a PDF reader does: its page count and page size
// (pdfinfo) and its text (pdftotext), which is only there when the text is
// selectable and searchable.

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <string>

namespace tessel::test {

struct PdfFacts {
  int pages = 0;
  double width = 0; // points
  double height = 0;
  QString title;
  bool landscape() const { return width > height; }
};

inline QString runPdfTool(const char* program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

inline PdfFacts ReadPdfFacts(const QString& path) {
  PdfFacts facts;
  const QString info = runPdfTool(TESSEL_PDFINFO, {path});
  if (auto m = QRegularExpression("^Pages:\\s+(\\d+)$", QRegularExpression::MultilineOption).match(info); m.hasMatch())
    facts.pages = m.captured(1).toInt();
  if (auto m = QRegularExpression("^Page size:\\s+([\\d.]+) x ([\\d.]+) pts", QRegularExpression::MultilineOption).match(info);
      m.hasMatch()) {
    facts.width = m.captured(1).toDouble();
    facts.height = m.captured(2).toDouble();
  }
  if (auto m = QRegularExpression("^Title:\\s+(.*)$", QRegularExpression::MultilineOption).match(info); m.hasMatch())
    facts.title = m.captured(1).trimmed();
  return facts;
}

// The text of the pages, laid out as on paper when `layout` is set; pages
// are separated by form feeds.
inline QString ReadPdfText(const QString& path, bool layout = false) {
  QStringList args;
  if (layout) args << "-layout";
  args << path << "-";
  return runPdfTool(TESSEL_PDFTOTEXT, args);
}

} // namespace tessel::test
