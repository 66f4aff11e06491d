// "Import" and "Make Table" as the window runs them, the job chooser, and the same files from
// the command line.
#include "batch/importwindow.h"
#include "batch/jobchooser.h"
#include "batch/maketable.h"
#include "batch_support.h"
#include "support/scratchfolder.h"
#include "support/zulprocess.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace zul::testing {
namespace {

std::string readAll(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
}

class ImportTest : public InScratchFolder<WorkbenchTest> {
protected:
    void write(const char* name, const std::string& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    int zul(const QStringList& args) { return runZul(args, {}, dir.path()).status; }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files); }
};

TEST_F(ImportTest, UnknownCodeOrCancelDoesNothing) {
    write("steps.txt", "5R\t5\t14\n");
    const QString hue = wb->text(Field::Hue);
    for (const char* reply : {"XYZ", "7", "", "steps", "3 "}) {
        dialogs.clear();
        dialogs.queueReply(reply);
        EXPECT_FALSE(batch::runImport(*wb)) << reply;
        EXPECT_EQ(dialogs.shown().size(), 1u) << reply; // the prompt alone
        EXPECT_EQ(dialogs.shown()[0].text.toStdString(), "Type import");
    }
    EXPECT_EQ(files(), QStringList{"steps.txt"});
    EXPECT_EQ(wb->text(Field::Hue), hue);
}

TEST_F(ImportTest, StepsFromTheWindowAndTheCommandLineAreTheSameFile) {
    write("steps.txt", "5R\t5\t14\n2.5YR\t6\t8\n5R\t5\n");
    wb->selectIlluminant(1);
    wb->setText(Field::Gamma, "2");
    dialogs.clear();
    dialogs.queueReply("3");
    const auto report = batch::runImport(*wb);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->exitStatus(), 1);
    ASSERT_EQ(dialogs.messages().size(), 1); // one summary, not a box per record
    EXPECT_EQ(dialogs.messages()[0].toStdString(),
              "Total colors 2  Colors not displayed 0\n1 of 3 records not converted (line 3)\n"
              "Written to " +
                  dir.filePath("stepsMUNSELL.txt").toStdString());
    // The window shows the last converted record.
    EXPECT_EQ(text(Field::Hue), "2.5YR");
    EXPECT_EQ(text(Field::Value), "6");
    EXPECT_FALSE(wb->quiet());

    EXPECT_EQ(zul({"batch", "steps", "-o", "cli.txt", "--illuminant", "D50", "--gamma", "2"}), 1);
    EXPECT_EQ(readAll(dir.filePath("cli.txt")), readAll(dir.filePath("stepsMUNSELL.txt")));
    EXPECT_EQ(zul({"batch", "steps", "-o", "c.txt"}), 1);
    EXPECT_NE(readAll(dir.filePath("c.txt")), readAll(dir.filePath("stepsMUNSELL.txt")));
}

TEST_F(ImportTest, PaletteJobAsksForTheNameOnceAndItsCancelWritesNothing) {
    write("in.csv", "Tag,X,Y,Z\nw,95,100,108\nr,20,10,5\n");
    dialogs.queueReply("xyz");
    dialogs.queueReply(dir.filePath("in.csv"));
    dialogs.queueReply(""); // the palette name prompt cancelled
    EXPECT_FALSE(batch::runImport(*wb));
    EXPECT_EQ(files(), QStringList{"in.csv"});

    dialogs.clear();
    dialogs.queueReply("xyz");
    dialogs.queueReply(dir.filePath("in.csv"));
    dialogs.queueReply("pal");
    const auto report = batch::runImport(*wb);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->exitStatus(), 0);
    EXPECT_EQ(dialogs.proposals(), (QStringList{QString(), "ZULpalette.csv"}));
    EXPECT_EQ(wb->paletteFile(), dir.filePath("pal.csv"));
    EXPECT_EQ(wb->tag(), "r");
    EXPECT_TRUE(dialogs.messages().isEmpty());

    ASSERT_EQ(zul({"batch", "xyz", "-i", "in.csv", "--palette", "cli"}), 0);
    const auto window = crlfLines(readAll(dir.filePath("pal.csv")));
    const auto cli = crlfLines(readAll(dir.filePath("cli.csv")));
    ASSERT_EQ(window.size(), 2u);
    ASSERT_EQ(cli.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_EQ(window[i].substr(24), cli[i].substr(24)); // after date and time
}

TEST_F(ImportTest, CancelInTheProgressDialogLeavesTheOldOutput) {
    std::string input;
    for (int i = 0; i < 400000; ++i)
        input += "5R\t" + std::to_string(1 + i % 8) + "\t4\n";
    write("steps.txt", input);
    write("stepsMUNSELL.txt", "previous\r\n");
    bool pressed = false;
    QTimer press;
    press.setInterval(20);
    QObject::connect(&press, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QProgressDialog*>(w); d && !pressed) {
                if (auto* button = d->findChild<QPushButton*>()) {
                    button->click();
                    pressed = true;
                }
            }
    });
    press.start();
    dialogs.queueReply("3");
    const auto report = batch::runImport(*wb);
    ASSERT_TRUE(pressed);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->cancelled);
    EXPECT_EQ(report->exitStatus(), 3);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(readAll(dir.filePath("stepsMUNSELL.txt")), "previous\r\n");
    EXPECT_EQ(files(), (QStringList{"steps.txt", "stepsMUNSELL.txt"}));
}

TEST_F(ImportTest, MissingInputSaysFileNotFound) {
    dialogs.queueReply("6");
    const auto report = batch::runImport(*wb);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->exitStatus(), 3);
    EXPECT_EQ(dialogs.messages(), QStringList{"File not found"});
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(ImportTest, MakeTableWritesWhatZulTableWrites) {
    wb->selectIlluminant(2);
    wb->setPwd(1);
    dialogs.clear();
    ASSERT_TRUE(batch::runMakeTable(*wb));
    EXPECT_EQ(dialogs.messages(), QStringList{"Done"});
    const QString hue = wb->text(Field::Hue);
    EXPECT_FALSE(wb->quiet());
    EXPECT_EQ(wb->text(Field::Hue), hue);
    ASSERT_EQ(zul({"table", "-o", "cli.prn", "--illuminant", "d65", "--pwd"}), 0);
    const std::string window = readAll(dir.filePath(batch::kTableFile));
    EXPECT_EQ(window, readAll(dir.filePath("cli.prn")));
    ASSERT_EQ(zul({"table"}), 0); // replaces the window's file
    EXPECT_NE(readAll(dir.filePath(batch::kTableFile)), window);
    // Written where the window's save dialog said: the message names the whole path.
    dialogs.clear();
    ASSERT_TRUE(batch::runMakeTable(*wb, "chosen.prn"));
    EXPECT_EQ(dialogs.messages(), QStringList{"Done: " + dir.filePath("chosen.prn")});
    EXPECT_EQ(readAll(dir.filePath("chosen.prn")), window);
}

TEST_F(ImportTest, ListsEveryJobWithItsFiles) {
    batch::JobChooser chooser(dialogs, QString());
    auto* list = chooser.findChild<QTreeWidget*>("jobs");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->topLevelItemCount(), 7);
    QStringList codes;
    for (int i = 0; i < 7; ++i)
        codes << list->topLevelItem(i)->text(0);
    EXPECT_EQ(codes, QStringList({"xyz", "6", "0", "3", "4", "2", "1"}));
    EXPECT_EQ(list->topLevelItem(3)->text(2), "steps.txt");
    EXPECT_EQ(list->topLevelItem(3)->text(3), "stepsMUNSELL.txt");
}

TEST_F(ImportTest, TypedCodesChooseAndTheFilesFollow) {
    batch::JobChooser chooser(dialogs, "mine");
    auto* code = chooser.findChild<QLineEdit*>("code");
    auto* input = chooser.findChild<QLineEdit*>("input");
    auto* output = chooser.findChild<QLineEdit*>("output");
    auto* ok = chooser.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    ASSERT_TRUE(code && input && output && ok);

    QTest::keyClicks(code, "3");
    ASSERT_NE(chooser.job(), nullptr);
    EXPECT_STREQ(chooser.job()->code, "3");
    EXPECT_EQ(output->text(), QDir(dir.path()).filePath("stepsMUNSELL.txt"));
    EXPECT_TRUE(ok->isEnabled());

    // The palette job writes to the palette named so far, the Munsell job's input is chosen.
    chooser.chooseCode("xyz");
    EXPECT_EQ(output->text(), QDir(dir.path()).filePath("mine.csv"));
    chooser.chooseCode("0");
    EXPECT_TRUE(input->text().isEmpty());
    EXPECT_FALSE(ok->isEnabled());
    dialogs.queueReply(dir.filePath("in.txt"));
    chooser.findChild<QPushButton*>("browse")->click();
    EXPECT_EQ(dialogs.shown().back().kind, "open");
    EXPECT_EQ(input->text(), dir.filePath("in.txt"));
    const auto choice = chooser.choice();
    ASSERT_TRUE(choice);
    EXPECT_STREQ(choice->job->code, "0");

    // A code that is no job chooses nothing.
    chooser.chooseCode("7");
    EXPECT_FALSE(chooser.choice());
    EXPECT_FALSE(ok->isEnabled());
}

TEST_F(ImportTest, AChosenJobRunsWithTheFilesShown) {
    QFile in(dir.filePath("steps.txt"));
    ASSERT_TRUE(in.open(QIODevice::WriteOnly));
    in.write("5R\t5\t14\n");
    in.close();
    const QString out = dir.filePath("elsewhere.txt");
    const auto report = batch::runImport(*wb, nullptr, [&](const QString&) {
        return std::optional<batch::ImportChoice>(
            batch::ImportChoice{batch::jobByCode("3"), dir.filePath("steps.txt"), out});
    });
    ASSERT_TRUE(report);
    EXPECT_TRUE(QFile::exists(out));
    EXPECT_FALSE(QFile::exists(dir.filePath("stepsMUNSELL.txt")));
    for (const auto& shown : dialogs.shown())
        EXPECT_NE(shown.text, "Type import"); // no prompt
    // Cancelled: nothing runs.
    EXPECT_FALSE(batch::runImport(
        *wb, nullptr, [](const QString&) { return std::optional<batch::ImportChoice>(); }));
}

} // namespace
} // namespace zul::testing
