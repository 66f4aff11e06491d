#include "gui/manualwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>

namespace zul {

QString findManual() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    // A build tree keeps the program in app/ and the manual in docs/; an install keeps them in
    // bin/ and share/doc/zul/.
    for (const QString& candidate :
         {exeDir + "/../docs/manual.html", exeDir + "/../share/doc/zul/manual.html"}) {
        const QString path = QDir::cleanPath(candidate);
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

QString manualMissingText() {
    return QStringLiteral("The user manual is not installed: manual.html was found neither in "
                          "docs/ beside the program nor in share/doc/zul/.");
}

ManualWindow::ManualWindow(const QString& file, QWidget* parent)
    : QMainWindow(parent), m_file(file.isEmpty() ? findManual() : file) {
    setObjectName("manual");
    setWindowTitle("ZUL User manual");
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName("manualText");
    m_browser->setOpenExternalLinks(true);
    setCentralWidget(m_browser);
    if (m_file.isEmpty())
        m_browser->setPlainText(manualMissingText());
    else
        m_browser->setSource(QUrl::fromLocalFile(QFileInfo(m_file).absoluteFilePath()));

    // A page of text: wide enough for the pictures, within the screen's available area.
    QSize size(960, 800);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
}

} // namespace zul
