#include "gui/qtdialogs.h"

#include "gui/preferences.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace zul {

namespace {

QString titleOrName(const QString& title) {
    return title.isEmpty() ? QApplication::applicationName() : title;
}

// Dialogs centre on the window that asks, else on the one the user is working in.
QWidget* dialogParent(const QObject* asking) {
    if (asking && asking->isWidgetType()) return static_cast<const QWidget*>(asking)->window();
    return QApplication::activeWindow();
}

// The file dialog for writing; `askToReplace` false leaves an existing file to the caller.
QString saveDialog(QWidget* parent, const QString& title, const QString& filter,
                   const QString& proposed, bool askToReplace) {
    QString start = proposed;
    if (QFileInfo(proposed).isRelative() && !lastFolder(title).isEmpty())
        start = QDir(lastFolder(title)).filePath(proposed);
    const QString chosen = QFileDialog::getSaveFileName(
        parent, titleOrName(title), start, qtFileFilter(filter), nullptr,
        askToReplace ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite);
    rememberFolder(title, chosen);
    return chosen;
}

// The program's texts separate lines by CR alone, which a Qt label does not break at.
QString shownText(const QString& text) {
    QString shown = text;
    shown.replace("\r\n", "\n").replace('\r', '\n');
    return shown;
}

} // namespace

Dialogs::Answer QtDialogs::message(const QString& text, const QString& title, Buttons buttons) {
    QMessageBox::StandardButtons shown = QMessageBox::Ok;
    QMessageBox::StandardButton preferred = QMessageBox::Ok;
    switch (buttons) {
    case Buttons::Ok:
        break;
    case Buttons::OkCancel:
        shown = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case Buttons::YesNo:
        shown = QMessageBox::Yes | QMessageBox::No;
        preferred = QMessageBox::Yes;
        break;
    case Buttons::YesNoCancel:
        shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        preferred = QMessageBox::Yes;
        break;
    }
    QMessageBox box(QMessageBox::NoIcon, titleOrName(title), shownText(text), shown,
                    dialogParent(askingWindow()));
    box.setDefaultButton(preferred);
    box.setTextFormat(Qt::PlainText);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        // Closing the box by Escape or the title bar: the mildest answer the buttons offer.
        return buttons == Buttons::Ok      ? Answer::Ok
               : buttons == Buttons::YesNo ? Answer::No
                                           : Answer::Cancel;
    }
}

QString QtDialogs::prompt(const QString& text, const QString& title, const QString& proposed) {
    bool ok = false;
    const QString entered = QInputDialog::getText(dialogParent(askingWindow()), titleOrName(title),
                                                  text, QLineEdit::Normal, proposed, &ok);
    if (!ok) return QString();
    return entered.isNull() ? QString("") : entered; // Ok on an empty line is not a Cancel
}

QString QtDialogs::openFile(const QString& title, const QString& filter, const QString& folder) {
    // Without a folder of its own the dialog opens where the user last found a file for it.
    const QString chosen = QFileDialog::getOpenFileName(
        dialogParent(askingWindow()), titleOrName(title),
        folder.isEmpty() ? lastFolder(title) : folder, qtFileFilter(filter));
    rememberFolder(title, chosen);
    return chosen;
}

QString QtDialogs::saveFile(const QString& title, const QString& filter, const QString& proposed) {
    return saveDialog(dialogParent(askingWindow()), title, filter, proposed, true);
}

QString QtDialogs::chooseOutputFile(const QString& title, const QString& filter,
                                    const QString& proposed) {
    return saveDialog(dialogParent(askingWindow()), title, filter, proposed, false);
}

void QtDialogs::alert(Icon icon, const QString& text, const QString& title) {
    const QMessageBox::Icon shown = icon == Icon::Critical  ? QMessageBox::Critical
                                    : icon == Icon::Warning ? QMessageBox::Warning
                                                            : QMessageBox::Information;
    QMessageBox box(shown, titleOrName(title), shownText(text), QMessageBox::Ok,
                    dialogParent(askingWindow()));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtDialogs::confirm(const QString& question, const QString& title) {
    QMessageBox box(QMessageBox::Question, titleOrName(title), shownText(question),
                    QMessageBox::Yes | QMessageBox::No, dialogParent(askingWindow()));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::beep() {
    QApplication::beep();
}

QString qtFileFilter(const QString& filter) {
    if (filter.isEmpty()) return {};
    const QStringList parts = filter.split('|');
    QStringList out;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        if (i + 1 >= parts.size()) {
            // A description without a pattern is itself the pattern.
            out << description;
            break;
        }
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        const QString shown = patterns.join(' ');
        // Descriptions often already name their pattern: "Text (*.txt)".
        if (description.endsWith("(" + shown + ")"))
            out << description;
        else
            out << QString("%1 (%2)").arg(description, shown);
    }
    return out.join(";;");
}

} // namespace zul
