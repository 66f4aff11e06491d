#pragma once
// How the program asks the user: message boxes, text prompts, the open-file dialog and the beep.
// The window uses Qt dialogs, the tests a scripted fake, the command line a non-interactive one.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

namespace zul {

class Dialogs {
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };
    enum class Icon { Information, Warning, Critical };

    virtual ~Dialogs() = default;
    virtual Answer message(const QString& text, const QString& title = QString(),
                           Buttons buttons = Buttons::Ok) = 0;
    // The entered text, an empty one when Ok was chosen on an empty line; a null QString
    // when the prompt was cancelled or closed.
    virtual QString prompt(const QString& text, const QString& title,
                           const QString& proposed = QString()) = 0;
    // `filter` is "description|pattern"; the chosen file name, empty when cancelled.
    virtual QString openFile(const QString& title, const QString& filter,
                             const QString& folder = QString()) = 0;
    virtual void beep() {}

    // A message with an icon and an Ok button.
    virtual void alert(Icon icon, const QString& text, const QString& title = QString()) {
        (void)icon;
        message(text, title);
    }
    // A Yes/No question whose default, and whose answer when the box is closed, is No: true
    // only when the user chose Yes.
    virtual bool confirm(const QString& question, const QString& title = QString()) {
        return message(question, title, Buttons::YesNo) == Answer::Yes;
    }
    // `filter` as for openFile; the chosen file name, empty when cancelled. The dialog asks
    // before an existing file is replaced.
    virtual QString saveFile(const QString& title, const QString& filter,
                             const QString& proposed = QString()) = 0;
    // A save dialog that leaves an existing file to the caller, who asks in its own words once
    // it knows the final name (a palette is added to, or gets its extension after the dialog).
    virtual QString chooseOutputFile(const QString& title, const QString& filter,
                                     const QString& proposed = QString()) {
        return saveFile(title, filter, proposed);
    }

    // While an AskedBy lives, boxes and dialogs open centred on `window`, the window that asks;
    // without one they open on the window the user is working in. Nested askers restore the
    // outer one when they end.
    class AskedBy {
    public:
        AskedBy(Dialogs& dialogs, QObject* window) : m_dialogs(dialogs), m_outer(dialogs.m_asker) {
            dialogs.m_asker = window;
        }
        ~AskedBy() { m_dialogs.m_asker = m_outer; }
        AskedBy(const AskedBy&) = delete;
        AskedBy& operator=(const AskedBy&) = delete;

    private:
        Dialogs& m_dialogs;
        QPointer<QObject> m_outer;
    };
    QObject* askingWindow() const { return m_asker; }

private:
    QPointer<QObject> m_asker; // cleared by Qt when the window goes
};

// Answers nothing and shows nothing: prompts are cancelled, questions answered No, messages
// kept for the caller.
class NonInteractiveDialogs : public Dialogs {
public:
    Answer message(const QString& text, const QString&, Buttons) override {
        m_messages << text;
        return Answer::Ok;
    }
    QString prompt(const QString&, const QString&, const QString&) override { return {}; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
    void alert(Icon, const QString& text, const QString&) override { m_messages << text; }
    bool confirm(const QString& question, const QString&) override {
        m_messages << question;
        return false; // nobody to say Yes
    }

    const QStringList& messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    QStringList m_messages;
};

} // namespace zul
