#include "support/scratchfolder.h"
#include "workbench/palette.h"
#include "workbench_fixture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace zul::testing {
namespace {

class PaletteTest : public InScratchFolder<WorkbenchTest> {
protected:
    static QStringList lines(const QString& name) {
        QFile f(name);
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList out = QString::fromUtf8(f.readAll()).split("\r\n");
        if (!out.isEmpty() && out.last().isEmpty()) out.removeLast();
        return out;
    }
    QStringList prompts() const {
        QStringList out;
        for (const auto& s : dialogs.shown())
            if (s.kind == "prompt") out << s.title;
        return out;
    }
};

TEST_F(PaletteTest, FirstSaveCreatesWithTheProposedNameSecondAppends) {
    dialogs.queueReply("ZULpalette");
    dialogs.queueReply("first");
    ASSERT_TRUE(wb->SaveData(0));
    const QString path = dir.filePath("ZULpalette.csv");
    EXPECT_EQ(dialogs.proposals().first(), "ZULpalette.csv");
    ASSERT_EQ(dialogs.shown().size(), 2);
    EXPECT_EQ(dialogs.shown()[0].kind, "save");
    EXPECT_EQ(dialogs.shown()[0].title, "Save Palette Data");
    EXPECT_EQ(prompts(), QStringList{"Palette File Save - TAG"});
    EXPECT_EQ(dialogs.shown()[1].text,
              "Palette " + path + " - Enter Tag [Enter 'file' to change file name]");
    EXPECT_EQ(wb->paletteFile(), path);
    EXPECT_EQ(wb->lastPaletteName(), path);
    EXPECT_EQ(wb->message(), "Saved to " + path + ", record 1");

    dialogs.clear();
    dialogs.queueReply("second");
    ASSERT_TRUE(wb->SaveData(0));
    EXPECT_EQ(prompts(), QStringList{"Palette File Save - TAG"});
    EXPECT_EQ(dialogs.shown().size(), 1); // no dialog once the palette is chosen
    const QStringList l = lines("ZULpalette.csv");
    ASSERT_EQ(l.size(), 2);
    EXPECT_TRUE(l[0].contains("\"first\""));
    EXPECT_TRUE(l[1].contains("\"second\""));
}

TEST_F(PaletteTest, TheNameIsKeptAsTypedWithCsvAddedOnlyWhenMissing) {
    const struct {
        const char* typed;
        const char* file;
    } cases[] = {
        {"Mine.CSV", "Mine.CSV"},       {"My Colours", "My Colours.csv"}, {"leaf.", "leaf..csv"},
        {"notes.txt", "notes.txt.csv"}, {"sub/Deep.Csv", "sub/Deep.Csv"},
    };
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    for (const auto& c : cases) {
        wb->setPaletteFile({});
        dialogs.queueReply(c.typed);
        dialogs.queueReply("t");
        ASSERT_TRUE(wb->SaveData(0)) << c.typed;
        EXPECT_EQ(wb->paletteFile(), dir.filePath(c.file)) << c.typed;
        EXPECT_EQ(lines(c.file).size(), 1) << c.typed;
    }
    EXPECT_FALSE(QFile::exists("Mine.CSV.csv"));
}

TEST_F(PaletteTest, AnExistingPaletteIsAddedToOnlyAfterYes) {
    const QString old = dir.filePath("old.csv");
    QFile f(old);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"01-01-2026\",\"10:00:00\",\"kept\"\r\n");
    f.close();
    const QString question = "The palette " + old + " already exists. Add to it?";

    // No opens the dialog again on that name; a cancel there saves nothing.
    dialogs.queueReply("old");
    dialogs.queueAnswer(Dialogs::Answer::No);
    EXPECT_FALSE(wb->SaveData(0));
    EXPECT_EQ(dialogs.questions(), QStringList{question});
    EXPECT_EQ(dialogs.proposals(), (QStringList{"ZULpalette.csv", old}));
    EXPECT_EQ(lines("old.csv").size(), 1);
    EXPECT_EQ(wb->message(), "Not saved");

    dialogs.clear();
    dialogs.queueReply("old.csv");
    dialogs.queueAnswer(Dialogs::Answer::Yes);
    dialogs.queueReply("new");
    ASSERT_TRUE(wb->SaveData(0));
    EXPECT_EQ(dialogs.questions(), QStringList{question});
    const QStringList l = lines("old.csv");
    ASSERT_EQ(l.size(), 2);
    EXPECT_TRUE(l[0].contains("\"kept\""));
    EXPECT_TRUE(l[1].contains("\"new\""));

    // An empty file holds nothing to lose: no question.
    QFile empty(dir.filePath("empty.csv"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    dialogs.clear();
    dialogs.queueReply("empty.csv");
    EXPECT_EQ(askPaletteFile(dialogs, "t", {}, PaletteWrite::Replace), dir.filePath("empty.csv"));
    EXPECT_TRUE(dialogs.questions().isEmpty());
}

TEST_F(PaletteTest, TagFileAsksForANewNameAndWritesOnce) {
    dialogs.queueReply("one");
    dialogs.queueReply("FILE");
    dialogs.queueReply("two");
    dialogs.queueReply("tag");
    ASSERT_TRUE(wb->SaveData(0));
    EXPECT_FALSE(QFile::exists("one.csv"));
    EXPECT_EQ(lines("two.csv").size(), 1);
    EXPECT_EQ(dialogs.shown().size(), 4);
    // The second dialog proposes the palette chosen first.
    EXPECT_EQ(dialogs.proposals().value(2), dir.filePath("one.csv"));
}

TEST_F(PaletteTest, CancelledNameWritesNothing) {
    EXPECT_FALSE(wb->SaveData(0));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(wb->message(), "Not saved");
}

TEST_F(PaletteTest, CancelledTagWritesNothingAndSaysNotSaved) {
    wb->setPaletteFile("kept");
    wb->setTag("earlier");
    EXPECT_FALSE(wb->SaveData(0)); // no reply queued: the tag prompt is cancelled
    EXPECT_FALSE(QFile::exists("kept.csv"));
    EXPECT_EQ(wb->message(), "Not saved");
    EXPECT_EQ(wb->tag(), "earlier");
    // Ok on an empty line is a tag, and saves.
    dialogs.queueReply("");
    EXPECT_TRUE(wb->SaveData(0));
    ASSERT_EQ(lines("kept.csv").size(), 1);
    EXPECT_TRUE(wb->message().startsWith("Saved to "));
}

TEST_F(PaletteTest, LineShapeAndLinearValues) {
    enter({{Field::R, "0"}, {Field::G, "128"}, {Field::Bl, "255"}});
    wb->setPaletteFile("shape");
    wb->setTag("a \"quoted\" tag");
    ASSERT_TRUE(wb->SaveData(1)); // no tag prompt in mode 1
    EXPECT_TRUE(dialogs.shown().isEmpty());
    const QStringList l = lines("shape.csv");
    ASSERT_EQ(l.size(), 1);
    const QRegularExpression shape(
        R"(^"\d\d-\d\d-\d{4}","\d\d:\d\d:\d\d","[^"]*"(,"[^"]*"){9}(,[-0-9.E+]+){3}(,"[^"]*"){7}$)");
    EXPECT_TRUE(shape.match(l[0]).hasMatch()) << l[0].toStdString();
    EXPECT_TRUE(l[0].contains("\"a 'quoted' tag\""));
    const QStringList items = l[0].split(',');
    ASSERT_EQ(items.size(), 22);
    EXPECT_EQ(items[12], "0");
    EXPECT_NEAR(items[13].toDouble(), 0.2195, 0.0001);
    EXPECT_EQ(items[14], "1");
    EXPECT_EQ(items[15], "\"0\"");
    EXPECT_EQ(items[3], "\"" + wb->text(Field::Hue) + "\"");
}

TEST_F(PaletteTest, GammaOneGivesValueOver255) {
    wb->setText(Field::Gamma, "1");
    enter({{Field::R, "51"}, {Field::G, "102"}, {Field::Bl, "204"}});
    wb->setPaletteFile("lin.csv");
    ASSERT_TRUE(wb->SaveData(2));
    const QStringList items = lines("lin.csv").value(0).split(',');
    ASSERT_EQ(items.size(), 22);
    EXPECT_EQ(items[12], "0.2");
    EXPECT_EQ(items[13], "0.4");
    EXPECT_EQ(items[14], "0.8");
}

TEST_F(PaletteTest, RecordCarriesRgbTextsAsTypedButClampsTheLinearValues) {
    wb->setText(Field::R, "300");
    wb->setPaletteFile("typed.csv");
    ASSERT_TRUE(wb->SaveData(1));
    const QStringList items = lines("typed.csv").value(0).split(',');
    ASSERT_EQ(items.size(), 22);
    EXPECT_EQ(items[15], "\"300\"");
    EXPECT_EQ(items[12], "1");
    EXPECT_EQ(wb->slider(Slider::R), 255);
}

TEST_F(PaletteTest, FailuresWriteNothingAndSaySo) {
    wb->setText(Field::G, "lots");
    wb->setPaletteFile("bad.csv");
    EXPECT_FALSE(wb->SaveData(1));
    EXPECT_FALSE(QFile::exists("bad.csv"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("G: \"lots\" is not a number"));

    dialogs.clear();
    wb->setText(Field::G, "5");
    wb->setPaletteFile("no/such/folder/p.csv");
    EXPECT_FALSE(wb->SaveData(1));
    ASSERT_EQ(dialogs.messages().size(), 1);
    // The message names the whole path, not the name relative to the working folder.
    EXPECT_TRUE(dialogs.messages()[0].startsWith("Cannot save to palette file " +
                                                 dir.filePath("no/such/folder/p.csv") + ": "))
        << dialogs.messages()[0].toStdString();
}

TEST_F(PaletteTest, OnlySaveToPaletteReloadsTheViewer) {
    QSignalSpy reloads(wb.get(), &Workbench::viewerReload);
    wb->setSwitch(Switch::Viewer, true);
    wb->setPaletteFile("view.csv");
    // Picture analysis and batch conversion save record after record: no reload for each.
    ASSERT_TRUE(wb->SaveData(1));
    ASSERT_TRUE(wb->SaveData(1));
    EXPECT_EQ(reloads.count(), 0);

    dialogs.queueReply("tag");
    ASSERT_TRUE(wb->savePressed());
    EXPECT_EQ(reloads.count(), 1);
    EXPECT_EQ(lines("view.csv").size(), 3);

    wb->setSwitch(Switch::Viewer, false);
    dialogs.queueReply("tag");
    ASSERT_TRUE(wb->savePressed());
    EXPECT_EQ(reloads.count(), 1);
}

// A write that fails part-way (here: the process may write only 10 bytes to a file) leaves no
// half record, and no empty file where there was none.
TEST_F(PaletteTest, FailedWriteLeavesNothingBehind) {
    QFile old("old.csv");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("12345\r\n");
    old.close();
    const QByteArray line(100, 'x');

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const QString newFailure = appendPaletteLine("new.csv", line);
    const QString oldFailure = appendPaletteLine("old.csv", line);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(newFailure.isEmpty());
    EXPECT_FALSE(oldFailure.isEmpty());
    EXPECT_FALSE(QFile::exists("new.csv"));
    EXPECT_EQ(lines("old.csv"), QStringList{"12345"});
}

TEST(PaletteText, LineBytesOfARecord) {
    PaletteRecord r;
    // Texts longer than most fields take the general path, formula signs and all.
    const QString longText(70, 'x');
    r.tag = "=tag" + longText;
    r.fields = {"5R", "4.00", "-x", longText, "a\"b", "line\nbreak", "caf\u00e9", "", "-3.25"};
    r.linear = {0.0f, 0.2158605f, 1.0f};
    r.rgbCmyk = {"0", "128", "255", "+1", "@2", "\t3", "-4"};
    const QByteArray longBytes = longText.toLatin1();
    const QByteArray tail = "\"'=tag" + longBytes + R"(","5R","4.00","'-x",")" + longBytes +
                            R"(","a'b","line break","caf)"
                            "\xc3\xa9"
                            R"(","","-3.25",0,0.2158605,1,"0","128","255","'+1","'@2","')"
                            "\t"
                            R"(3","-4")"
                            "\r\n";
    struct Case {
        QDateTime when;
        QByteArray stamp;
    };
    const Case cases[] = {
        {QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)), R"("03-04-2026","05:06:07",)"},
        {QDateTime(QDate(987, 12, 31), QTime(23, 59, 0)), R"("12-31-0987","23:59:00",)"},
        {QDateTime(QDate(9999, 1, 1), QTime(0, 0, 0)), R"("01-01-9999","00:00:00",)"},
    };
    for (const Case& c : cases) {
        r.when = c.when;
        EXPECT_EQ(paletteLine(r), c.stamp + tail) << c.stamp.toStdString();
    }
}

TEST(PaletteText, QuotesAndLineBreaksAreReplaced) {
    EXPECT_EQ(paletteSafeText("a\"b\r\nc\nd"), "a'b c d");
    EXPECT_EQ(paletteSafeText("x,y"), "x,y");
}

} // namespace
} // namespace zul::testing
