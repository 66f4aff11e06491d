// A worker workbench given the main workbench's options converts exactly as the main one.
#include "workbench/workbench_fixture.h"

#include "munsell/hue.h"

#include <random>

namespace zul::testing {
namespace {

using Entry = std::vector<std::pair<Field, std::string>>;

std::string number(double v, int decimals) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// 1,000 random entries of each form, fixed seed, inside and outside every range.
std::vector<Entry> randomEntries() {
    std::mt19937 rng(20261207);
    auto u = [&](double lo, double hi) { return std::uniform_real_distribution<>(lo, hi)(rng); };
    auto i = [&](int lo, int hi) { return std::uniform_int_distribution<>(lo, hi)(rng); };
    const char* families[] = {"R", "YR", "Y", "GY", "G", "BG", "B", "PB", "P", "RP"};
    std::vector<Entry> out;
    for (int k = 0; k < 1000; ++k) {
        out.push_back({{Field::Hue, number(u(0.1, 10), 1) + families[i(0, 9)]},
                       {Field::Value, number(u(0.5, 9.5), 1)},
                       {Field::Chroma, number(u(0, 16), 1)}});
        out.push_back({{Field::X, number(u(0, 95), 2)},
                       {Field::Y, number(u(0.5, 100), 2)},
                       {Field::Z, number(u(0, 108), 2)}});
        out.push_back({{Field::Y, number(u(1, 100), 2)},
                       {Field::SmallX, number(u(0.2, 0.5), 4)},
                       {Field::SmallY, number(u(0.2, 0.5), 4)}});
        out.push_back({{Field::L, number(u(0, 100), 2)},
                       {Field::A, number(u(-60, 60), 2)},
                       {Field::B, number(u(-60, 60), 2)}});
        out.push_back({{Field::R, std::to_string(i(0, 255))},
                       {Field::G, std::to_string(i(0, 255))},
                       {Field::Bl, std::to_string(i(0, 255))}});
        out.push_back({{Field::C, std::to_string(i(0, 100))},
                       {Field::M, std::to_string(i(0, 100))},
                       {Field::Ye, std::to_string(i(0, 100))},
                       {Field::K, std::to_string(i(0, 100))}});
    }
    return out;
}

// Every text the window shows for one entry: the fields, the marks and the messages.
std::vector<QString> convert(Workbench& wb, ScriptedDialogs& dialogs, const Entry& e) {
    wb.clearEntries();
    dialogs.clear();
    for (const auto& [f, t] : e)
        wb.setText(f, QString::fromStdString(t));
    const bool ok = wb.enterPressed(e.back().first);
    std::vector<QString> shown;
    for (int f = 0; f < static_cast<int>(Field::Count); ++f)
        shown.push_back(wb.text(static_cast<Field>(f)));
    shown.push_back(wb.rangeWarning());
    shown.push_back(wb.munsellNote());
    shown.push_back(dialogs.messages().join("|"));
    shown.push_back(ok ? "ok" : "failed");
    const auto rgb = wb.displayRgb();
    shown.push_back(QString("%1 %2 %3").arg(rgb[0]).arg(rgb[1]).arg(rgb[2]));
    return shown;
}

TEST_F(WorkbenchTest, WorkerWithMainOptionsGivesTheSameTexts) {
    wb->selectIlluminant(2);
    wb->setPwd(1);
    wb->sliderMoved(Slider::Gamma, 18);
    wb->sliderMoved(Slider::Tint, 80);
    ASSERT_EQ(text(Field::Gamma), "1.8");

    ScriptedDialogs workerDialogs;
    Workbench worker(sharedTable(), workerDialogs);
    worker.applyOptions(wb->options());
    EXPECT_EQ(worker.options(), wb->options());
    EXPECT_EQ(worker.illuminantCaption(), wb->illuminantCaption());

    // A workbench left at start-up differs, so the comparison below can fail.
    ScriptedDialogs plainDialogs;
    Workbench plain(sharedTable(), plainDialogs);
    plain.startUp();
    int differing = 0;

    for (const Entry& e : randomEntries()) {
        const auto expected = convert(*wb, dialogs, e);
        ASSERT_EQ(convert(worker, workerDialogs, e), expected) << e.front().second;
        differing += convert(plain, plainDialogs, e) != expected;
    }
    EXPECT_GT(differing, 3000);
}

TEST_F(WorkbenchTest, OptionsAreCopiedNotRecomputed) {
    // The start-up exponent 1/2.2f and the slider's float(1/2.2) differ in the last bit; a copy
    // keeps whichever the main workbench holds.
    const auto startUp = wb->options();
    wb->sliderMoved(Slider::Gamma, 21);
    wb->sliderMoved(Slider::Gamma, 22);
    const auto moved = wb->options();
    EXPECT_EQ(moved.gammaText, startUp.gammaText);
    EXPECT_NE(moved.displayExponents, startUp.displayExponents);

    ScriptedDialogs d;
    Workbench worker(sharedTable(), d);
    worker.applyOptions(moved);
    EXPECT_EQ(worker.displayExponents(), moved.displayExponents);
    worker.applyOptions(startUp);
    EXPECT_EQ(worker.displayExponents(), startUp.displayExponents);
    EXPECT_EQ(worker.slider(Slider::Gamma), 22);
    EXPECT_EQ(worker.text(Field::Gamma), QString("2.2"));
}

} // namespace
} // namespace zul::testing
