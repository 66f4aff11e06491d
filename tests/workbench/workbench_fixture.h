#pragma once
// A workbench on the shipped renotation table with scripted dialogs, started up as the window is.
#include "munsell/table.h"
#include "support/scripteddialogs.h"
#include "workbench/workbench.h"

#include <gtest/gtest.h>

#include <memory>

namespace zul::testing {

inline std::shared_ptr<const RenotationTable> sharedTable() {
    static const auto table = loadRenotationTable(std::string(ZUL_SOURCE_DIR) + "/data/Muncie.dat");
    return table;
}

class WorkbenchTest : public ::testing::Test {
protected:
    void SetUp() override {
        wb = std::make_unique<Workbench>(sharedTable(), dialogs);
        wb->startUp();
        dialogs.clear();
    }
    // Types into fields and presses Enter in the last one.
    bool enter(std::initializer_list<std::pair<Field, const char*>> entries) {
        Field last = Field::Hue;
        for (const auto& [f, t] : entries) {
            wb->setText(f, QString::fromUtf8(t));
            last = f;
        }
        return wb->enterPressed(last);
    }
    std::string text(Field f) const { return wb->text(f).toStdString(); }

    ScriptedDialogs dialogs;
    std::unique_ptr<Workbench> wb;
};

} // namespace zul::testing
