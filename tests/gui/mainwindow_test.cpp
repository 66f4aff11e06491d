// The main window against a real workbench and a scripted Dialogs, on the offscreen platform:
// names and captions, Enter and focus in the fields, sliders, switches, the swatch, the tint.
#include "gui/mainwindow.h"
#include "gui/qtdialogs.h"
#include "munsell/table.h"
#include "support/scripteddialogs.h"
#include "workbench/workbench.h"
#include "workbench/workbench_fixture.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace zul {
namespace {

using testing::ScriptedDialogs;

using testing::sharedTable;

class MainWindowTest : public testing::WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        window = std::make_unique<MainWindow>(*wb);
        dialogs.clear();
    }

    template <typename T = QWidget> T* find(const QString& name) {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QLineEdit* field(const QString& name) { return find<QLineEdit>(name); }
    QString text(const QString& name) { return field(name)->text(); }
    int position(const QString& name) { return find<QSlider>(name)->value(); }

    // Replaces the field's text as the user would: select all, type.
    void type(const QString& name, const QString& t) {
        QLineEdit* f = field(name);
        f->selectAll();
        if (t.isEmpty())
            QTest::keyClick(f, Qt::Key_Delete);
        else
            QTest::keyClicks(f, t);
    }
    void enter(const QString& name) { QTest::keyClick(field(name), Qt::Key_Return); }
    void typeAndEnter(const QString& name, const QString& t) {
        type(name, t);
        enter(name);
    }
    void click(const QString& name) { find<QAbstractButton>(name)->click(); }
    QColor swatchColour() {
        QWidget* swatch = find("Picture1");
        return swatch->grab().toImage().pixelColor(swatch->width() / 2, swatch->height() / 2);
    }
    void showActive() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, HasEveryControlByNameWithItsCaption) {
    EXPECT_EQ(window->windowTitle(), "Chromatel  -");
    const QStringList fields = {
        "Text12_0", "Text12_1", "Text12_2", "Text11_0", "Text11_1", "Text11_2", "Text18_0",
        "Text18_1", "Text15_0", "Text15_1", "Text15_2", "Text1_0",  "Text1_1",  "Text1_2",
        "Text2_0",  "Text2_1",  "Text2_2",  "Text2_3",  "Text5",    "Text3",    "Text4"};
    for (const QString& name : fields)
        field(name);
    for (int i = 1; i <= 8; ++i)
        find<QSlider>(QString("VScroll%1").arg(i));
    for (const char* name : {"Picture1", "Label19", "Label1", "Label6", "Label5", "MunsellNote"})
        find(name);

    const std::pair<const char*, const char*> captions[] = {
        {"Option1_0", "C 1931"},
        {"Option1_1", "D5000"},
        {"Option1_2", "D65 10"},
        {"Check1", "PWD"},
        {"Check2", "Display Hue Page"},
        {"Check3", "Color Tolerence Set"},
        {"Check4", "Display Value Page"},
        {"Check5", "Display ColorChecker"},
        {"Check6", "Image Analysis"},
        {"Check7", "3D Display of HVC "},
        {"Check8", "Spectral"},
        {"Check9", "Quality Control"},
        {"Command11", "Save to Palette"},
        {"Command3", "Make Table"},
        {"import", "Import"},
        {"printB", "PRINT"},
        {"Command1", "Help"},
        {"Command2", "Exit"},
        {"Command7", "Calibrate"},
        {"Command8", "Measure"},
    };
    // Shown without the mnemonic's '&'.
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(find<QAbstractButton>(name)->text().remove('&'), caption) << name;
    EXPECT_EQ(find<QLabel>("Label5")->text(), "ZUL");
    EXPECT_EQ(find<QLabel>("Label3")->text(), "Comm Port");

    // The option buttons sit in the "Illuminant" frame, the instrument controls in "Instrument".
    auto* option = find<QRadioButton>("Option1_0");
    auto* illuminant = qobject_cast<QGroupBox*>(option->parentWidget());
    ASSERT_NE(illuminant, nullptr);
    EXPECT_EQ(illuminant->title().remove('&'), "Illuminant");
    auto* instrument = qobject_cast<QGroupBox*>(find("Combo1")->parentWidget());
    ASSERT_NE(instrument, nullptr);
    EXPECT_EQ(instrument->title().remove('&'), "Instrument");
    EXPECT_EQ(find("Command8")->parentWidget(), instrument);

    QStringList labels;
    for (QLabel* l : window->findChildren<QLabel*>())
        labels << l->text();
    EXPECT_TRUE(labels.contains("Messages"));
    EXPECT_TRUE(labels.contains("Imported File"));
}

TEST_F(MainWindowTest, StartsAsWithoutSettingsFile) {
    auto* combo = find<QComboBox>("Combo1");
    EXPECT_TRUE(combo->isEditable());
    EXPECT_EQ(combo->currentText(), "");
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    EXPECT_EQ(items, QStringList({"Import", "CE7000", "CE7000A", "CE2180", "XTH", "Ci5/Ci7",
                                  "Spectrolino", "SpectroEye"}));
    for (const char* hidden : {"Command7", "Command8", "Text4", "Label3"})
        EXPECT_TRUE(find(hidden)->isHidden()) << hidden;
    EXPECT_EQ(text("Text4"), "1");

    // The design-time entry, converted under illuminant C, fills every form.
    EXPECT_EQ(text("Text12_0"), "6.4Y");
    EXPECT_EQ(text("Text12_1"), "8.6");
    EXPECT_EQ(text("Text12_2"), "10.4");
    for (const char* name :
         {"Text11_0", "Text11_1", "Text11_2", "Text18_0", "Text18_1", "Text15_0", "Text15_1",
          "Text15_2", "Text1_0", "Text1_1", "Text1_2", "Text2_0", "Text2_1", "Text2_2", "Text2_3"})
        EXPECT_FALSE(text(name).isEmpty()) << name;
    EXPECT_EQ(text("Text5"), "2.2");
    EXPECT_EQ(position("VScroll8"), 22);
    EXPECT_EQ(position("VScroll7"), 100);
    EXPECT_TRUE(find<QRadioButton>("Option1_0")->isChecked());
    EXPECT_EQ(find<QLabel>("Label1")->text(), "illuminant C  2° Observer ");
    const std::array<int, 3> rgb = wb->displayRgb();
    EXPECT_EQ(swatchColour(), QColor(rgb[0], rgb[1], rgb[2]));
    EXPECT_EQ(text("Text1_0"), QString::number(rgb[0]));
}

TEST_F(MainWindowTest, MunsellEnterRefreshesFormsAndSliders) {
    typeAndEnter("Text12_0", "5R");
    typeAndEnter("Text12_1", "4");
    typeAndEnter("Text12_2", "10");
    EXPECT_EQ(position("VScroll1"), 10);
    EXPECT_EQ(position("VScroll2"), 8);
    EXPECT_EQ(position("VScroll3"), 10);
    const QString redX = text("Text11_0");

    // Typed without Enter, the hue still counts when Enter is pressed in another field.
    type("Text12_0", "6.4Y");
    type("Text12_1", "8.6");
    type("Text11_0", "garbage");
    QSignalSpy refreshes(wb.get(), &Workbench::changed);
    typeAndEnter("Text12_2", "10.4");
    EXPECT_EQ(position("VScroll1"), 53);
    EXPECT_EQ(position("VScroll2"), 17);
    EXPECT_EQ(position("VScroll3"), 10);
    EXPECT_NE(text("Text11_0"), "garbage");
    EXPECT_NE(text("Text11_0"), redX);
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    // Syncing the sliders from the chain's result never starts another chain.
    EXPECT_EQ(refreshes.count(), 1);
    const std::array<int, 3> rgb = wb->displayRgb();
    EXPECT_EQ(swatchColour(), QColor(rgb[0], rgb[1], rgb[2]));
    EXPECT_EQ(text("Text1_1"), QString::number(rgb[1]));
}

TEST_F(MainWindowTest, OutOfMunsellRangeIsShownOncePerEntry) {
    typeAndEnter("Text12_2", "41");
    EXPECT_EQ(dialogs.messages(), QStringList{"Out of Munsell Range"});

    dialogs.clear();
    type("Text12_2", "10.4");
    typeAndEnter("Text12_1", "10.5");
    EXPECT_EQ(dialogs.messages(), QStringList{"Out of Munsell Range"});
    // The window shows the workbench's state after the failure, not the slider's old echo.
    EXPECT_EQ(text("Text12_1"), "10.5");
}

TEST_F(MainWindowTest, KeypadEnterStartsTheChainAndOtherKeysDoNot) {
    type("Text15_0", "50");
    type("Text15_1", "0");
    type("Text15_2", "0");
    const QString before = text("Text11_1");
    QTest::keyClick(field("Text15_2"), Qt::Key_Tab);
    QTest::keyClick(field("Text15_2"), Qt::Key_A);
    EXPECT_EQ(text("Text11_1"), before);
    type("Text15_2", "0");
    QTest::keyClick(field("Text15_2"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(text("Text11_1"), "18.42"); // L* 50 is Y 18.42
    EXPECT_EQ(text("Text15_0"), "50");    // the CIELAB fields keep what was typed
}

TEST_F(MainWindowTest, RgbEntriesAreClampedRoundedAndFollowedBySliders) {
    type("Text1_0", "300");
    type("Text1_1", "-5");
    typeAndEnter("Text1_2", "12.5");
    EXPECT_EQ(text("Text1_0"), "255");
    EXPECT_EQ(text("Text1_1"), "0");
    EXPECT_EQ(text("Text1_2"), "12");
    EXPECT_EQ(position("VScroll4"), 255);
    EXPECT_EQ(position("VScroll5"), 0);
    EXPECT_EQ(position("VScroll6"), 12);
    EXPECT_EQ(swatchColour(), QColor(255, 0, 12));

    // Text is refused, not read as 0: the fields keep it and the colour stays.
    type("Text1_0", "abc");
    type("Text1_1", "x");
    typeAndEnter("Text1_2", "?");
    EXPECT_EQ(text("Text1_0"), "abc");
    EXPECT_EQ(text("Text1_1"), "x");
    EXPECT_EQ(position("VScroll4"), 255);
    EXPECT_EQ(swatchColour(), QColor(255, 0, 12));
}

TEST_F(MainWindowTest, XyzZeroShowsVeryDarkGreyWithoutWarning) {
    type("Text11_0", "0");
    type("Text11_1", "0");
    typeAndEnter("Text11_2", "0");
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    EXPECT_EQ(find<QLabel>("Label19")->text(), "");
    const QColor c = swatchColour();
    EXPECT_GT(c.red() + c.green() + c.blue(), 0);
    EXPECT_LE(std::max({c.red(), c.green(), c.blue()}), 10);
    EXPECT_LE(std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}),
              2);
    EXPECT_EQ(text("Text1_0"), QString::number(c.red()));
}

TEST_F(MainWindowTest, OutOfRgbRangeShowsTheWarningAndBlack) {
    type("Text11_0", "10");
    type("Text11_1", "50");
    typeAndEnter("Text11_2", "10"); // a green far outside the display's gamut
    EXPECT_EQ(find<QLabel>("Label19")->text(), "Out of RGB Range");
    EXPECT_EQ(swatchColour(), QColor(0, 0, 0));
    EXPECT_EQ(text("Text1_1"), "0");
    typeAndEnter("Text12_2", "2");
    EXPECT_EQ(find<QLabel>("Label19")->text(), "");
}

TEST_F(MainWindowTest, ChromaticityWithZeroYStopsBeforeXAndZ) {
    type("Text11_0", "11.11");
    type("Text11_2", "22.22");
    const QString lab = text("Text15_0");
    typeAndEnter("Text18_1", "0");
    EXPECT_EQ(text("Text11_0"), "11.11");
    EXPECT_EQ(text("Text11_2"), "22.22");
    EXPECT_EQ(text("Text15_0"), lab);
    EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST_F(MainWindowTest, EveryIlluminantOptionRewritesLabel1AndAllForms) {
    const QString captions[] = {"illuminant C  2° Observer ", "illuminant D5000 2° Observer ",
                                "Illuminant D65  10° Observer "};
    const QStringList rewritten = {"Text11_0", "Text11_2", "Text18_0",
                                   "Text15_1", "Text15_2", "Text1_2"};
    auto snapshot = [&] {
        QStringList s;
        for (const QString& n : rewritten)
            s << text(n);
        return s;
    };
    QStringList previous = snapshot();
    for (int i : {1, 2, 0}) {
        click(QString("Option1_%1").arg(i));
        EXPECT_EQ(wb->illuminant(), i);
        EXPECT_EQ(find<QLabel>("Label1")->text(), captions[i]);
        const QStringList now = snapshot();
        for (int k = 0; k < rewritten.size(); ++k)
            EXPECT_NE(now[k], previous[k]) << "option " << i << " " << rewritten[k].toStdString();
        previous = now;
        EXPECT_EQ(text("Text12_0"), "6.4Y");
    }
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(MainWindowTest, UserSlidersStartChainsAndProgrammaticMovesDoNot) {
    auto* chroma = find<QSlider>("VScroll3");
    chroma->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(text("Text12_2"), "11");
    EXPECT_EQ(wb->slider(Slider::Chroma), 11);

    auto* value = find<QSlider>("VScroll2");
    QTest::keyClick(value, Qt::Key_Down);
    EXPECT_EQ(text("Text12_1"), "8");

    auto* red = find<QSlider>("VScroll4");
    red->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(text("Text1_0"), "0");
    EXPECT_EQ(wb->displayRgb()[0], 0);

    // A chain run by the workbench alone moves the sliders without calling back.
    QSignalSpy refreshes(wb.get(), &Workbench::changed);
    wb->setText(Field::Chroma, "4");
    wb->muncie();
    EXPECT_EQ(chroma->value(), 4);
    EXPECT_EQ(refreshes.count(), 1);
}

TEST_F(MainWindowTest, SwatchPressSamplesTheColourUnderThePointer) {
    QWidget* swatch = find("Picture1");
    const std::array<int, 3> shown = wb->displayRgb();
    QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(text("Text1_0"), QString::number(shown[0]));
    EXPECT_EQ(text("Text1_2"), QString::number(shown[2]));
    // No channel at 0 or 255: the RGB chain ran and wrote the Munsell notation back, the value
    // now in the two-decimal form of the CIE-to-Munsell direction.
    EXPECT_TRUE(QRegularExpression("^8\\.\\d\\d$").match(text("Text12_1")).hasMatch())
        << text("Text12_1").toStdString();

    // A colour with a channel at an end is only written into the fields.
    type("Text1_0", "255");
    type("Text1_1", "0");
    typeAndEnter("Text1_2", "12");
    type("Text1_0", "1");
    const QString x = text("Text11_0");
    QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(swatch->width() - 3, 3));
    EXPECT_EQ(text("Text1_0"), "255");
    EXPECT_EQ(text("Text11_0"), x);
}

TEST_F(MainWindowTest, TintRecoloursTheNamedControlsAndHidesTheLogo) {
    auto windowColour = [&](const char* name) {
        return find(name)->palette().color(QPalette::Window);
    };
    auto buttonColour = [&](const char* name) {
        return find(name)->palette().color(QPalette::Button);
    };
    auto fieldColour = [&](const char* name) {
        return find(name)->palette().color(QPalette::Base);
    };
    const QColor gammaBefore = fieldColour("Text5");
    const QColor tableButton = buttonColour("Command3");
    EXPECT_TRUE(find("Picture2")->isVisibleTo(window.get()));

    find<QSlider>("VScroll7")->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(wb->slider(Slider::Tint), 50);
    const std::array<int, 3> w = wb->tintBackground();
    const std::array<int, 3> f = wb->tintFieldBackground();
    const QColor bg(w[0], w[1], w[2]);
    const QColor fieldBg(f[0], f[1], f[2]);
    // Red gain stays 1, blue gain is position / 100.
    EXPECT_EQ(bg.red(), 200);
    EXPECT_EQ(bg.blue(), 100);
    EXPECT_EQ(fieldBg.red(), 255);

    EXPECT_EQ(window->palette().color(QPalette::Window), bg);
    for (const char* caption : {"Label1", "Label19", "Label5", "Label21", "MunsellNote"})
        EXPECT_EQ(windowColour(caption), bg) << caption;
    EXPECT_EQ(find<QGroupBox>("Frame_Instrument")->palette().color(QPalette::Window), bg);
    for (const char* button : {"Command1", "Command2", "Command7", "Command8", "Command11"})
        EXPECT_EQ(buttonColour(button), bg) << button;
    for (const char* name :
         {"Text12_0", "Text11_2", "Text18_1", "Text15_0", "Text1_2", "Text2_3", "Text3", "Text4"})
        EXPECT_EQ(fieldColour(name), fieldBg) << name;
    EXPECT_EQ(fieldColour("Text5"), gammaBefore);
    EXPECT_EQ(buttonColour("Command3"), tableButton);
    EXPECT_EQ(buttonColour("printB"), tableButton);
    EXPECT_FALSE(find("Picture2")->isVisibleTo(window.get()));

    find<QSlider>("VScroll7")->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(200, 200, 200));
    EXPECT_EQ(fieldColour("Text12_0"), QColor(255, 255, 255));
    EXPECT_TRUE(find("Picture2")->isVisibleTo(window.get()));
}

TEST_F(MainWindowTest, GammaFieldAndSliderFollowEachOther) {
    const QString blue = text("Text1_2");
    type("Text5", "1.8");
    EXPECT_EQ(position("VScroll8"), 18);
    EXPECT_FLOAT_EQ(wb->displayExponents()[0], 1.0f / 1.8f);
    EXPECT_NE(text("Text1_2"), blue);

    type("Text5", "4"); // outside 1..3: ignored
    EXPECT_EQ(position("VScroll8"), 18);
    EXPECT_EQ(text("Text5"), "4");

    find<QSlider>("VScroll8")->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(text("Text5"), "3");
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(MainWindowTest, SwitchesAndPwdReachTheWorkbench) {
    QSignalSpy switches(wb.get(), &Workbench::switchChanged);
    click("Check2");
    EXPECT_TRUE(wb->switchOn(Switch::HuePage));
    click("Check7");
    EXPECT_TRUE(wb->switchOn(Switch::Viewer));
    click("Check2");
    EXPECT_FALSE(wb->switchOn(Switch::HuePage));
    EXPECT_EQ(switches.count(), 3);

    click("Check1");
    EXPECT_EQ(wb->pwdState(), 1);
    click("Check1");
    EXPECT_EQ(wb->pwdState(), 0);
}

TEST_F(MainWindowTest, HelpShowsTheThirteenLines) {
    const QStringList expected = {
        "Enter Hue, Value and Chroma and press 'Enter'",
        "Neutrals - Enter value and set Chroma to zero - ignore Hue",
        "Hue Names - R YR Y GY G BG B PB P RP ",
        "                      or",
        "Enter X,Y and Z and press 'Enter'",
        "                      or",
        "Enter L*,a* and b* and press 'Enter'",
        "                  or",
        "Enter R,G or B and press enter",
        "",
        "Checking PWD sets the Value scale to 10 for a Y value of 100",
        "",
        "'Save to Palette' saves a Palette file for opening with Excel or viewing with Optional "
        "3D Palette Viewer (option 2)",
    };
    EXPECT_FALSE(helpText().contains('\n'));
    EXPECT_EQ(helpText().split(QChar(13)), expected);

    click("Command1");
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].title, "Munsell ZUL Help");
    EXPECT_EQ(dialogs.shown()[0].text, helpText());
}

TEST_F(MainWindowTest, PrintWithoutPrinterSaysPrinterNotFound) {
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "a default printer is installed; not printing from a test";
    click("printB");
    EXPECT_EQ(dialogs.messages(), QStringList{"Printer not Found"});
}

TEST_F(MainWindowTest, SaveToPaletteAsksThroughDialogs) {
    click("Command11"); // the save dialog cancelled: nothing saved
    ASSERT_FALSE(dialogs.shown().isEmpty());
    EXPECT_EQ(dialogs.shown()[0].kind, "save");

    // A save with the 3D display ticked has the viewer reload the palette.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSignalSpy reloads(wb.get(), &Workbench::viewerReload);
    click("Check7");
    dialogs.queueReply(dir.filePath("saved"));
    dialogs.queueReply("tag");
    click("Command11");
    EXPECT_TRUE(QFile::exists(dir.filePath("saved.csv")));
    EXPECT_EQ(reloads.count(), 1);
}

TEST_F(MainWindowTest, FocusSelectsTheWholeText) {
    showActive();
    QLineEdit* value = field("Text12_1");
    value->deselect();
    QTest::mouseClick(value, Qt::LeftButton, {}, QPoint(3, value->height() / 2));
    QCoreApplication::processEvents();
    EXPECT_TRUE(value->hasFocus());
    EXPECT_EQ(value->selectedText(), "8.6");

    // Tab order runs form by form.
    QLineEdit* hue = field("Text12_0");
    hue->setFocus(Qt::OtherFocusReason);
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 18; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCoreApplication::processEvents();
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order, QStringList({"Text12_0", "Text12_1", "Text12_2", "Text11_0", "Text11_1",
                                  "Text11_2", "Text18_0", "Text18_1", "Text15_0", "Text15_1",
                                  "Text15_2", "Text1_0", "Text1_1", "Text1_2", "Text2_0", "Text2_1",
                                  "Text2_2", "Text2_3", "Text5"}));
    auto* focused = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->selectedText(), "2.2");
}

TEST_F(MainWindowTest, ExtrapolationNoteFollowsTheWorkbench) {
    EXPECT_EQ(find<QLabel>("MunsellNote")->text(), "");
    // A saturated blue lies beyond the renotation data.
    type("Text1_0", "0");
    type("Text1_1", "0");
    typeAndEnter("Text1_2", "255");
    EXPECT_FALSE(wb->munsellNote().isEmpty());
    EXPECT_EQ(find<QLabel>("MunsellNote")->text(), wb->munsellNote());
    typeAndEnter("Text1_2", "128");
    typeAndEnter("Text1_0", "128");
    EXPECT_EQ(find<QLabel>("MunsellNote")->text(), "");
}

TEST_F(MainWindowTest, ExitAndClosingEndTheEventLoop) {
    // A stuck loop would be ended by the fallback with another code.
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    QTimer::singleShot(0, [&] { click("Command2"); });
    EXPECT_EQ(QApplication::exec(), 0);

    window->show();
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    QTimer::singleShot(0, [&] { window->close(); });
    EXPECT_EQ(QApplication::exec(), 0);
}

// The Qt dialogs themselves, answered by a timer that finds the open modal dialog.
TEST(QtDialogsTest, AnswersFollowTheButtonPressed) {
    QtDialogs dialogs;
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), "a\nb"); // lines separated by CR alone are shown as lines
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(dialogs.message("a\rb", "t", Dialogs::Buttons::YesNoCancel), Dialogs::Answer::No);

    QTimer::singleShot(0, [] {
        auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->textValue(), "ZULpalette");
        input->setTextValue("mine");
        input->accept();
    });
    EXPECT_EQ(dialogs.prompt("Name?", "t", "ZULpalette"), "mine");

    QTimer::singleShot(0, [] {
        auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr);
        input->reject();
    });
    EXPECT_EQ(dialogs.prompt("Name?", "t", "ZULpalette"), "");
}

TEST(QtDialogsTest, FileFiltersTakeQtsForm) {
    EXPECT_EQ(qtFileFilter("Text Files|*.txt"), "Text Files (*.txt)");
    EXPECT_EQ(qtFileFilter("Pictures|*.jpg;*.jpeg"), "Pictures (*.jpg *.jpeg)");
    EXPECT_EQ(qtFileFilter("Palettes|*.csv|All|*.*"), "Palettes (*.csv);;All (*.*)");
    EXPECT_EQ(qtFileFilter("Spectral (*.txt)|*.txt"), "Spectral (*.txt)");
    EXPECT_EQ(qtFileFilter(""), "");
}

} // namespace
} // namespace zul
