#pragma once
// The user manual: the HTML installed with the program (docs/manual.md made into HTML), shown
// in a browser window of its own, links and pictures included.
#include <QMainWindow>

class QTextBrowser;

namespace zul {

// Where the manual is: beside the build's program (build/docs/manual.html) or installed
// (share/doc/zul/manual.html); empty when it is in neither place.
QString findManual();

// "User manual" opens this; one instance, hidden rather than destroyed when closed.
class ManualWindow : public QMainWindow {
    Q_OBJECT
public:
    // `file` empty: the manual is found with findManual().
    explicit ManualWindow(const QString& file = {}, QWidget* parent = nullptr);

    // The page shown (the manual's path), or empty when none was found.
    QString file() const { return m_file; }
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser = nullptr;
    QString m_file;
};

// The text shown in place of the manual when it is not installed.
QString manualMissingText();

} // namespace zul
