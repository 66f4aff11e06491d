// Writing from the windows: the save dialogs of the palettes, the palette name kept between
// runs, whole paths in the messages after a write, and boxes opening on the window that asked.
#include "charts/tolerancewindow.h"
#include "gui/mainwindow.h"
#include "gui/preferences.h"
#include "gui/qtdialogs.h"
#include "support/scratchfolder.h"
#include "support/scripteddialogs.h"
#include "workbench/workbench_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace zul {
namespace {

using testing::ScriptedDialogs;

// A working folder and a preferences file of the test's own.
class WritingTest : public testing::InScratchFolder<> {
protected:
    void SetUp() override {
        InScratchFolder::SetUp();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("config"));
    }
    static int lineCount(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? static_cast<int>(f.readAll().count('\n')) : -1;
    }
};

class SaveToPaletteTest : public WritingTest {
protected:
    void SetUp() override {
        WritingTest::SetUp();
        restart();
    }
    // A new run: workbench and window made again, the kept preferences restored.
    void restart() {
        window.reset();
        wb = std::make_unique<Workbench>(testing::sharedTable(), dialogs);
        wb->startUp();
        restoreWorkbenchPreferences(*openPreferences(), *wb);
        window = std::make_unique<MainWindow>(*wb);
        dialogs.clear();
    }
    void quit() { saveWorkbenchPreferences(*openPreferences(), *wb); }
    void save() { window->findChild<QPushButton*>("Command11")->click(); }

    ScriptedDialogs dialogs;
    std::unique_ptr<Workbench> wb;
    std::unique_ptr<MainWindow> window;
};

TEST_F(SaveToPaletteTest, TheButtonAsksInASaveDialogAndKeepsTheNameAsTyped) {
    dialogs.queueReply("My Colours");
    dialogs.queueReply("sky");
    save();
    ASSERT_FALSE(dialogs.shown().isEmpty());
    EXPECT_EQ(dialogs.shown()[0].kind, "save");
    EXPECT_EQ(dialogs.shown()[0].text, "Palette files (*.csv)|*.csv");
    EXPECT_EQ(dialogs.proposals().value(0), "ZULpalette.csv");
    const QString path = dir.filePath("My Colours.csv");
    EXPECT_EQ(lineCount(path), 1);
    EXPECT_EQ(wb->message(), "Saved to " + path + ", record 1"); // the whole path
}

TEST_F(SaveToPaletteTest, TheLastPaletteNameSurvivesARestartAndResetForgetsIt) {
    dialogs.queueReply("Kept");
    dialogs.queueReply("t");
    save();
    const QString kept = dir.filePath("Kept.csv");
    ASSERT_EQ(lineCount(kept), 1);
    quit();

    restart();
    EXPECT_EQ(wb->paletteFile(), QString());   // the first save of a run still asks
    dialogs.queueAnswer(Dialogs::Answer::Yes); // add to the palette that exists
    dialogs.queueReply(kept);
    dialogs.queueReply("t2");
    save();
    EXPECT_EQ(dialogs.proposals().value(0), kept);
    EXPECT_EQ(dialogs.questions(),
              QStringList{"The palette " + kept + " already exists. Add to it?"});
    EXPECT_EQ(lineCount(kept), 2);
    quit();

    forgetPreferences(); // zul --reset-settings
    restart();
    EXPECT_EQ(wb->lastPaletteName(), QString());
    save(); // cancelled
    EXPECT_EQ(dialogs.proposals().value(0), "ZULpalette.csv");
    EXPECT_EQ(wb->message(), "Not saved");
}

TEST_F(SaveToPaletteTest, MessagesAfterAFailedWriteNameTheWholePath) {
    dialogs.queueReply("missing/p.pdf");
    window->findChild<QPushButton*>("saveAs")->click(); // the main window's picture as PDF
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("Cannot save " + dir.filePath("missing/p.pdf")))
        << dialogs.messages()[0].toStdString();

    dialogs.clear();
    wb->setPaletteFile("missing/p.csv");
    dialogs.queueReply("tag");
    save();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("Cannot save to palette file " +
                                                 dir.filePath("missing/p.csv")));
}

TEST_F(SaveToPaletteTest, WaitingForALockedPaletteLetsTheWindowsRun) {
    const QString palette = dir.filePath("shared.csv");
    wb->setPaletteFile(palette);
    QLockFile writer(palette + ".lock"); // another writer, as a batch job holds it
    writer.setStaleLockTime(0);
    ASSERT_TRUE(writer.tryLock(0));
    // Runs only if the save lets events run while it waits; then the writer finishes.
    bool ranMeanwhile = false;
    QTimer::singleShot(150, [&] {
        ranMeanwhile = true;
        writer.unlock();
    });
    dialogs.queueReply("tag");
    save();
    EXPECT_TRUE(ranMeanwhile);
    EXPECT_EQ(lineCount(palette), 1);
    EXPECT_EQ(wb->message(), "Saved to " + palette + ", record 1");
}

// The Qt dialogs themselves, answered by timers that find the open modal dialog.
QWidget* modal() {
    return QApplication::activeModalWidget();
}

TEST_F(WritingTest, ABoxOpensOnTheWindowThatAsked) {
    QtDialogs dialogs;
    Workbench wb(testing::sharedTable(), dialogs);
    wb.startUp();
    MainWindow main(wb);
    ToleranceWindow chart(wb, {[](const ChartPicture&) { return false; }}); // no printer
    chart.show();
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));

    // The chart's PRINT while the main window is the active one: the box is the chart's.
    QWidget* parent = nullptr;
    QString text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(modal());
        ASSERT_NE(box, nullptr);
        parent = box->parentWidget();
        text = box->text();
        box->accept();
    });
    chart.findChild<QPushButton*>("Command1")->click();
    EXPECT_EQ(text, "Printer not Found");
    EXPECT_EQ(parent, &chart);

    // Nobody named: the active window.
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(modal());
        ASSERT_NE(box, nullptr);
        parent = box->parentWidget();
        box->accept();
    });
    dialogs.alert(Dialogs::Icon::Information, "x");
    EXPECT_EQ(parent, &main);

    // An asker nested in another gives the outer one back when it ends.
    {
        const Dialogs::AskedBy outer(dialogs, &chart);
        { const Dialogs::AskedBy inner(dialogs, &main); }
        EXPECT_EQ(dialogs.askingWindow(), &chart);
    }
    EXPECT_EQ(dialogs.askingWindow(), nullptr);
}

// Types `name` into the open file dialog and accepts it; records the question Qt asks, if any.
void typeInFileDialog(const QString& name, QString* asked, QMessageBox::StandardButton answer) {
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<QFileDialog*>(modal());
        ASSERT_NE(dialog, nullptr);
        // The question comes inside accept(): answered by a timer already waiting.
        QTimer::singleShot(50, dialog, [=] { // ends with the dialog
            if (auto* box = qobject_cast<QMessageBox*>(modal())) {
                *asked = box->text();
                box->button(answer)->click();
            }
            if (auto* still = qobject_cast<QFileDialog*>(modal())) still->reject();
        });
        dialog->selectFile(name);
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
}

TEST_F(WritingTest, TheFileDialogKeepsTheNameAsTypedAndAsksOnlyWhereTold) {
    QtDialogs dialogs;
    QFile existing(dir.filePath("Mixed Case.csv"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    const QString proposed = dir.filePath("ZULpalette.csv");

    // The palette dialog leaves an existing file to its caller: no question, the name as typed.
    QString asked;
    typeInFileDialog("Mixed Case.csv", &asked, QMessageBox::No);
    EXPECT_EQ(dialogs.chooseOutputFile("Save Palette Data", "Palette files|*.csv", proposed),
              dir.filePath("Mixed Case.csv"));
    EXPECT_EQ(asked, QString());
    typeInFileDialog("NewName.CSV", &asked, QMessageBox::No);
    EXPECT_EQ(dialogs.chooseOutputFile("Save Palette Data", "Palette files|*.csv", proposed),
              dir.filePath("NewName.CSV"));

    // Other save dialogs ask before replacing: No returns to the dialog (here closed).
    typeInFileDialog("Mixed Case.csv", &asked, QMessageBox::No);
    EXPECT_EQ(dialogs.saveFile("Export Table", "CSV files|*.csv", "qc.csv"), QString());
    EXPECT_TRUE(asked.contains("Mixed Case.csv")) << asked.toStdString();
    // The folder chosen is where that dialog opens next time.
    EXPECT_EQ(lastFolder("Save Palette Data"), dir.path());
}

} // namespace
} // namespace zul
