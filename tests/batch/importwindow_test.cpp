// "Import" and "Make Table" as the window runs them, and the same files from the command line.
#include "batch/importwindow.h"
#include "batch/maketable.h"
#include "batch_support.h"
#include "support/zulprocess.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace zul::testing {
namespace {

std::string readAll(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
}

class ImportTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    void TearDown() override { QDir::setCurrent(previous); }

    void write(const char* name, const std::string& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    int zul(const QStringList& args) { return runZul(args, {}, dir.path()).status; }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files); }

    QTemporaryDir dir;
    QString previous;
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
              "Total colors 2  Colors not displayed 0\n1 of 3 records not converted (line 3)");
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
    EXPECT_EQ(dialogs.proposals(), (QStringList{QString(), "ZULpalette"}));
    EXPECT_EQ(wb->paletteFile(), "pal.csv");
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
}

} // namespace
} // namespace zul::testing
