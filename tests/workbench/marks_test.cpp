// Fields that do not show the current colour, the question before saving them, the reasons in the
// Messages field, the nearest displayable colour and the formula-safe palette texts.
#include "support/scratchfolder.h"
#include "workbench/palette.h"
#include "workbench_fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace zul::testing {
namespace {

std::vector<Field> staleFields(const Workbench& wb) {
    std::vector<Field> out;
    for (int i = 0; i < static_cast<int>(Field::Count); ++i)
        if (wb.stale(static_cast<Field>(i))) out.push_back(static_cast<Field>(i));
    return out;
}

const std::vector<Field> kMunsell = {Field::Hue, Field::Value, Field::Chroma};

TEST_F(WorkbenchTest, StartUpShowsOneColour) {
    EXPECT_FALSE(wb->anyStale());
    EXPECT_TRUE(wb->message().isEmpty());
}

TEST_F(WorkbenchTest, RejectedMunsellEntryIsMarkedUntilAGoodOneConverts) {
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "5"}, {Field::Chroma, "10"}}));
    const QString x = wb->text(Field::X);
    EXPECT_FALSE(enter({{Field::Hue, "5B"}, {Field::Value, "5"}, {Field::Chroma, "30"}}));
    EXPECT_EQ(wb->text(Field::X), x); // the other forms keep 5R 5/10
    EXPECT_EQ(staleFields(*wb), kMunsell);
    EXPECT_EQ(wb->message(), "5B 5/30 is beyond the renotation data");

    ASSERT_TRUE(enter({{Field::Hue, "5B"}, {Field::Value, "5"}, {Field::Chroma, "6"}}));
    EXPECT_FALSE(wb->anyStale());
    EXPECT_TRUE(wb->message().isEmpty()); // the reason went with the entry
}

TEST_F(WorkbenchTest, TypedEditIsMarkedAndEnterClearsIt) {
    wb->setText(Field::L, "50");
    EXPECT_EQ(staleFields(*wb), std::vector<Field>{Field::L});
    wb->setText(Field::L, wb->text(Field::L)); // the same text again is no edit
    EXPECT_EQ(staleFields(*wb), std::vector<Field>{Field::L});
    EXPECT_TRUE(wb->enterPressed(Field::L));
    EXPECT_FALSE(wb->anyStale());
}

TEST_F(WorkbenchTest, ChainFailingPartWayMarksWhatTheSwatchDoesNotShow) {
    // The XYZ chain writes CIELAB, then the Munsell search fails: the swatch keeps the old
    // colour, so the entry and the new CIELAB are the odd ones out.
    wb->setText(Field::X, "98");
    wb->setText(Field::Y, "105");
    wb->setText(Field::Z, "118");
    const QString hue = wb->text(Field::Hue);
    ASSERT_FALSE(wb->enterPressed(Field::Z));
    EXPECT_EQ(wb->text(Field::Hue), hue);
    EXPECT_EQ(staleFields(*wb), (std::vector<Field>{Field::X, Field::Y, Field::Z, Field::SmallX,
                                                    Field::SmallY, Field::L, Field::A, Field::B}));
    // A CMYK entry that cannot be read: nothing was converted, only the entry is marked.
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "5"}, {Field::Chroma, "10"}}));
    wb->setText(Field::C, "0");
    wb->setText(Field::M, "0");
    wb->setText(Field::Ye, "0");
    wb->setText(Field::K, "x");
    EXPECT_FALSE(wb->enterPressed(Field::K));
    EXPECT_EQ(staleFields(*wb), (std::vector<Field>{Field::C, Field::M, Field::Ye, Field::K}));
    EXPECT_EQ(wb->message(), "Black: \"x\" is not a number");
}

TEST_F(WorkbenchTest, ReasonsNameTheFieldAndWhatIsExpected) {
    EXPECT_FALSE(enter({{Field::Hue, "5R"}, {Field::Value, "4,5"}, {Field::Chroma, "10"}}));
    EXPECT_EQ(dialogs.messages(), QStringList{"Out of Munsell Range"}); // the box as before
    EXPECT_EQ(wb->message(), "Value: \"4,5\" is not a number; use a point");

    // A neutral still converts (the hue is ignored), the box and the reason say what was wrong.
    EXPECT_TRUE(enter({{Field::Hue, "Q"}, {Field::Value, "5"}, {Field::Chroma, "0"}}));
    EXPECT_EQ(wb->message(), "Hue: \"Q\" is not a hue; use 5R, 2.5YR, ...");

    EXPECT_FALSE(enter({{Field::Hue, "5R"}, {Field::Value, "5"}, {Field::Chroma, "41"}}));
    EXPECT_EQ(wb->message(), "Chroma: \"41\" is out of range; use 0 to 40");

    EXPECT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "9.8"}, {Field::Chroma, "2"}}));
    EXPECT_EQ(wb->message(), "Value 9.8 was shown as 9.5, the table's top");

    // Other chains: the box keeps the failure's own text, the field adds the hint.
    dialogs.clear();
    EXPECT_FALSE(enter({{Field::X, "1,5"}, {Field::Y, "2"}, {Field::Z, "3"}}));
    EXPECT_EQ(dialogs.messages(), QStringList{"X: \"1,5\" is not a number"});
    EXPECT_EQ(wb->message(), "X: \"1,5\" is not a number; use a point");
    EXPECT_FALSE(enter({{Field::X, "1,5,2"}, {Field::Y, "2"}, {Field::Z, "3"}}));
    EXPECT_EQ(wb->message(), "X: \"1,5,2\" is not a number");
}

TEST_F(WorkbenchTest, OutOfGamutShowsTheNearestColourAndTheWarningFollowsTheSwatch) {
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "9"}, {Field::Chroma, "4"}}));
    EXPECT_EQ(wb->rangeWarning(), "Out of RGB Range");
    EXPECT_EQ(wb->displayRgb(), (std::array<int, 3>{0, 0, 0}));
    ASSERT_TRUE(wb->nearestShown().has_value());
    const auto nearest = *wb->nearestShown();
    EXPECT_EQ(nearest[0], 255); // a pale red clips at the top of red
    EXPECT_GT(nearest[1], 200);
    EXPECT_GT(nearest[2], 200);

    // An RGB entry is displayable: the warning and the inset go.
    ASSERT_TRUE(enter({{Field::R, "128"}, {Field::G, "128"}, {Field::Bl, "128"}}));
    EXPECT_TRUE(wb->rangeWarning().isEmpty());
    EXPECT_FALSE(wb->nearestShown().has_value());

    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "9"}, {Field::Chroma, "4"}}));
    ASSERT_TRUE(enter({{Field::C, "10"}, {Field::M, "20"}, {Field::Ye, "30"}, {Field::K, "0"}}));
    EXPECT_TRUE(wb->rangeWarning().isEmpty());
    EXPECT_FALSE(wb->nearestShown().has_value());
}

TEST_F(WorkbenchTest, EntryNoteUnderD50AndD65UnlessAdapting) {
    EXPECT_TRUE(wb->entryNote().isEmpty());
    wb->selectIlluminant(1);
    EXPECT_EQ(wb->entryNote(), "XYZ, x y, CIELAB and RGB entries are read as illuminant C");
    wb->setAdaptEntries(true);
    EXPECT_TRUE(wb->entryNote().isEmpty());
    wb->setAdaptEntries(false);
    wb->selectIlluminant(2);
    EXPECT_FALSE(wb->entryNote().isEmpty());
}

TEST(FormulaSafe, TextsASpreadsheetWouldRunGetAnApostrophe) {
    for (const char* risky : {"=1+2", "+A1", "@SUM(A1)", "\tx", "\rx", "-A1", "-", "--2"})
        EXPECT_EQ(formulaSafe(QString(risky)), QString("'") + risky) << risky;
    for (const char* plain : {"", "5R", "-.50", "-12.5", "-0", "a=b", " =x", "'=x"})
        EXPECT_EQ(formulaSafe(QString(plain)), QString(plain)) << plain;
    EXPECT_EQ(formulaSafe(std::string_view("=cmd")), "'=cmd");
    EXPECT_EQ(formulaSafe(std::string_view("-3")), "-3");
}

class SaveTest : public InScratchFolder<WorkbenchTest> {
protected:
    static QByteArray contents(const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(SaveTest, MarkedFieldsAskFirstAndNoWritesNothing) {
    wb->setText(Field::Chroma, "12"); // typed, no Enter
    wb->setPaletteFile("p");
    EXPECT_FALSE(wb->savePressed()); // nothing queued: the default No
    EXPECT_EQ(dialogs.questions(), QStringList{"The fields do not show one colour. Save anyway?"});
    EXPECT_FALSE(QFile::exists("p.csv"));
    EXPECT_TRUE(dialogs.shown().size() == 1); // no prompt after No

    dialogs.clear();
    dialogs.queueAnswer(Dialogs::Answer::Yes);
    dialogs.queueReply("tag");
    EXPECT_TRUE(wb->savePressed());
    EXPECT_TRUE(contents("p.csv").contains("\"12\""));

    // One colour: no question.
    dialogs.clear();
    ASSERT_TRUE(wb->enterPressed(Field::Chroma));
    dialogs.queueReply("tag");
    EXPECT_TRUE(wb->savePressed());
    EXPECT_TRUE(dialogs.questions().isEmpty());
}

TEST_F(SaveTest, MessageSaysWhereTheRecordWentAndRisKyTagsAreDefused) {
    QFile existing("old.csv");
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("a\r\nb\r\n");
    existing.close();
    wb->setPaletteFile("old");
    dialogs.queueReply("=HYPERLINK(\"x\")");
    ASSERT_TRUE(wb->SaveData(0));
    const QString path = QDir::toNativeSeparators(QDir(dir.path()).absoluteFilePath("old.csv"));
    EXPECT_EQ(wb->message(), "Saved to " + path + ", record 3");
    EXPECT_TRUE(contents("old.csv").contains("\"'=HYPERLINK('x')\""));

    wb->setTag("@x");
    ASSERT_TRUE(wb->SaveData(1));
    EXPECT_EQ(wb->message(), "Saved to " + path + ", record 4");
    EXPECT_TRUE(contents("old.csv").contains("\"'@x\""));
    // Another program appending in between: counted again, not guessed.
    QFile other("old.csv");
    ASSERT_TRUE(other.open(QIODevice::Append));
    other.write("c\r\n");
    other.close();
    ASSERT_TRUE(wb->SaveData(1));
    EXPECT_EQ(wb->message(), "Saved to " + path + ", record 6");
    // A chain that succeeds does not wipe the note of the save.
    ASSERT_TRUE(wb->enterPressed(Field::Chroma));
    EXPECT_TRUE(wb->message().startsWith("Saved to "));
}

TEST_F(SaveTest, FileNameThatFailedIsAskedForAgain) {
    wb->setPaletteFile("no/such/folder/p");
    EXPECT_FALSE(wb->SaveData(1));
    EXPECT_TRUE(wb->paletteFile().isEmpty());
    dialogs.clear();
    dialogs.queueReply("good");
    EXPECT_TRUE(wb->SaveData(1));
    ASSERT_FALSE(dialogs.shown().isEmpty());
    EXPECT_EQ(dialogs.shown()[0].title, "Save Palette Data");
    EXPECT_EQ(dialogs.shown()[0].kind, "save");
    EXPECT_TRUE(QFile::exists("good.csv"));
}

} // namespace
} // namespace zul::testing
