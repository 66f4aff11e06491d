#include "imaging/picturewindow.h"

#include "imaging/palettebuilder.h"
#include "imaging/picturearea.h"
#include "records/atomicfile.h"
#include "text/numtext.h"
#include "widgets/backgroundtask.h"
#include "workbench/datafiles.h"
#include "workbench/palette.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <thread>

namespace zul {

namespace {

QLineEdit* field(const char* name, QWidget* parent, const QString& text = QString()) {
    auto* f = new QLineEdit(text, parent);
    f->setObjectName(name);
    f->setReadOnly(true);
    return f;
}

QString leadingBlank(std::int64_t v) {
    return QString::fromStdString(signedText(static_cast<double>(v)));
}

// The table the workbench holds, for worker workbenches made while the window waits for them.
std::shared_ptr<const RenotationTable> borrowedTable(const Workbench& wb) {
    return std::shared_ptr<const RenotationTable>(std::shared_ptr<const void>(), &wb.table());
}

const QColor kWorking(255, 255, 0);
const QColor kDone(0, 255, 0);
const QColor kIdle(255, 255, 255);

} // namespace

PictureWindow::PictureWindow(Workbench& workbench, const QString& picture, QWidget* parent)
    : QMainWindow(parent), m_wb(workbench), m_dialogs(workbench.dialogs()),
      m_probe(std::make_unique<Workbench>(borrowedTable(workbench), m_probeDialogs)) {
    setObjectName("Form2");
    setWindowTitle("Munsell Notation Picture Analysis");
    buildMenus();

    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    m_fileField = field("Text2", central);
    m_widthField = field("Text3", central);
    m_heightField = field("Text4", central);
    m_status = field("Text1", central);
    m_notation = field("Text5", central, "Click on picture to display Munsell Notation");
    m_position = field("Text6", central, "Pixel Location");
    m_swatch = field("Text7", central);
    m_swatch->setFocusPolicy(Qt::NoFocus);
    m_widthField->setMaximumWidth(80);
    m_heightField->setMaximumWidth(80);
    m_swatch->setMinimumWidth(80);
    m_profile = new QLabel(central);
    m_profile->setObjectName("profileLabel");
    m_profile->setTextFormat(Qt::PlainText); // the description comes from the picture file
    m_fit = new QCheckBox("Fi&t to window", central);
    m_fit->setObjectName("fitCheck");
    m_fit->setToolTip("Scale the picture to the window instead of scrolling it");
    connect(m_fit, &QCheckBox::toggled, this, &PictureWindow::setFitToWindow);

    grid->addWidget(new QLabel("Picture", central), 0, 0);
    grid->addWidget(m_fileField, 0, 1, 1, 3);
    grid->addWidget(new QLabel("Width", central), 0, 4);
    grid->addWidget(m_widthField, 0, 5);
    grid->addWidget(new QLabel("Height", central), 0, 6);
    grid->addWidget(m_heightField, 0, 7);
    grid->addWidget(m_fit, 0, 8);
    grid->addWidget(m_notation, 1, 0, 1, 4);
    grid->addWidget(m_position, 1, 4, 1, 3);
    grid->addWidget(m_swatch, 1, 7, 1, 2);
    grid->addWidget(m_status, 2, 0, 1, 4);
    grid->addWidget(m_profile, 2, 4, 1, 5);
    grid->setColumnStretch(1, 1);

    m_scroll = new QScrollArea(central);
    m_scroll->setObjectName("pictureScroll");
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_area = new PictureArea;
    m_scroll->setWidget(m_area);
    m_scroll->setWidgetResizable(false);
    m_area->setAccessibleName("Picture");
    const std::pair<QLineEdit*, const char*> names[] = {
        {m_fileField, "Picture file"},    {m_widthField, "Width"},
        {m_heightField, "Height"},        {m_status, "Status"},
        {m_notation, "Munsell notation"}, {m_position, "Pixel location"},
        {m_swatch, "Sampled colour"}};
    for (const auto& [f, name] : names)
        f->setAccessibleName(name);
    grid->addWidget(m_scroll, 3, 0, 1, 9);
    grid->setRowStretch(3, 1);
    setCentralWidget(central);
    setStatus(QString(), kIdle);

    connect(m_area, &PictureArea::pressed, this, [this](QPoint p) {
        if (m_mode == DisplayMode::Click) SamplePicture(p.x(), p.y());
    });
    connect(m_area, &PictureArea::moved, this, &PictureWindow::pictureMoved);

    m_fileName = findDataFile(picture);
    OpenPicture(true);

    // Room for the picture and the fields, within the screen; larger pictures scroll.
    QSize size(760, 520);
    if (!m_picture.isNull()) size = size.expandedTo(m_picture.image.size() + QSize(40, 150));
    if (const QScreen* s = screen()) size = size.boundedTo(s->availableSize() * 0.9);
    resize(size);
}

PictureWindow::~PictureWindow() = default;

void PictureWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    QAction* load = file->addAction("&Load Picture", this, &PictureWindow::loadPicture);
    load->setObjectName("mnuLoad");
    load->setShortcut(QKeySequence::Open);
    QAction* exit =
        file->addAction("e&Xit", this, [this] { m_wb.setSwitch(Switch::ImageAnalysis, false); });
    exit->setObjectName("mnuExit");

    QMenu* options = menuBar()->addMenu("&Options");
    QMenu* mode = options->addMenu("&Display Mode ");
    mode->addAction("&Mouse Click", this, [this] { m_mode = DisplayMode::Click; })
        ->setObjectName("mnuClick");
    mode->addAction("&Continuous at Mouse Position", this,
                    [this] { m_mode = DisplayMode::Continuous; })
        ->setObjectName("mnuContinuous");
    QMenu* pixels = options->addMenu("Sample &Pixels");
    for (int count : {1, 9, 25, 49, 81})
        pixels->addAction(QString::number(count), this, [this, count] { setSamplePixels(count); })
            ->setObjectName(QString("mnuPixels%1").arg(count));

    m_makeAction =
        menuBar()->addAction("&Make Palette of Image", this, &PictureWindow::BuildPalette);
    m_makeAction->setObjectName("mnuMakePalette");
    menuBar()
        ->addAction("&get clipboard", this, &PictureWindow::getClipboard)
        ->setObjectName("mnuClipboard");
    m_viewAction = menuBar()->addAction("&View 3D Palette", this, &PictureWindow::viewPalette);
    m_viewAction->setObjectName("mnuView3D");
    m_viewAction->setVisible(false);
    menuBar()->addAction("&Help", this, &PictureWindow::showHelp)->setObjectName("mnuHelp");
}

void PictureWindow::setSamplePixels(int count) {
    for (int h = 0; h <= 4; ++h)
        if ((2 * h + 1) * (2 * h + 1) == count) m_half = h;
}

void PictureWindow::setStatus(const QString& text, const QColor& background) {
    m_status->setText(text);
    m_status->setStyleSheet(QString("background-color: %1").arg(background.name()));
}

void PictureWindow::clearPicture() {
    m_picture = Picture();
    m_area->setImage(QImage());
    m_widthField->clear();
    m_heightField->clear();
    m_profile->clear();
    m_area->setAccessibleDescription("No picture");
}

void PictureWindow::setPicture(Picture picture) {
    m_picture = std::move(picture);
    m_area->setImage(m_picture.image);
    m_widthField->setText(QString::number(m_picture.image.width()));
    m_heightField->setText(QString::number(m_picture.image.height()));
    m_area->setAccessibleDescription(QStringLiteral("%1, %2 x %3 pixels")
                                         .arg(QFileInfo(m_fileName).fileName())
                                         .arg(m_picture.image.width())
                                         .arg(m_picture.image.height()));
    m_profile->setText(m_picture.profile.isEmpty()
                           ? QString("No colour profile: pixels taken as they are")
                           : "Colour profile " + m_picture.profile + " converted to sRGB");
    updateZoom();
}

bool PictureWindow::OpenPicture(bool useCurrentName) {
    const Dialogs::AskedBy asking(m_dialogs, this);
    if (!useCurrentName) {
        const QString chosen = m_dialogs.openFile("Load Picture", pictureFilter());
        if (chosen.isEmpty()) return false; // cancelled: the picture shown stays
        m_fileName = chosen;
    }
    if (m_fileName.isEmpty()) return false;
    m_viewAction->setVisible(false);
    m_fileField->setText(m_fileName);
    // The palette is named after the picture: the name without its folder and its last four
    // characters (the extension of "TestImage.jpg").
    const QString name = QFileInfo(m_fileName).fileName();
    m_wb.setPaletteFile(name.left(std::max<qsizetype>(0, name.size() - 4)));

    const PictureLoad loaded = zul::loadPicture(m_fileName);
    if (!loaded.error.isEmpty()) {
        clearPicture();
        m_dialogs.alert(Dialogs::Icon::Warning, loaded.error, windowTitle());
        return true;
    }
    setPicture(loaded.picture);
    return true;
}

bool PictureWindow::openPictureFile(const QString& file) {
    m_fileName = file;
    return OpenPicture(true);
}

void PictureWindow::loadPicture() {
    if (!OpenPicture(false)) return;
    setStatus(QString(), kIdle);
    m_paletteMade = false;
    m_builtPalette.clear();
}

void PictureWindow::getClipboard() {
    const Dialogs::AskedBy asking(m_dialogs, this);
    setStatus(QString(), kIdle);
    const QClipboard* clipboard = QGuiApplication::clipboard();
    Picture p = clipboard ? preparePicture(clipboard->image()) : Picture();
    if (p.isNull()) {
        m_dialogs.message("Clipboard empty or Picture too big");
        return;
    }
    m_viewAction->setVisible(false);
    m_paletteMade = false;
    m_builtPalette.clear();
    setPicture(std::move(p));
}

void PictureWindow::pictureMoved(QPoint pixel) {
    if (m_mode == DisplayMode::Continuous) SamplePicture(pixel.x(), pixel.y());
}

void PictureWindow::SamplePicture(int x, int y) {
    const auto average = sampleAverage(m_picture.view(), x, y, m_half);
    if (!average) return;
    m_area->flash(QRect(x - m_half, y - m_half, 2 * m_half + 1, 2 * m_half + 1));

    auto enter = [&](Workbench& wb) {
        wb.clearEntries(); // no field of the previous sample survives into this one
        wb.setText(Field::R, QString::number(average->r));
        wb.setText(Field::G, QString::number(average->g));
        wb.setText(Field::Bl, QString::number(average->b));
    };
    bool ok = true;
    if (m_mode == DisplayMode::Continuous) {
        // Every pointer movement samples: a colour the chain cannot convert is shown in the
        // notation display, not in a box per movement.
        m_probe->applyOptions(m_wb.options());
        enter(*m_probe);
        ok = m_probe->rgbChain();
        if (!ok) {
            enter(m_wb);
            emit m_wb.changed();
        }
    }
    if (ok) {
        enter(m_wb);
        ok = m_wb.rgbChain();
    }

    m_notation->setText(ok ? "Hue = " + m_wb.text(Field::Hue) + "   Value = " +
                                 m_wb.text(Field::Value) + "   Chroma = " + m_wb.text(Field::Chroma)
                           : QString("Out of Munsell Range"));
    m_position->setText("Position  X =" + leadingBlank(x) + "  Y =" + leadingBlank(y));
    const auto rgb = m_wb.displayRgb();
    m_swatch->setStyleSheet(
        QString("background-color: %1").arg(QColor(rgb[0], rgb[1], rgb[2]).name()));
}

void PictureWindow::BuildPalette() {
    const Dialogs::AskedBy asking(m_dialogs, this);
    if (m_building) return;
    if (m_paletteMade) {
        m_dialogs.message("Palette already made - reload or load new picture");
        return;
    }
    if (m_picture.isNull()) {
        m_dialogs.message("No picture to make a palette of - load a picture first");
        return;
    }
    const QString title = "Palette Generation";
    // Named after the picture, else the palette last chosen; the name stays as typed.
    const QString offered = m_wb.paletteFile().isEmpty() ? m_wb.lastPaletteName()
                                                         : withPaletteSuffix(m_wb.paletteFile());
    const QString fileName = askPaletteFile(m_dialogs, title, offered, PaletteWrite::Replace);
    m_wb.setPaletteFile(fileName);
    if (fileName.isEmpty()) return;
    m_wb.setLastPaletteName(fileName);

    const int width = m_picture.image.width(), height = m_picture.image.height();
    QString proposed = "10";
    PaletteGrid grid;
    for (;;) {
        const QString typed =
            m_dialogs.prompt("Granularity (average of pixels n x n)", title, proposed);
        if (typed.isEmpty()) return;
        proposed = typed;
        const GranularityAnswer g = readGranularity(typed, width, height);
        if (!g.problem.isEmpty()) {
            m_dialogs.message(g.problem, title);
            continue;
        }
        grid = paletteGrid(width, height, g.n);
        if (grid.blocks() > kPaletteViewerLimit) {
            m_dialogs.message("Too many pixels " + leadingBlank(grid.blocks()) +
                                  " Maximun 10,000 - increase granularity ",
                              title);
            continue;
        }
        if (m_dialogs.confirm("Total Pixels " + leadingBlank(grid.blocks()) + "   Generate Palette",
                              title))
            break;
    }

    show();
    activateWindow();
    setStatus("Building Palette " + leadingBlank(grid.columns), kWorking);

    // The picture's pixels stay alive and unchanged while the workers read them, whatever the
    // window does meanwhile.
    const QImage held = m_picture.image;
    PaletteBuildJob job;
    job.picture = {held.constBits(), held.width(), held.height(), held.bytesPerLine()};
    job.n = grid.n;
    job.fileName = fileName;
    job.table = borrowedTable(m_wb);
    job.options = m_wb.options();
    job.workers = m_workers > 0
                      ? m_workers
                      : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    BackgroundTask task;
    job.cancel = task.cancelFlag();
    job.progress = task.progress();

    m_building = true;
    menuBar()->setEnabled(false);
    m_area->setEnabled(false);
    QProgressDialog* dialog = task.addDialog(this, title, "Building palette " + fileName,
                                             static_cast<int>(grid.blocks()));
    task.onProgress([&] {
        const auto items = task.progress()->items.load();
        dialog->setValue(static_cast<int>(items));
        const std::int64_t columnsDone = items / std::max(1, grid.rows);
        setStatus("Building Palette " + leadingBlank(grid.columns - columnsDone), kWorking);
    });
    PaletteBuildResult result;
    task.run([&] { result = buildPalette(job); });
    m_building = false;
    menuBar()->setEnabled(true);
    m_area->setEnabled(true);

    if (result.cancelled) {
        setStatus("Palette not built - cancelled", kIdle);
        return;
    }
    if (!result.error.isEmpty()) {
        setStatus("Palette not built", kIdle);
        m_dialogs.alert(Dialogs::Icon::Warning, result.error, title);
        return;
    }
    if (result.failed > 0)
        m_dialogs.alert(Dialogs::Icon::Warning,
                        QString("%1 of %2 blocks could not be converted and have no record in "
                                "%3 (the first at %4)")
                            .arg(result.failed)
                            .arg(grid.blocks())
                            .arg(wholePath(fileName), result.firstFailure),
                        title);
    setStatus("Palette Done and saved as " + wholePath(fileName), kDone);
    m_area->setGrid(grid.n, grid.columns, grid.rows);
    m_paletteMade = true;
    m_builtPalette = fileName;
    m_viewAction->setVisible(true);
}

void PictureWindow::viewPalette() {
    if (m_builtPalette.isEmpty()) return;
    emit m_wb.paletteViewRequested(m_builtPalette);
}

void PictureWindow::showHelp() {
    const Dialogs::AskedBy asking(m_dialogs, this);
    const QString crlf = "\r\n";
    const QString text =
        "Displays Munsell Notation of Selected Pixels of Pictures on Your computer" + crlf + crlf +
        "Load Picture: Navigate and Load a picture to display" + crlf + crlf + "Options: " + crlf +
        "   Display Modes> Click or continuous Display of Munsell Notation" + crlf +
        "   Sample Size> Number of pixels to average" + crlf + crlf +
        "Make Palette of Image - Makes a palette file of Munsell Notation for all pixels in a "
        "picture" +
        crlf + crlf +
        "Get Clipboard - Loads the clipboard as a picture from other image programs like Paint" +
        crlf + crlf + "View 3D Palette - Displays Palette in 3D display" + crlf;
    m_dialogs.message(text, "Options");
    activateWindow();
    m_area->setFocus();
}

void PictureWindow::setFitToWindow(bool fit) {
    if (m_fit->isChecked() != fit) m_fit->setChecked(fit);
    updateZoom();
}

void PictureWindow::updateZoom() {
    if (m_picture.isNull()) return;
    double zoom = 1.0;
    if (m_fit->isChecked()) {
        const QSize room = m_scroll->viewport()->size();
        zoom = std::min({1.0, double(room.width()) / m_picture.image.width(),
                         double(room.height()) / m_picture.image.height()});
        if (!(zoom > 0)) zoom = 1.0;
    }
    m_area->setZoom(zoom);
}

void PictureWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    m_area->setFocus();
}

void PictureWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_fit && m_fit->isChecked()) updateZoom();
}

} // namespace zul
