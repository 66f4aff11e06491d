#include "gui/mainwindow.h"
#include "batch/importwindow.h"
#include "batch/maketable.h"

#include "gui/manualwindow.h"
#include "gui/preferences.h"
#include "gui/printing.h"
#include "instruments/curveview.h"
#include "instruments/panel.h"
#include "widgets/filedrop.h"
#include "workbench/entryforms.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QConicalGradient>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <QScreen>
#include <QScrollArea>

#include <algorithm>
#include <functional>
#include <optional>

namespace zul {

// Picture1: a plain surface in the current display colour. A press reports the colour drawn
// under the pointer, read back from the rendered widget as the user sees it.
class Swatch : public QWidget {
public:
    explicit Swatch(QWidget* parent) : QWidget(parent) {
        setObjectName("Picture1");
        setMinimumSize(150, 130);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        setCursor(Qt::CrossCursor);
        setToolTip(tr("Click to take the colour under the pointer"));
    }

    void setColour(const QColor& c) {
        if (c == m_colour) return;
        m_colour = c;
        update();
    }
    QColor colour() const { return m_colour; }
    // The nearest displayable colour of an out-of-range colour, shown inside the black swatch.
    void setNearest(const std::optional<QColor>& c) {
        if (c == m_nearest) return;
        m_nearest = c;
        update();
    }
    std::optional<QColor> nearest() const { return m_nearest; }
    // Where the inset is painted, in widget coordinates; empty without one. In the lower right
    // corner, clear of the middle, so the swatch still reads as black.
    QRect insetRect() const {
        if (!m_nearest) return {};
        const int side = std::min(width(), height()) / 4;
        const int margin = 6;
        const int column = std::max(side, captionWidth());
        return QRect(width() - margin - (column + side) / 2,
                     height() - side - margin - fontMetrics().height() - 2, side, side);
    }
    int captionWidth() const { return fontMetrics().horizontalAdvance(kNearestCaption) + 4; }
    static constexpr const char* kNearestCaption = "nearest shown";

    std::function<void(const QColor&)> pressed;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), m_colour);
        if (!m_nearest) return;
        const QRect inset = insetRect();
        p.fillRect(inset, *m_nearest);
        p.setPen(QColor(160, 160, 160));
        p.drawRect(inset.adjusted(0, 0, -1, -1));
        p.setPen(Qt::white);
        const int caption = captionWidth();
        p.drawText(QRect(inset.center().x() - caption / 2, inset.bottom() + 2, caption,
                         fontMetrics().height() + 2),
                   Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(kNearestCaption));
    }
    void mousePressEvent(QMouseEvent* e) override {
        const QImage pixel = grab(QRect(e->position().toPoint(), QSize(1, 1))).toImage();
        if (pressed && !pixel.isNull()) pressed(pixel.pixelColor(0, 0));
    }

private:
    QColor m_colour{Qt::black};
    std::optional<QColor> m_nearest;
};

namespace {

// Picture2: the product mark, a hue circle. Decoration only.
class HueRing : public QWidget {
public:
    explicit HueRing(QWidget* parent) : QWidget(parent) {
        setObjectName("Picture2");
        setFixedSize(32, 32);
        // Hidden below full tint without the title row moving.
        QSizePolicy policy = sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        setSizePolicy(policy);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QConicalGradient ring(rect().center(), 90);
        for (int i = 0; i <= 6; ++i)
            ring.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 200, 230));
        const QRectF outer = QRectF(rect()).adjusted(2, 2, -2, -2);
        QPainterPath path;
        path.addEllipse(outer);
        path.addEllipse(outer.adjusted(7, 7, -7, -7));
        p.fillPath(path, ring);
    }
};

constexpr std::array<const char*, 8> kInstruments = {
    "Import", "CE7000", "CE7000A", "CE2180", "XTH", "Ci5/Ci7", "Spectrolino", "SpectroEye"};

// Qt's check states to the 0 / 1 / 2 (cleared, ticked, greyed) the workbench keeps.
int checkValue(Qt::CheckState s) {
    return s == Qt::Checked ? 1 : s == Qt::PartiallyChecked ? 2 : 0;
}
Qt::CheckState checkState(int value) {
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

QColor colour(const std::array<int, 3>& rgb) {
    return QColor(rgb[0], rgb[1], rgb[2]);
}

} // namespace

QString helpText() {
    const QStringList lines = {
        "Enter Hue, Value and Chroma and press 'Enter'",
        "Neutrals - Enter value and set Chroma to zero - ignore Hue",
        "Hue Names - R YR Y GY G BG B PB P RP ",
        QString(22, ' ') + "or",
        "Enter X,Y and Z and press 'Enter'",
        QString(22, ' ') + "or",
        "Enter L*,a* and b* and press 'Enter'",
        QString(18, ' ') + "or",
        "Enter R,G or B and press enter",
        "",
        "Checking PWD sets the Value scale to 10 for a Y value of 100",
        "",
        "'Save to Palette' saves a Palette file for opening with Excel or viewing with Optional "
        "3D Palette Viewer (option 2)",
    };
    return lines.join(QChar(13));
}

MainWindow::MainWindow(Workbench& workbench, QWidget* parent)
    : QMainWindow(parent), m_workbench(workbench) {
    setObjectName("Form1");
    setWindowTitle("Chromatel  -");

    auto* central = new QWidget(this);
    auto* root = new QVBoxLayout(central);
    root->setContentsMargins(12, 8, 12, 10);
    root->setSpacing(8);

    root->addWidget(buildHeader());

    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildForms());
    auto* settings = new QHBoxLayout;
    settings->addWidget(buildIlluminant());
    settings->addWidget(buildSwitches(), 1);
    left->addLayout(settings);
    left->addStretch();
    body->addLayout(left);
    body->addWidget(buildSliders());
    body->addWidget(buildStatusColumn(), 1);
    root->addLayout(body, 1);

    auto* lower = new QHBoxLayout;
    lower->addWidget(buildInstrument());
    lower->addWidget(buildMessages(), 1);
    root->addLayout(lower);
    root->addWidget(buildButtons());

    // On a small screen (or a large scale factor) the window stays on the screen and its
    // contents scroll.
    auto* scroller = new QScrollArea;
    scroller->setObjectName("FormScroller");
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(central);
    setCentralWidget(scroller);
    setTabOrder();
    bindInstrument();
    addShortcuts();
    describeControls();

    connect(&m_workbench, &Workbench::changed, this, &MainWindow::refresh);
    connect(&m_workbench, &Workbench::switchChanged, this, &MainWindow::refresh);
    connect(&m_workbench, &Workbench::swatchChanged, this, &MainWindow::showSwatch);
    connect(&m_workbench, &Workbench::tintChanged, this, &MainWindow::applyTint);
    connect(&m_workbench, &Workbench::messageChanged, this, &MainWindow::showMessage);

    const std::array<int, 3> rgb = m_workbench.displayRgb();
    showSwatch(rgb[0], rgb[1], rgb[2]);
    refresh();
    applyTint();
    QSize size = sizeHint();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
}

QSize MainWindow::sizeHint() const {
    const auto* scroller = qobject_cast<const QScrollArea*>(centralWidget());
    if (!scroller || !scroller->widget()) return QMainWindow::sizeHint();
    // Fonts and the style's margins are known only once polished; before that the contents
    // ask for less than they take, and the window would open with scroll bars.
    QWidget* content = scroller->widget();
    content->ensurePolished();
    if (content->layout()) content->layout()->activate();
    QSize size = content->sizeHint().expandedTo(content->minimumSizeHint());
    // The word-wrapped notes ask for their height at the width they get, which the scroll area
    // takes as the contents' least height.
    if (content->hasHeightForWidth())
        size.setHeight(std::max(size.height(), content->heightForWidth(size.width())));
    return size;
}

QSize MainWindow::contentMinimumSize() const {
    const auto* scroller = qobject_cast<const QScrollArea*>(centralWidget());
    return scroller && scroller->widget() ? scroller->widget()->minimumSizeHint() : QSize();
}

void MainWindow::showMessage(const QString& text) {
    m_messages->setText(text);
    m_messages->setCursorPosition(0);
    m_messages->setToolTip(text); // a long path or reason in full
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::buildHeader() {
    auto* header = new QWidget;
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);

    auto* name = new QLabel("ZUL");
    name->setObjectName("Label5");
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    name->setFont(big);

    auto* subtitle = new QLabel(tr("Munsell colour notation workbench"));
    subtitle->setObjectName("Label21");
    QFont italic = subtitle->font();
    italic.setItalic(true);
    subtitle->setFont(italic);

    m_logo = new HueRing(header);
    row->addWidget(m_logo);
    row->addWidget(name);
    row->addSpacing(8);
    row->addWidget(subtitle, 0, Qt::AlignBottom);
    row->addStretch();
    return header;
}

QLabel* MainWindow::makeCaption(const QString& text, QWidget* buddy) {
    auto* caption = new QLabel(text);
    if (buddy) caption->setBuddy(buddy);
    return caption;
}

QLineEdit* MainWindow::makeField(Field f, const char* objectName) {
    auto* field = new QLineEdit;
    field->setObjectName(objectName);
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance("-000.0000") + 12);
    field->installEventFilter(this);
    m_fields[static_cast<int>(f)] = field;
    // The workbench holds what is typed, so a chain started from any field or another window
    // reads every field as the user left it.
    if (f == Field::Gamma)
        connect(field, &QLineEdit::textEdited, this,
                [this](const QString& t) { m_workbench.gammaTextChanged(t); });
    else
        connect(field, &QLineEdit::textEdited, this, [this, f](const QString& t) {
            m_workbench.setText(f, t);
            showStaleMarks(); // typed, not converted yet
        });
    return field;
}

QGroupBox* MainWindow::buildForms() {
    auto* box = new QGroupBox(tr("Colour"));
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(5);

    QFont bold = box->font();
    bold.setBold(true);
    int row = 0;
    for (const EntryFormInfo& form : entryForms()) {
        auto* formCaption = makeCaption(form.title);
        formCaption->setFont(bold);
        grid->addWidget(formCaption, row, 0);
        int column = 1;
        for (std::size_t i = 0; i < form.shown; ++i) {
            const EntryField& ff = form.fields[i];
            QLineEdit* field = makeField(ff.field, ff.objectName);
            m_tintedFields.push_back(field);
            auto* caption = makeCaption(ff.caption, field);
            caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid->addWidget(caption, row, column);
            grid->addWidget(field, row, column + 1);
            column += 2;
        }
        ++row;
    }
    // The note on extrapolated notations has a line of its own under the forms, kept when empty
    // so the window does not grow or reflow when one appears.
    m_munsellNote = new QLabel;
    m_munsellNote->setObjectName("MunsellNote");
    QFont note = m_munsellNote->font();
    note.setItalic(true);
    m_munsellNote->setFont(note);
    m_munsellNote->setWordWrap(true);
    m_munsellNote->setMinimumHeight(m_munsellNote->fontMetrics().height());
    QPalette notePalette = m_munsellNote->palette();
    notePalette.setColor(QPalette::WindowText, QColor(150, 40, 0));
    m_munsellNote->setPalette(notePalette);
    grid->addWidget(m_munsellNote, row, 1, 1, 9);
    grid->setColumnMinimumWidth(0, 60);
    for (int c = 1; c < 9; c += 2)
        grid->setColumnMinimumWidth(c, 24);
    grid->setColumnStretch(9, 1);
    return box;
}

QSlider* MainWindow::makeSlider(Slider s, const char* objectName) {
    auto* slider = new QSlider(Qt::Vertical);
    slider->setObjectName(objectName);
    const SliderRange r = sliderRange(s);
    slider->setRange(r.min, r.max);
    slider->setMinimumHeight(120);
    // Chains run when the user lets go, not at every step of a drag, so a drag across
    // positions out of range does not raise one message per step.
    slider->setTracking(false);
    m_sliders[static_cast<int>(s)] = slider;
    connect(slider, &QSlider::valueChanged, this,
            [this, s](int position) { m_workbench.sliderMoved(s, position); });
    return slider;
}

QGroupBox* MainWindow::buildSliders() {
    auto* box = new QGroupBox(tr("Sliders"));
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(3);

    QFont small = box->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    auto group = [&](const QString& name, int column, int span) {
        auto* label = new QLabel(name);
        label->setFont(small);
        label->setAlignment(Qt::AlignHCenter);
        grid->addWidget(label, 0, column, 1, span);
    };
    auto add = [&](int column, const QString& caption, QSlider* slider) {
        auto* label = makeCaption(caption, slider);
        label->setFont(small);
        label->setAlignment(Qt::AlignHCenter);
        grid->addWidget(label, 1, column);
        grid->addWidget(slider, 2, column, Qt::AlignHCenter);
    };
    // Columns 3 and 7 are gaps between the groups.
    group(tr("Munsell"), 0, 3);
    add(0, "H", makeSlider(Slider::Hue, "VScroll1"));
    add(1, "V", makeSlider(Slider::Value, "VScroll2"));
    add(2, "C", makeSlider(Slider::Chroma, "VScroll3"));
    grid->setColumnMinimumWidth(3, 6);
    group(tr("RGB"), 4, 3);
    add(4, "R", makeSlider(Slider::R, "VScroll4"));
    add(5, "G", makeSlider(Slider::G, "VScroll5"));
    add(6, "B", makeSlider(Slider::B, "VScroll6"));
    grid->setColumnMinimumWidth(7, 6);
    group(tr("Display"), 8, 2);
    add(8, tr("Gamma"), makeSlider(Slider::Gamma, "VScroll8"));
    add(9, tr("Tint"), makeSlider(Slider::Tint, "VScroll7"));
    QLineEdit* gamma = makeField(Field::Gamma, "Text5");
    gamma->setFixedWidth(gamma->fontMetrics().horizontalAdvance("0.00") + 16);
    grid->addWidget(gamma, 3, 8, Qt::AlignHCenter);
    grid->setRowStretch(2, 1);
    return box;
}

QWidget* MainWindow::buildStatusColumn() {
    auto* panel = new QWidget;
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(0, 6, 0, 0);

    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(1, 1, 1, 1);
    m_swatch = new Swatch(frame);
    m_swatch->pressed = [this](const QColor& c) {
        m_workbench.swatchPressed(c.red(), c.green(), c.blue());
    };
    inner->addWidget(m_swatch);
    col->addWidget(frame, 1);

    m_illuminantCaption = new QLabel;
    m_illuminantCaption->setObjectName("Label1");
    m_illuminantCaption->setAlignment(Qt::AlignHCenter);
    m_illuminantCaption->setWordWrap(true); // the swatch column stays narrow
    col->addWidget(m_illuminantCaption);

    // Under D50 and D65, how typed entries are read; kept when empty so nothing jumps.
    m_entryNote = new QLabel;
    m_entryNote->setObjectName("EntryNote");
    m_entryNote->setAlignment(Qt::AlignHCenter);
    m_entryNote->setWordWrap(true);
    QFont small = m_entryNote->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_entryNote->setFont(small);
    m_entryNote->setMinimumHeight(2 * m_entryNote->fontMetrics().height());
    col->addWidget(m_entryNote);

    m_rangeWarning = new QLabel;
    m_rangeWarning->setObjectName("Label19");
    m_rangeWarning->setAlignment(Qt::AlignHCenter);
    QFont bold = m_rangeWarning->font();
    bold.setBold(true);
    m_rangeWarning->setFont(bold);
    QPalette pal = m_rangeWarning->palette();
    pal.setColor(QPalette::WindowText, QColor(190, 0, 0));
    m_rangeWarning->setPalette(pal);
    // Keeps its line when empty so the layout does not jump when a warning appears.
    m_rangeWarning->setMinimumHeight(m_rangeWarning->fontMetrics().height());
    col->addWidget(m_rangeWarning);
    return panel;
}

QGroupBox* MainWindow::buildIlluminant() {
    auto* box = new QGroupBox("Illuminant");
    box->setObjectName("Frame_Illuminant");
    auto* col = new QVBoxLayout(box);
    auto* options = new QHBoxLayout;
    col->addLayout(options);
    m_illuminants = new QButtonGroup(this);
    const char* captions[] = {"C 1931", "D5000", "D65 10"};
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(captions[i]);
        option->setObjectName(QString("Option1_%1").arg(i));
        m_illuminants->addButton(option, i);
        options->addWidget(option);
    }
    // A click, not a toggle: refreshing from the workbench checks buttons without calling back.
    connect(m_illuminants, &QButtonGroup::idClicked, this,
            [this](int id) { m_workbench.selectIlluminant(id); });

    m_pwd = new QCheckBox("PWD");
    m_pwd->setObjectName("Check1");
    m_pwd->setToolTip(tr("Value 10 for a Y of 100"));
    connect(m_pwd, &QCheckBox::clicked, this,
            [this] { m_workbench.setPwd(checkValue(m_pwd->checkState())); });
    col->addWidget(m_pwd);

    m_adapt = new QCheckBox("Adapt entries to the illuminant");
    m_adapt->setObjectName("CheckAdapt");
    m_adapt->setToolTip(tr("Read XYZ, x y, CIELAB and RGB entries as colours under the selected "
                           "illuminant, so each form entered again gives back its colour"));
    connect(m_adapt, &QCheckBox::clicked, this,
            [this](bool on) { m_workbench.setAdaptEntries(on); });
    col->addWidget(m_adapt);
    col->addStretch();
    return box;
}

QGroupBox* MainWindow::buildSwitches() {
    auto* box = new QGroupBox(tr("Windows"));
    auto* grid = new QGridLayout(box);
    const char* captions[] = {
        "Display Hue Page", "Color Tolerence Set", "Display Value Page", "Display ColorChecker",
        "Image Analysis",   "3D Display of HVC ",  "Spectral",           "Quality Control"};
    for (int i = 0; i < static_cast<int>(Switch::Count); ++i) {
        auto* check = new QCheckBox(captions[i]);
        check->setObjectName(QString("Check%1").arg(i + 2));
        m_switches[static_cast<std::size_t>(i)] = check;
        const Switch s = static_cast<Switch>(i);
        connect(check, &QCheckBox::clicked, this,
                [this, s](bool on) { m_workbench.setSwitch(s, on); });
        // Two columns of up to four: the window keeps its width.
        grid->addWidget(check, i % 4, i / 4);
    }
    grid->setRowStretch(4, 1);
    return box;
}

QGroupBox* MainWindow::buildInstrument() {
    auto* box = new QGroupBox("Instrument");
    box->setObjectName("Frame_Instrument");
    auto* row = new QHBoxLayout(box);

    m_instrument = new QComboBox;
    m_instrument->setObjectName("Combo1");
    m_instrument->setEditable(true);
    for (const char* name : kInstruments)
        m_instrument->addItem(name);
    // No settings file yet: no instrument chosen.
    m_instrument->setCurrentIndex(-1);
    m_instrument->setEditText(QString());
    m_instrument->setMinimumContentsLength(12);
    row->addWidget(m_instrument);

    m_calibrate = new QPushButton("Calibrate");
    m_calibrate->setObjectName("Command7");
    m_measure = new QPushButton("Measure");
    m_measure->setObjectName("Command8");
    m_portCaption = new QLabel("Comm Port");
    m_portCaption->setObjectName("Label3");
    m_port = new QLineEdit("1");
    m_port->setObjectName("Text4");
    m_port->setFixedWidth(m_port->fontMetrics().horizontalAdvance("000") + 14);
    m_port->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_portCaption->setBuddy(m_port);
    m_tintedButtons.push_back(m_calibrate);
    m_tintedButtons.push_back(m_measure);
    m_tintedFields.push_back(m_port);
    row->addWidget(m_calibrate);
    row->addWidget(m_measure);
    row->addWidget(m_portCaption);
    row->addWidget(m_port);
    // Without an instrument there is nothing to calibrate, measure or connect.
    for (QWidget* w : {static_cast<QWidget*>(m_calibrate), static_cast<QWidget*>(m_measure),
                       static_cast<QWidget*>(m_portCaption), static_cast<QWidget*>(m_port)})
        w->setVisible(false);
    return box;
}

QWidget* MainWindow::buildMessages() {
    auto* panel = new QWidget;
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(6, 8, 0, 0);

    m_messages = new QLineEdit;
    m_messages->setObjectName("Text3");
    m_messages->setReadOnly(true);
    m_tintedFields.push_back(m_messages);
    grid->addWidget(makeCaption("Messages", m_messages), 0, 0);
    grid->addWidget(m_messages, 0, 1);

    auto* imported = new QLabel;
    m_imported = imported;
    imported->setObjectName("Label6");
    imported->setTextFormat(Qt::PlainText); // a file's name and header, never markup
    imported->setFrameShape(QFrame::StyledPanel);
    imported->setFrameShadow(QFrame::Sunken);
    imported->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(makeCaption("Imported File"), 1, 0);
    grid->addWidget(imported, 1, 1);
    grid->setColumnStretch(1, 1);
    return panel;
}

QWidget* MainWindow::buildButtons() {
    auto* panel = new QWidget;
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 4, 0, 0);
    auto button = [&](const char* caption, const char* objectName) {
        auto* b = new QPushButton(caption);
        b->setObjectName(objectName);
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };

    QPushButton* save = button("Save to Palette", "Command11");
    m_tintedButtons.push_back(save);
    connect(save, &QPushButton::clicked, this, [this] {
        const Dialogs::AskedBy asking(m_workbench.dialogs(), this);
        m_workbench.savePressed();
    });
    QPushButton* makeTable = button("Make Table", "Command3");
    connect(makeTable, &QPushButton::clicked, this, [this] {
        const Dialogs::AskedBy asking(m_workbench.dialogs(), this);
        // The file dialog asks before an existing table is replaced.
        const QString file = m_workbench.dialogs().saveFile(
            "Make Table", "Munsell table (*.prn)|*.prn", batch::kTableFile);
        if (!file.isEmpty()) batch::runMakeTable(m_workbench, file);
    });
    QPushButton* import = button("Import", "import");
    connect(import, &QPushButton::clicked, this, [this] {
        batch::runImport(m_workbench, this, [this](const QString& palette) {
            return batch::chooseImport(m_workbench.dialogs(), palette, this);
        });
    });
    row->addStretch();
    QPushButton* copyAs = button("Copy as", "copyAs");
    auto* copyMenu = new QMenu(copyAs);
    copyMenu->setObjectName("copyAsMenu");
    const std::pair<const char*, CopyForm> forms[] = {{"Notation (5R 4/14)", CopyForm::Notation},
                                                      {"Hex (#C85A5A)", CopyForm::Hex},
                                                      {"CIELAB (L* a* b*)", CopyForm::Lab},
                                                      {"CSV line", CopyForm::Csv}};
    for (const auto& [caption, form] : forms)
        copyMenu->addAction(caption, this, [this, f = form] { copyColour(f); });
    copyAs->setMenu(copyMenu);
    QPushButton* saveAs = button("Save as\u2026", "saveAs");
    connect(saveAs, &QPushButton::clicked, this, [this] {
        const Dialogs::AskedBy asking(m_workbench.dialogs(), this);
        saveChartAs(m_workbench.dialogs(), windowPicture(*this));
    });
    QPushButton* print = button("PRINT", "printB");
    connect(print, &QPushButton::clicked, this, &MainWindow::print);
    QPushButton* help = button("Help", "Command1");
    m_tintedButtons.push_back(help);
    connect(help, &QPushButton::clicked, this, &MainWindow::showHelp);
    QPushButton* manual = button("User manual", "manualB");
    connect(manual, &QPushButton::clicked, this, &MainWindow::showManual);
    QPushButton* exit = button("Exit", "Command2");
    m_tintedButtons.push_back(exit);
    connect(exit, &QPushButton::clicked, this, [] { QCoreApplication::quit(); });
    return panel;
}

void MainWindow::setTabOrder() {
    std::vector<QWidget*> chain;
    for (const EntryFormInfo& form : entryForms())
        for (std::size_t i = 0; i < form.shown; ++i)
            chain.push_back(m_fields[static_cast<int>(form.fields[i].field)]);
    chain.push_back(m_fields[static_cast<int>(Field::Gamma)]);
    for (Slider s : {Slider::Hue, Slider::Value, Slider::Chroma, Slider::R, Slider::G, Slider::B,
                     Slider::Gamma, Slider::Tint})
        chain.push_back(m_sliders[static_cast<int>(s)]);
    chain.push_back(m_illuminants->button(0));
    chain.push_back(m_illuminants->button(1));
    chain.push_back(m_illuminants->button(2));
    chain.push_back(m_pwd);
    chain.push_back(m_adapt);
    for (QCheckBox* c : m_switches)
        chain.push_back(c);
    chain.push_back(m_instrument);
    chain.push_back(m_calibrate);
    chain.push_back(m_measure);
    chain.push_back(m_port);
    for (const char* name :
         {"Command11", "Command3", "import", "printB", "Command1", "manualB", "Command2"})
        chain.push_back(findChild<QPushButton*>(name));
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (!field) return QMainWindow::eventFilter(watched, event);

    if (event->type() == QEvent::FocusIn) {
        // After the line edit has placed the cursor for a mouse press, not before.
        QTimer::singleShot(0, field, &QLineEdit::selectAll);
    } else if (event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        if (press->matches(QKeySequence::Paste)) {
            for (int i = 0; i < static_cast<int>(Field::Count); ++i)
                if (m_fields[i] == field && pasteColour(static_cast<Field>(i))) return true;
        }
        const int key = press->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (int i = 0; i < static_cast<int>(Field::Count); ++i) {
                if (m_fields[i] != field) continue;
                const Field f = static_cast<Field>(i);
                if (f != Field::Gamma) m_workbench.enterPressed(f);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_fitted) return;
    m_fitted = true;
    // Style metrics and fonts are final only once the contents are shown: they may then ask
    // for more than before. Grow to them where the screen allows, unless the user's own size
    // was restored.
    if (property(kGeometryRestored).toBool()) return;
    QTimer::singleShot(0, this, [this] {
        if (!screen()) return;
        const QSize fitted =
            fittedSize(size().expandedTo(sizeHint()), screen()->availableGeometry());
        if (fitted != size()) resize(fitted);
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program, whatever other windows are open.
    m_panel->stop();
    event->accept();
    QCoreApplication::quit();
}

void MainWindow::refresh() {
    for (int i = 0; i < static_cast<int>(Field::Count); ++i) {
        QLineEdit* field = m_fields[i];
        const QString text = m_workbench.text(static_cast<Field>(i));
        if (field->text() == text) continue;
        field->setText(text);
        // Long numbers in narrow fields show their leading digits.
        if (!field->hasFocus()) field->setCursorPosition(0);
    }
    for (int i = 0; i < static_cast<int>(Slider::Count); ++i) {
        const QSignalBlocker guard(m_sliders[i]);
        m_sliders[i]->setValue(m_workbench.slider(static_cast<Slider>(i)));
    }
    for (int i = 0; i < 3; ++i) {
        QAbstractButton* option = m_illuminants->button(i);
        const QSignalBlocker guard(option);
        option->setChecked(i == m_workbench.illuminant());
    }
    {
        const QSignalBlocker guard(m_pwd);
        m_pwd->setCheckState(checkState(m_workbench.pwdState()));
    }
    for (int i = 0; i < static_cast<int>(Switch::Count); ++i) {
        const QSignalBlocker guard(m_switches[i]);
        m_switches[i]->setChecked(m_workbench.switchOn(static_cast<Switch>(i)));
    }
    m_illuminantCaption->setText(m_workbench.illuminantCaption());
    m_rangeWarning->setText(m_workbench.rangeWarning());
    m_munsellNote->setText(m_workbench.munsellNote());
    m_entryNote->setText(m_workbench.entryNote());
    {
        const QSignalBlocker guard(m_adapt);
        m_adapt->setChecked(m_workbench.adaptEntries());
    }
    showStaleMarks();
    const auto nearest = m_workbench.nearestShown();
    m_swatch->setNearest(nearest ? std::optional<QColor>(colour(*nearest)) : std::nullopt);
    m_swatch->setAccessibleDescription(colourText(m_workbench, CopyForm::Notation));
}

void MainWindow::showStaleMarks() {
    for (int i = 0; i < static_cast<int>(Field::Count); ++i) {
        if (i == static_cast<int>(Field::Gamma)) continue;
        QLineEdit* field = m_fields[i];
        const bool stale = m_workbench.stale(static_cast<Field>(i));
        if (field->property("stale").toBool() == stale) continue;
        field->setProperty("stale", stale);
        QPalette p = field->palette();
        p.setColor(QPalette::Text,
                   stale ? QColor(140, 140, 140) : QApplication::palette().color(QPalette::Text));
        field->setPalette(p);
        field->setToolTip(stale ? QStringLiteral("not converted: press Enter to convert")
                                : QString());
    }
}

void MainWindow::showSwatch(int r, int g, int b) {
    m_swatch->setColour(QColor(r, g, b));
}

void MainWindow::applyTint() {
    const QColor window = colour(m_workbench.tintBackground());
    const QColor field = colour(m_workbench.tintFieldBackground());

    QPalette pal = palette();
    pal.setColor(QPalette::Window, window);
    setPalette(pal);
    for (QPushButton* b : m_tintedButtons) {
        QPalette p = b->palette();
        p.setColor(QPalette::Button, window);
        b->setPalette(p);
    }
    for (QLineEdit* f : m_tintedFields) {
        QPalette p = f->palette();
        p.setColor(QPalette::Base, field);
        f->setPalette(p);
    }
    m_logo->setVisible(m_workbench.logoVisible());
}

void MainWindow::showHelp() {
    const Dialogs::AskedBy asking(m_workbench.dialogs(), this);
    m_workbench.dialogs().message(helpText(), "Munsell ZUL Help", Dialogs::Buttons::Ok);
}

void MainWindow::showManual() {
    if (!m_manual) {
        m_manual = new ManualWindow({}, this);
        m_manual->setWindowFlag(Qt::Window);
    }
    m_manual->show();
    m_manual->raise();
    m_manual->activateWindow();
}

void MainWindow::print() {
    const Dialogs::AskedBy asking(m_workbench.dialogs(), this);
    if (!printWindowImage(*this)) m_workbench.dialogs().message("Printer not Found");
}

} // namespace zul

namespace zul {

void MainWindow::bindInstrument() {
    m_panel = new instruments::InstrumentPanel(m_workbench, QStringLiteral("."), this);
    connect(m_panel, &instruments::InstrumentPanel::changed, this, &MainWindow::showInstrument);
    connect(m_instrument, &QComboBox::activated, this,
            [this](int) { m_panel->listChosen(m_instrument->currentText()); });
    connect(m_instrument, &QComboBox::editTextChanged, m_panel,
            &instruments::InstrumentPanel::listEdited);
    m_instrument->setInsertPolicy(QComboBox::NoInsert);
    connect(m_port, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_panel->portEdited(text); });
    connect(m_calibrate, &QPushButton::clicked, this, [this] { m_panel->calibratePressed(); });
    connect(m_measure, &QPushButton::clicked, this, [this] { m_panel->measurePressed(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, m_panel, &instruments::InstrumentPanel::stop);
    // The reflectance curve beside the messages.
    if (auto* grid = qobject_cast<QGridLayout*>(m_messages->parentWidget()->layout())) {
        auto* curve = new instruments::CurveView(*m_panel);
        auto* log = new QPushButton("Log");
        log->setObjectName("InstrumentLog");
        log->setAutoDefault(false);
        connect(log, &QPushButton::clicked, curve, &instruments::CurveView::showLog);
        grid->addWidget(curve, 0, 2, 2, 1);
        grid->addWidget(log, 0, 3, 2, 1, Qt::AlignBottom);
    }
    m_panel->startUp();
    // A spectral file dropped on the window is imported as "Import" imports a chosen one.
    new FileDrop(this, {"txt"}, [this](const QString& file) { m_panel->importDropped(file); });
}

void MainWindow::showInstrument() {
    const instruments::InstrumentPanel& p = *m_panel;
    if (m_instrument->currentText() != p.listText()) m_instrument->setEditText(p.listText());
    if (m_port->text() != p.portText()) m_port->setText(p.portText());
    m_calibrate->setVisible(p.calibrateVisible());
    m_measure->setVisible(p.measureVisible());
    m_portCaption->setVisible(p.portVisible());
    m_port->setVisible(p.portVisible());
    m_calibrate->setText(p.calibrateCaption());
    m_measure->setText(p.measureCaption());
    m_calibrate->setEnabled(p.calibrateEnabled());
    m_measure->setEnabled(p.measureEnabled());
    m_instrument->setEnabled(p.listEnabled());
    m_port->setEnabled(p.listEnabled());
    m_messages->setText(p.message());
    m_messages->setCursorPosition(0);
    m_imported->setText(p.importedLabel());
}

} // namespace zul

namespace zul {

void MainWindow::addShortcuts() {
    auto clickOn = [this](const QKeySequence& keys, const char* button) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setObjectName(QStringLiteral("shortcut_") + button);
        auto* b = findChild<QPushButton*>(button);
        connect(shortcut, &QShortcut::activated, b, [b] {
            if (b->isVisible() && b->isEnabled()) b->click();
        });
    };
    clickOn(QKeySequence(Qt::CTRL | Qt::Key_S), "Command11"); // Save to Palette
    clickOn(QKeySequence(Qt::CTRL | Qt::Key_P), "printB");
    clickOn(QKeySequence(Qt::CTRL | Qt::Key_E), "saveAs");
    clickOn(QKeySequence(Qt::Key_F1), "Command1");           // Help
    clickOn(QKeySequence(Qt::CTRL | Qt::Key_Q), "Command2"); // Exit
    auto* copy = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this);
    copy->setObjectName("shortcut_copy");
    connect(copy, &QShortcut::activated, this, [this] { copyColour(CopyForm::Notation); });
}

void MainWindow::describeControls() {
    // Mnemonics: Alt and the underlined letter presses a button or moves into a group.
    const std::pair<const char*, const char*> buttons[] = {{"Command11", "&Save to Palette"},
                                                           {"Command3", "Make &Table"},
                                                           {"import", "&Import"},
                                                           {"copyAs", "C&opy as"},
                                                           {"saveAs", "Save &as\u2026"},
                                                           {"printB", "&PRINT"},
                                                           {"Command1", "&Help"},
                                                           {"Command2", "E&xit"},
                                                           {"InstrumentLog", "Lo&g"}};
    const std::pair<const char*, const char*> tips[] = {
        {"Command11", "Append the current colour to the palette file (Ctrl+S)"},
        {"Command3", "Write the Munsell reference table muntable2.prn"},
        {"import", "Run one of the batch jobs over a file"},
        {"copyAs", "Copy the current colour as notation, hex, CIELAB or a CSV line "
                   "(Ctrl+Shift+C: notation)"},
        {"saveAs", "Save this window as PDF or PNG (Ctrl+E)"},
        {"printB", "Print this window (Ctrl+P)"},
        {"Command1", "How to enter a colour (F1)"},
        {"Command2", "End the program (Ctrl+Q)"}};
    for (const auto& [name, caption] : buttons)
        if (auto* b = findChild<QPushButton*>(name)) b->setText(QString::fromUtf8(caption));
    for (const auto& [name, tip] : tips)
        if (auto* b = findChild<QPushButton*>(name)) b->setToolTip(QString::fromUtf8(tip));
    for (QGroupBox* box : findChildren<QGroupBox*>()) {
        static const std::pair<const char*, const char*> groups[] = {{"Colour", "&Colour"},
                                                                     {"Sliders", "S&liders"},
                                                                     {"Illuminant", "Ill&uminant"},
                                                                     {"Windows", "&Windows"},
                                                                     {"Instrument", "I&nstrument"}};
        for (const auto& [title, caption] : groups)
            if (box->title() == QLatin1String(title)) box->setTitle(QString::fromUtf8(caption));
    }

    // Fields by form and caption, unique across the window: "XYZ Y", "CMYK Y", "RGB B".
    for (const EntryFormInfo& form : entryForms()) {
        const QString title = QString::fromUtf8(form.title).remove('%').trimmed();
        for (std::size_t i = 0; i < form.shown; ++i) {
            QLineEdit* field = m_fields[static_cast<int>(form.fields[i].field)];
            field->setAccessibleName(title + ' ' + QString::fromUtf8(form.fields[i].caption));
        }
    }
    m_fields[static_cast<int>(Field::Gamma)]->setAccessibleName("Gamma");
    m_port->setAccessibleName("Comm Port");
    m_messages->setAccessibleName("Messages");
    m_instrument->setAccessibleName("Instrument");
    m_instrument->lineEdit()->setAccessibleName("Instrument name");
    m_swatch->setAccessibleName("Colour swatch");

    const std::pair<Slider, const char*> sliders[] = {
        {Slider::Hue, "Hue"},     {Slider::Value, "Value"}, {Slider::Chroma, "Chroma"},
        {Slider::R, "Red"},       {Slider::G, "Green"},     {Slider::B, "Blue"},
        {Slider::Gamma, "Gamma"}, {Slider::Tint, "Tint"}};
    for (const auto& [s, name] : sliders) {
        QSlider* slider = m_sliders[static_cast<int>(s)];
        slider->setAccessibleName(QString::fromUtf8(name) + " slider");
        slider->setToolTip(s == Slider::Tint ? QStringLiteral("Tint of the window")
                                             : QString::fromUtf8(name) + " (applied on release)");
    }
    static const char* const switchTips[] = {"Show the hue page of the current hue",
                                             "Show the CIELAB tolerance set",
                                             "Show the value page of the current value",
                                             "Show the ColorChecker chart",
                                             "Open the picture window",
                                             "Show the last palette in 3D",
                                             "Show the colorimetry of the current spectrum",
                                             "Judge samples against a standard"};
    static_assert(std::size(switchTips) == static_cast<std::size_t>(Switch::Count));
    for (std::size_t i = 0; i < m_switches.size(); ++i)
        m_switches[i]->setToolTip(QString::fromUtf8(switchTips[i]));
}

void MainWindow::copyColour(CopyForm form) {
    const QString text = colourText(m_workbench, form);
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

bool MainWindow::pasteColour(Field f) {
    const std::optional<EntryForm> target = formShowing(f);
    if (!target ||
        (*target != EntryForm::Munsell && *target != EntryForm::Rgb && *target != EntryForm::Lab))
        return false;
    const std::optional<PastedColour> pasted =
        readPastedColour(QGuiApplication::clipboard()->text());
    if (!pasted) return false;
    // The field's own form when the text carries it, else the form it does carry: the colour
    // converts either way.
    const std::pair<EntryForm, const std::optional<std::array<QString, 3>>*> carried[] = {
        {EntryForm::Munsell, &pasted->munsell},
        {EntryForm::Lab, &pasted->lab},
        {EntryForm::Rgb, &pasted->rgb}};
    EntryForm fill = *target;
    const std::array<QString, 3>* texts = nullptr;
    for (const auto& [form, value] : carried)
        if (form == *target && value->has_value()) texts = &**value;
    for (const auto& [form, value] : carried)
        if (!texts && value->has_value()) {
            fill = form;
            texts = &**value;
        }
    if (!texts) return false;
    const EntryFormInfo& info = entryForm(fill);
    for (std::size_t i = 0; i < 3; ++i)
        m_workbench.setText(info.fields[i].field, (*texts)[i]);
    m_workbench.enterPressed(info.enter);
    return true;
}

} // namespace zul
