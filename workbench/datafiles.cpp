#include "workbench/datafiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zul {

namespace {

// The folders the program's own copies live in: beside it in a build tree, or installed.
QStringList shippedFolders() {
    const QString exeDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    if (exeDir.isEmpty()) return {};
    return {exeDir + "/data", exeDir + "/../share/zul"};
}

} // namespace

QString findDataFile(const QString& name) {
    if (QFileInfo::exists(name)) return name;
    for (const QString& dir : shippedFolders()) {
        const QString path = QDir::cleanPath(dir + "/" + name);
        if (QFileInfo::exists(path)) return path;
    }
    return name;
}

QString dataFileNotice(const QString& name, const QString& path) {
    if (!QFileInfo::exists(path)) return {}; // the load says that it is missing
    const QString found = QFileInfo(path).canonicalFilePath();
    for (const QString& dir : shippedFolders())
        if (QFileInfo(QDir::cleanPath(dir + "/" + name)).canonicalFilePath() == found) return {};
    return QStringLiteral("%1: using \"%2\", not the table the program ships")
        .arg(name, QFileInfo(path).absoluteFilePath());
}

} // namespace zul
