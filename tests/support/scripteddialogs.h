#pragma once
// A Dialogs fake for tests: answers are queued in advance, every text shown is recorded, and
// nothing ever blocks.
#include "workbench/dialogs.h"

#include <QQueue>
#include <QStringList>

namespace zul::testing {

class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString kind; // "message", "question", "prompt", "open" or "save"
        QString text;
        QString title;
        Icon icon = Icon::Information;
    };

    Answer message(const QString& text, const QString& title, Buttons) override {
        m_shown.push_back({"message", text, title});
        return m_answers.isEmpty() ? Answer::Ok : m_answers.dequeue();
    }
    QString prompt(const QString& text, const QString& title, const QString& proposed) override {
        m_shown.push_back({"prompt", text, title});
        m_proposals << proposed;
        return m_replies.isEmpty() ? QString() : m_replies.dequeue();
    }
    QString openFile(const QString& title, const QString& filter, const QString&) override {
        m_shown.push_back({"open", filter, title});
        return m_replies.isEmpty() ? QString() : m_replies.dequeue();
    }
    QString saveFile(const QString& title, const QString& filter,
                     const QString& proposed) override {
        m_shown.push_back({"save", filter, title});
        m_proposals << proposed;
        return m_replies.isEmpty() ? QString() : m_replies.dequeue();
    }
    void alert(Icon icon, const QString& text, const QString& title) override {
        m_shown.push_back({"message", text, title, icon});
    }
    // Queued answers as for message; none queued is No.
    bool confirm(const QString& question, const QString& title) override {
        m_shown.push_back({"question", question, title});
        return !m_answers.isEmpty() && m_answers.dequeue() == Answer::Yes;
    }
    void beep() override { ++m_beeps; }

    void queueReply(const QString& reply) { m_replies.enqueue(reply); }
    void queueAnswer(Answer a) { m_answers.enqueue(a); }

    const QList<Shown>& shown() const { return m_shown; }
    QStringList messages() const {
        QStringList out;
        for (const Shown& s : m_shown)
            if (s.kind == "message") out << s.text;
        return out;
    }
    QStringList questions() const {
        QStringList out;
        for (const Shown& s : m_shown)
            if (s.kind == "question") out << s.text;
        return out;
    }
    const QStringList& proposals() const { return m_proposals; }
    int beeps() const { return m_beeps; }
    void clear() {
        m_shown.clear();
        m_proposals.clear();
    }

private:
    QQueue<QString> m_replies;
    QQueue<Answer> m_answers;
    QList<Shown> m_shown;
    QStringList m_proposals;
    int m_beeps = 0;
};

} // namespace zul::testing
