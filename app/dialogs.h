#pragma once
// How the program asks the user: message boxes, text prompts, the open-file dialog and the beep.
// The window uses Qt dialogs, the tests a scripted fake, the command line a non-interactive one.
#include <QString>
#include <QStringList>

namespace zul {

class Dialogs {
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;
    virtual Answer message(const QString& text, const QString& title = QString(),
                           Buttons buttons = Buttons::Ok) = 0;
    // The entered text; empty when cancelled.
    virtual QString prompt(const QString& text, const QString& title,
                           const QString& proposed = QString()) = 0;
    // `filter` is "description|pattern"; the chosen file name, empty when cancelled.
    virtual QString openFile(const QString& title, const QString& filter,
                             const QString& folder = QString()) = 0;
    virtual void beep() {}
};

// Answers nothing and shows nothing: prompts are cancelled, messages are kept for the caller.
class NonInteractiveDialogs : public Dialogs {
public:
    Answer message(const QString& text, const QString&, Buttons) override {
        m_messages << text;
        return Answer::Ok;
    }
    QString prompt(const QString&, const QString&, const QString&) override { return {}; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }

    const QStringList& messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    QStringList m_messages;
};

} // namespace zul
