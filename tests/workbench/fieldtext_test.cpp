// The field texts held as bytes: typed as UTF-8 or as a QString, written by the chains, read
// back either way; and CSV lines put together on the stack.
#include "workbench_fixture.h"

#include "records/csvline.h"
#include "workbench/entryforms.h"

#include <random>
#include <string>
#include <vector>

namespace zul::testing {
namespace {

constexpr int kFields = static_cast<int>(Field::Count);

// Every field of `wb` as a QString and as bytes, the two the same text.
std::vector<std::string> fieldsOf(const Workbench& wb) {
    std::vector<std::string> out;
    for (int i = 0; i < kFields; ++i) {
        const Field f = static_cast<Field>(i);
        EXPECT_EQ(wb.text(f).toStdString(), std::string(wb.textUtf8(f))) << fieldCaption(f);
        out.emplace_back(wb.textUtf8(f));
        out.push_back(wb.stale(f) ? "stale" : "");
    }
    out.push_back(wb.message().toStdString());
    return out;
}

// Entries typed as UTF-8 convert as the same text typed as a QString, whatever the bytes:
// texts up to and beyond the in-place length, beyond ASCII, not UTF-8 at all.
TEST_F(WorkbenchTest, TextsTypedAsUtf8AreTheTextsTypedAsQStrings) {
    const std::string thirtyTwo(32, '1');
    const std::vector<std::vector<std::string>> entries = {
        {"5R", "4", "14"},
        {"5R 4/14", "", ""},
        {"12.5", "20.25", "30"},
        {"", "20", "30"},
        {"-0.5", "1e1", "7"},
        {"4,5", "5", "6"},
        {thirtyTwo, "5", "6"},
        {thirtyTwo + "1", "5", "6"},
        {"0." + std::string(40, '5'), "10", "10"},
        {"5R\xc3\xa9", "\xc3\xa9", "1"},
        {"\xff", "5\xc3(", "\xed\xa0\x80"},
        {"\xc2\x9b", "\xf0\x9f\x98\x80", "9\xe2\x82"},
    };
    for (const EntryFormInfo& form : entryForms()) {
        for (const auto& texts : entries) {
            Workbench bytes(sharedTable(), dialogs);
            Workbench qstrings(sharedTable(), dialogs);
            for (Workbench* w : {&bytes, &qstrings}) {
                w->startUp();
                w->clearEntries();
            }
            for (std::size_t i = 0; i < form.fields.size(); ++i) {
                const std::string& t = texts[i % texts.size()];
                bytes.setTextUtf8(form.fields[i].field, t);
                qstrings.setText(form.fields[i].field,
                                 QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())));
            }
            SCOPED_TRACE(std::string(form.name) + " " + texts[0]);
            EXPECT_EQ(fieldsOf(bytes), fieldsOf(qstrings));
            EXPECT_EQ(bytes.enterPressed(form.enter), qstrings.enterPressed(form.enter));
            EXPECT_EQ(fieldsOf(bytes), fieldsOf(qstrings));
            EXPECT_EQ(bytes.munsellNote(), qstrings.munsellNote());
        }
    }
}

// One workbench converting colour after colour, its fields cleared or not in between, gives
// what a new workbench gives each colour: nothing read or shown before outlives a new text.
TEST_F(WorkbenchTest, ColourAfterColourConvertsAsTheFirst) {
    std::mt19937 random(26);
    auto number = [&](double top) {
        const double v = std::uniform_real_distribution<double>(0, top)(random);
        return QString::number(v, 'f', static_cast<int>(random() % 4));
    };
    for (int i = 0; i < 60; ++i) {
        const EntryForm form = static_cast<EntryForm>(random() % 6);
        const EntryFormInfo& info = entryForm(form);
        if (i % 2 == 0) wb->clearEntries();
        const QString held = wb->text(Field::X); // a copy kept over the next conversion
        const std::string heldBytes(wb->textUtf8(Field::X));
        Workbench fresh(sharedTable(), dialogs);
        fresh.startUp();
        fresh.clearEntries();
        for (const EntryField& f : info.fields) {
            const QString t = form == EntryForm::Munsell && f.field == Field::Hue
                                  ? number(10) + "YR"
                                  : number(form == EntryForm::Rgb ? 255 : 100);
            wb->setText(f.field, t);
            fresh.setText(f.field, t);
        }
        SCOPED_TRACE(i);
        EXPECT_EQ(wb->enterPressed(info.enter), fresh.enterPressed(info.enter));
        for (int k = 0; k < kFields; ++k) {
            const Field f = static_cast<Field>(k);
            // Fields this form's chain did not write may hold the colour before.
            if (!fresh.textUtf8(f).empty() || k == static_cast<int>(Field::Gamma))
                EXPECT_EQ(wb->textUtf8(f), fresh.textUtf8(f)) << fieldCaption(f);
            EXPECT_EQ(wb->text(f).toStdString(), std::string(wb->textUtf8(f)));
        }
        EXPECT_EQ(held.toStdString(), heldBytes);
    }
}

// A slider writes its field behind the number read from it: the next chain reads the new text.
TEST_F(WorkbenchTest, ASliderWrittenFieldIsReadAgain) {
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "4"}, {Field::Chroma, "10"}}));
    wb->sliderMoved(Slider::Value, 12);
    EXPECT_EQ(text(Field::Value), "6");
    Workbench fresh(sharedTable(), dialogs);
    fresh.startUp();
    for (auto [f, t] : {std::pair{Field::Hue, "5R"}, {Field::Value, "6"}, {Field::Chroma, "10"}})
        fresh.setText(f, t);
    ASSERT_TRUE(fresh.muncie());
    EXPECT_EQ(text(Field::Y), fresh.text(Field::Y).toStdString());
}

// Fields put together on the stack are the fields appendCsvField writes, across the buffer's
// end and for texts longer than the buffer.
TEST(CsvLineBuffer, WritesWhatAppendCsvFieldWrites) {
    std::mt19937 random(7);
    const std::string alphabet = "0123456789.-+= ab,;\"\r\n\t\xc3\xa9";
    for (int line = 0; line < 300; ++line) {
        const char delimiter = line % 3 == 0 ? ';' : ',';
        std::string expected = "head";
        std::string got = "head";
        {
            CsvLineBuffer buffer(got, delimiter);
            const int fields = static_cast<int>(random() % 40);
            for (int i = 0; i < fields; ++i) {
                std::size_t length = random() % 12;
                if (random() % 10 == 0) length = random() % 600;
                std::string text;
                for (std::size_t k = 0; k < length; ++k)
                    text += alphabet[random() % alphabet.size()];
                if (random() % 2) {
                    appendCsvField(expected, text, delimiter);
                    buffer.field(text);
                } else if (random() % 2) {
                    expected += text;
                    buffer.put(text);
                } else {
                    expected += delimiter;
                    buffer.put(delimiter);
                }
                if (random() % 25 == 0) {
                    buffer.out() += '|'; // a writer of its own between the fields
                    expected += '|';
                }
            }
        }
        EXPECT_EQ(got, expected) << line;
    }
}

} // namespace
} // namespace zul::testing
