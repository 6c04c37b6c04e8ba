#include "app/StartupEntry.h"

#include "widgets/ProgramValues.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace tessel {

namespace {

// An Exec argument quoted for a desktop entry: inside double quotes, the
// characters " ` $ \ take a backslash, and every backslash of the result is
// doubled again by the entry's own string escaping; % is doubled.
QString execArgument(const QString& path) {
  QString quoted;
  for (QChar c : path) {
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
      quoted += QLatin1Char('\\');
    quoted += c;
  }
  quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
  quoted.replace(QLatin1String("%"), QLatin1String("%%")); // not a field code
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString AutostartEntryPath() {
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (config.isEmpty()) return {};
  const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  return config + QStringLiteral("/autostart/") + program + QStringLiteral(".desktop");
}

bool StartsWithWindows() {
  const QString path = AutostartEntryPath();
  return !path.isEmpty() && QFileInfo::exists(path);
}

void SetStartWithWindows(bool on) {
  const QString path = AutostartEntryPath();
  if (path.isEmpty()) return;
  const bool exists = QFileInfo::exists(path);
  if (exists && !on) {
    QFile::remove(path);
  } else if (!exists && on) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return;
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=%1\n"
                                         "Comment=\n"
                                         "Exec=%2\n"
                                         "Terminal=false\n")
                              .arg(ProductNameText(), execArgument(QCoreApplication::applicationFilePath()));
    file.write(entry.toUtf8());
    file.commit();
  }
}

} // namespace tessel
