#pragma once
// An InstrumentUi for tests: answers queued per question text, everything shown recorded.
#include "instruments/protocol.h"

#include <QMap>
#include <QStringList>

namespace zul::instruments::testing {

class ScriptedUi : public InstrumentUi {
public:
    void message(const QString& text) override { messages << text; }
    Answer ask(const QString& text, const QString&, Buttons) override {
        questions << text;
        return answers.value(text, Answer::Cancel);
    }
    void status(const QString& text) override { statuses << text; }

    QMap<QString, Answer> answers;
    QStringList messages, questions, statuses;
};

} // namespace zul::instruments::testing
