#pragma once
// An InstrumentUi for tests: answers queued per question text, everything shown recorded.
#include "instruments/protocol.h"

#include <QMap>
#include <QStringList>

namespace zul::instruments::testing {

class ScriptedUi : public InstrumentUi {
public:
    void message(const QString& text) override { messages << text; }
    // Answered by the step's title; `questions` keeps the titles, `instructions` the texts.
    Answer ask(const QString& text, const QString& title, Buttons) override {
        questions << (title.isEmpty() ? text : title);
        instructions << text;
        return answers.value(title.isEmpty() ? text : title, Answer::Cancel);
    }
    void status(const QString& text) override { statuses << text; }

    QMap<QString, Answer> answers;
    QStringList messages, questions, instructions, statuses;
};

} // namespace zul::instruments::testing
