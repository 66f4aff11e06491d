#pragma once
// The window's Dialogs: Qt message boxes, input dialogs, the file dialog and the system beep.
#include "workbench/dialogs.h"

namespace zul {

class QtDialogs : public Dialogs {
public:
    Answer message(const QString& text, const QString& title = QString(),
                   Buttons buttons = Buttons::Ok) override;
    QString prompt(const QString& text, const QString& title,
                   const QString& proposed = QString()) override;
    QString openFile(const QString& title, const QString& filter,
                     const QString& folder = QString()) override;
    QString saveFile(const QString& title, const QString& filter,
                     const QString& proposed = QString()) override;
    QString chooseOutputFile(const QString& title, const QString& filter,
                             const QString& proposed = QString()) override;
    void alert(Icon icon, const QString& text, const QString& title = QString()) override;
    bool confirm(const QString& question, const QString& title = QString()) override;
    void beep() override;
};

// "description|pattern" (pairs may repeat: "a|*.a|b|*.b") in the form the Qt file dialog takes:
// "description (pattern);;...". A pattern list separated by ';' becomes blank-separated.
QString qtFileFilter(const QString& filter);

} // namespace zul
