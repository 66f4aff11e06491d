#include "workbench/datafiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zul {

QString findDataFile(const QString& name) {
    if (QFileInfo::exists(name)) return name;
    const QString exeDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    if (!exeDir.isEmpty()) {
        for (const QString& dir : {exeDir + "/data", exeDir + "/../share/zul"}) {
            const QString path = QDir::cleanPath(dir + "/" + name);
            if (QFileInfo::exists(path)) return path;
        }
    }
    return name;
}

} // namespace zul
