#include "viewer/paletteviewerwindow.h"

#include "records/atomicfile.h"
#include "records/paletterecord.h"
#include "text/numtext.h"
#include "viewer/palettefiles.h"
#include "viewer/paletteview.h"
#include "viewer/pointlist.h"
#include "widgets/backgroundtask.h"
#include "workbench/colourtexts.h"
#include "workbench/workbench.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>

namespace zul {

namespace {

const QColor kLoading(255, 255, 0);
const QColor kLoaded(0, 255, 0);
const QColor kLightGrey(224, 224, 224);
const QString kLightGreen = QStringLiteral("rgb(160,224,160)");
const QString kLightRed = QStringLiteral("rgb(224,160,160)");
constexpr int kShortestTick = 15; // ms: the rotation timer's shortest interval

QScrollBar* scrollBar(Qt::Orientation o, const char* name, int min, int max, int value, int page,
                      QWidget* parent) {
    auto* s = new QScrollBar(o, parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setValue(value);
    s->setSingleStep(1);
    s->setPageStep(page);
    return s;
}

QLabel* label(const QString& text, QWidget* parent, Qt::Alignment align = Qt::AlignLeft) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(align | Qt::AlignVCenter);
    return l;
}

void paintFrame(QFrame* f, QColor c) {
    f->setStyleSheet(
        QStringLiteral("background-color: %1; border: 1px solid black;").arg(c.name()));
}

QColor colourOf(std::uint32_t rgb) {
    return QColor((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}

QString linesText(const std::vector<long>& lines, long total) {
    QStringList s;
    for (long l : lines)
        s << QString::number(l);
    QString text = (lines.size() == 1 ? QStringLiteral("line ") : QStringLiteral("lines ")) +
                   s.join(QStringLiteral(", "));
    if (total > static_cast<long>(lines.size())) text += QStringLiteral(", ...");
    return text;
}

} // namespace

PaletteViewerWindow::PaletteViewerWindow(Workbench& workbench, QWidget* parent)
    : QMainWindow(parent), m_wb(workbench), m_points(std::make_shared<PointTable>()) {
    setObjectName("Form3");
    setWindowTitle("Brenmoor 3D Munsell Palette Viewer");
    buildControls();
    buildMenus();
    m_rotationTimer.setObjectName("Timer1");
    m_rotationTimer.setInterval(kShortestTick);
    connect(&m_rotationTimer, &QTimer::timeout, this, &PaletteViewerWindow::rotationTick);
    viewChanged();
}

PaletteViewerWindow::~PaletteViewerWindow() {
    for (auto& job : m_jobs)
        job->task->cancel();
    m_jobs.clear(); // each waits for its thread
}

void PaletteViewerWindow::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);

    // Identification rows along the top.
    auto* top = new QGridLayout;
    top->addWidget(label("ID a Color", central), 0, 0, 1, 2);
    for (int k = 0; k < 2; ++k) {
        top->addWidget(label(k == 0 ? "Left-Click " : "Right-Click ", central), k + 1, 0);
        auto* name = new QLineEdit(central);
        name->setObjectName(QStringLiteral("Text3_%1").arg(k));
        name->setReadOnly(true);
        auto* notation = new QLineEdit(central);
        notation->setObjectName(QStringLiteral("Text4_%1").arg(k));
        notation->setReadOnly(true);
        notation->setMinimumWidth(200);
        auto* swatch = new QFrame(central);
        swatch->setObjectName(k == 0 ? "Shape1" : "Shape2");
        swatch->setFixedSize(48, 22);
        for (QLineEdit* e : {name, notation})
            e->setStyleSheet(QStringLiteral("background-color: rgb(224,224,224);"));
        paintFrame(swatch, kLightGrey);
        top->addWidget(name, k + 1, 1);
        top->addWidget(notation, k + 1, 2);
        top->addWidget(swatch, k + 1, 3);
        m_names[static_cast<std::size_t>(k)] = name;
        m_notations[static_cast<std::size_t>(k)] = notation;
        m_swatches[static_cast<std::size_t>(k)] = swatch;
    }
    m_compare = label(QString(), central);
    m_compare->setObjectName("Compare");
    m_compare->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(m_compare, 3, 1, 1, 3);
    m_numbers = new QCheckBox("&Display sample #", central);
    m_numbers->setObjectName("Check1");
    top->addWidget(m_numbers, 1, 4);
    top->setColumnStretch(5, 1);
    outer->addLayout(top);

    auto* middle = new QHBoxLayout;
    // Zoom bar with its labels, left of the view.
    auto* zoomColumn = new QVBoxLayout;
    m_zoom = scrollBar(Qt::Vertical, "VScroll2", 1, 40, 20, 5, central);
    zoomColumn->addWidget(label("Zoom +", central, Qt::AlignHCenter));
    zoomColumn->addWidget(m_zoom, 1, Qt::AlignHCenter);
    zoomColumn->addWidget(label("Zoom -", central, Qt::AlignHCenter));
    middle->addLayout(zoomColumn);

    auto* viewColumn = new QVBoxLayout;
    viewColumn->addWidget(
        label("< Left-Click or Right-click on dot to identify >", central, Qt::AlignHCenter));
    m_view = new PaletteView(central);
    m_view->setFocusPolicy(Qt::StrongFocus); // arrows step through the dots, Enter identifies
    m_view->setAccessibleName("3D view");
    viewColumn->addWidget(m_view, 1);
    auto* buttons = new QHBoxLayout;
    m_rotate = new QPushButton("&Rotate", central);
    m_rotate->setObjectName("Command1");
    m_stop = new QPushButton("&Stop", central);
    m_stop->setObjectName("Command2");
    buttons->addWidget(m_rotate);
    buttons->addWidget(m_stop);
    buttons->addStretch(1);
    viewColumn->addLayout(buttons);
    m_speed = scrollBar(Qt::Horizontal, "HScroll3", 1, 100, 1, 1, central);
    m_rotation = scrollBar(Qt::Horizontal, "HScroll1", -180, 180, 0, 20, central);
    m_panX = scrollBar(Qt::Horizontal, "HScroll2", 0, 800, 400, 20, central);
    viewColumn->addWidget(label("Fast           Slow", central));
    viewColumn->addWidget(m_speed);
    viewColumn->addWidget(label("   -180               Rotate                +180", central));
    viewColumn->addWidget(m_rotation);
    viewColumn->addWidget(label("Pan X", central));
    viewColumn->addWidget(m_panX);
    middle->addLayout(viewColumn, 1);

    // Tilt above pan Y, right of the view.
    auto* barsColumn = new QVBoxLayout;
    m_tilt = scrollBar(Qt::Vertical, "VScroll1", 0, 90, 15, 10, central);
    m_panY = scrollBar(Qt::Vertical, "VScroll3", 0, 400, 200, 20, central);
    barsColumn->addWidget(label("Tilt", central, Qt::AlignHCenter));
    barsColumn->addWidget(m_tilt, 1, Qt::AlignHCenter);
    barsColumn->addWidget(label("Pan Y", central, Qt::AlignHCenter));
    barsColumn->addWidget(m_panY, 1, Qt::AlignHCenter);
    middle->addLayout(barsColumn);

    // Status and palette list on the right.
    auto* listColumn = new QVBoxLayout;
    m_status = new QLineEdit(central);
    m_status->setObjectName("Text1");
    m_status->setReadOnly(true);
    listColumn->addWidget(m_status);
    listColumn->addWidget(label("Palette", central, Qt::AlignHCenter));
    m_list = new PointList(this);
    m_listView = new QListView(central);
    m_listView->setObjectName("List1");
    m_listView->setUniformItemSizes(true);
    m_listView->setModel(m_list);
    m_listView->setMinimumWidth(420);
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setFont(m_listView->font(), m_listView->logicalDpiX());
    listColumn->addWidget(m_listView, 1);
    listColumn->addWidget(
        label("< Click on color to identify with white dot >", central, Qt::AlignHCenter));
    middle->addLayout(listColumn);
    outer->addLayout(middle, 1);

    for (QScrollBar* s : {m_rotation, m_tilt, m_zoom, m_panX, m_panY})
        connect(s, &QScrollBar::valueChanged, this, &PaletteViewerWindow::viewChanged);
    connect(m_numbers, &QCheckBox::toggled, m_view, &PaletteView::setNumbers);
    connect(m_rotate, &QPushButton::clicked, this, &PaletteViewerWindow::startRotation);
    connect(m_stop, &QPushButton::clicked, this, &PaletteViewerWindow::stopRotation);
    connect(m_view, &PaletteView::pressed, this, &PaletteViewerWindow::identify);
    // The dots by keyboard, in the palette's order; Enter fills a row as a press does.
    connect(m_view, &PaletteView::stepped, this, [this](int step) {
        if (m_points->empty()) return;
        const long last = static_cast<long>(m_points->size()) - 1;
        const long at = m_view->selected();
        selectEntry(at < 0 ? (step > 0 ? 0 : last) : std::clamp(at + step, 0L, last));
    });
    connect(m_view, &PaletteView::chosen, this, [this](int row) {
        if (m_view->selected() >= 0) fillRow(row, m_view->selected());
    });
    // The wheel zooms (a smaller half-width is closer); a drag turns by half a degree a pixel
    // and tilts the same, as the scroll bars do.
    connect(m_view, &PaletteView::zoomed, this,
            [this](int notches) { m_zoom->setValue(m_zoom->value() - notches); });
    connect(m_view, &PaletteView::dragged, this, [this](int dx, int dy) {
        int rotation = m_rotation->value() + dx / 2 + (dx % 2);
        if (rotation > 180) rotation -= 360;
        if (rotation < -180) rotation += 360;
        m_rotation->setValue(rotation);
        m_tilt->setValue(m_tilt->value() + dy / 2 + (dy % 2));
    });
    connect(m_listView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                m_view->setSelected(current.isValid() ? current.row() : -1);
            });
    describeControls();
    resize(1180, 820);
}

void PaletteViewerWindow::describeControls() {
    for (int k = 0; k < 2; ++k) {
        const QString click = k == 0 ? "Left-click" : "Right-click";
        m_names[static_cast<std::size_t>(k)]->setAccessibleName(click + " name");
        m_notations[static_cast<std::size_t>(k)]->setAccessibleName(click + " notation");
    }
    m_status->setAccessibleName("Status");
    m_listView->setAccessibleName("Palette");
    const std::tuple<QWidget*, const char*, const char*> controls[] = {
        {m_zoom, "Zoom", "Zoom in (up) or out (down); the wheel over the view does the same"},
        {m_speed, "Rotation speed", "Speed of the rotation: fast to the left"},
        {m_rotation, "Rotation", "Turn the solid; a drag across the view does the same"},
        {m_panX, "Pan X", "Move the solid sideways"},
        {m_tilt, "Tilt", "Tilt the solid; a drag up or down the view does the same"},
        {m_panY, "Pan Y", "Move the solid up or down"},
        {m_numbers, nullptr, "Write each dot's sample number beside it"},
        {m_rotate, nullptr, "Turn the solid continuously"},
        {m_stop, nullptr, "Stop the rotation"},
        {m_view, nullptr,
         "Press a dot to identify it: left button first row, right second; "
         "arrows and Enter (Shift+Enter: second row) by keyboard"},
    };
    for (const auto& [w, name, tip] : controls) {
        if (name) w->setAccessibleName(name);
        w->setToolTip(tip);
    }
}

void PaletteViewerWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("&New Palette", this, &PaletteViewerWindow::newPalette);
    file->addAction("&Open Palette", this, [this] { GetData(0); });
    file->addAction("Export &GPL Palette...", this,
                    [this] { exportAs("GPL palette (*.gpl)|*.gpl", ".gpl"); });
    file->addAction("Export &ASE Swatches...", this,
                    [this] { exportAs("Swatch exchange (*.ase)|*.ase", ".ase"); });
    file->addAction("e&Xit", this, &QWidget::hide);
    menuBar()->addAction("&Help", this, &PaletteViewerWindow::showHelp);
}

void PaletteViewerWindow::viewChanged() {
    m_view->setBars(
        {m_rotation->value(), m_tilt->value(), m_zoom->value(), m_panX->value(), m_panY->value()});
}

void PaletteViewerWindow::startRotation() {
    m_rotating = true;
    m_stop->setStyleSheet("background-color: " + kLightGreen);
    m_rotate->setStyleSheet("background-color: " + kLightRed);
    if (isVisible()) m_rotationTimer.start();
}

void PaletteViewerWindow::stopRotation() {
    m_rotating = false;
    m_rotationTimer.stop();
    m_stop->setStyleSheet("background-color: " + kLightRed);
    m_rotate->setStyleSheet("background-color: " + kLightGreen);
}

void PaletteViewerWindow::rotationTick() {
    m_rotationTimer.setInterval(std::max(m_speed->value(), kShortestTick));
    const int r = m_rotation->value();
    m_rotation->setValue(r > 179 ? -180 : r + 1);
}

void PaletteViewerWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_loadRequested) {
        // First showing: the last palette, and the solid starts turning.
        GetData(1);
        startRotation();
    } else if (m_rotating) {
        m_rotationTimer.start();
    }
}

void PaletteViewerWindow::hideEvent(QHideEvent* event) {
    m_rotationTimer.stop(); // resumes when shown again
    QMainWindow::hideEvent(event);
}

void PaletteViewerWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && loading()) {
        cancelLoad();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void PaletteViewerWindow::setStatus(const QString& text, QColor background) {
    m_status->setText(text);
    m_status->setCursorPosition(0);
    m_status->setStyleSheet(QStringLiteral("background-color: %1;").arg(background.name()));
}

void PaletteViewerWindow::GetData(int mode) {
    const Dialogs::AskedBy asking(m_wb.dialogs(), this);
    QString fileName = readLastPalette();
    if (mode == 2) {
        fileName = m_wb.paletteFile();
    } else if (mode != 1) {
        fileName = m_wb.dialogs().openFile("Open Palette", "DataBase Files (*.csv)|*.csv",
                                           QCoreApplication::applicationDirPath());
        if (fileName.isEmpty()) return; // cancelled: the palette shown stays
    }
    loadPalette(fileName);
}

void PaletteViewerWindow::loadPalette(const QString& fileName) {
    m_loadRequested = true;
    if (m_current) m_current->task->cancel(); // superseded: its result is dropped

    auto job = std::make_unique<LoadJob>();
    job->fileName = fileName;
    job->task = std::make_unique<BackgroundTask>();
    job->result = std::make_shared<PaletteLoadResult>();
    LoadJob* j = job.get();
    m_jobs.push_back(std::move(job));
    m_current = j;
    setStatus("Loading Palette " + fileName, kLoading);

    PaletteLoadRequest request;
    // The main workbench outlives its windows; the workers only read its table.
    request.table = std::shared_ptr<const RenotationTable>(std::shared_ptr<void>(), &m_wb.table());
    request.options = m_wb.options();
    request.limit = kPaletteLimit;
    request.workers = 2;
    request.cancel = j->task->cancelFlag();
    request.progress = j->task->progress();
    j->task->onProgress([this, j] {
        if (j == m_current) showProgress(*j);
    });
    connect(j->task.get(), &BackgroundTask::finished, this, [this, j] { loadDone(j); });
    j->task->start(
        [request, fileName, result = j->result] { *result = loadPaletteFile(fileName, request); });
}

void PaletteViewerWindow::cancelLoad() {
    if (m_current) m_current->task->cancel();
}

void PaletteViewerWindow::showProgress(const LoadJob& job) {
    const auto n = job.task->progress()->items.load(std::memory_order_relaxed);
    setStatus("Loading Palette " + job.fileName + "  " +
                  QString::fromStdString(signedText(static_cast<double>(n))),
              kLoading);
}

void PaletteViewerWindow::loadDone(LoadJob* job) {
    const Dialogs::AskedBy asking(m_wb.dialogs(), this);
    const QString fileName = job->fileName;
    const bool current = job == m_current;
    const bool cancelled = job->task->cancelled(); // asked to stop, even if it got to the end
    const std::shared_ptr<PaletteLoadResult> result = job->result;
    job->task.release()->deleteLater(); // its `finished` is being delivered
    std::erase_if(m_jobs, [job](const auto& j) { return j.get() == job; });
    if (!current) return; // a newer load took its place
    m_current = nullptr;
    PaletteLoadResult& r = *result;
    Dialogs& dialogs = m_wb.dialogs();
    const QString failure = "File format Error or Palette not generated" + fileName;

    if (r.cancelled || cancelled) {
        setStatus("Cancelled loading " + fileName, m_loadedFile.isEmpty() ? kLightGrey : kLoaded);
        emit loadFinished(false);
        return;
    }
    if (r.points.empty()) {
        // Nothing to show: the palette on the screen stays.
        QString why = r.fileError;
        if (why.isEmpty() && r.formatErrors > 0)
            why = QStringLiteral("line %1: %2")
                      .arg(r.firstFormatLine)
                      .arg(QString::fromStdString(r.firstFormatReason));
        if (why.isEmpty()) why = withoutNotationText(r);
        if (why.isEmpty()) why = QStringLiteral("no records");
        setStatus("Loading Palette " + fileName + "  " + why, kLoading);
        dialogs.message(failure);
        emit loadFinished(false);
        return;
    }

    install(std::move(r.points));
    m_loadedFile = fileName;
    const bool ok = r.complete();
    if (ok) {
        setStatus("Loaded Palette " + fileName, kLoaded);
    } else {
        QString why = r.fileError;
        if (r.formatErrors > 0) {
            why = QStringLiteral("line %1: %2")
                      .arg(r.firstFormatLine)
                      .arg(QString::fromStdString(r.firstFormatReason));
            if (r.formatErrors > 1)
                why += QStringLiteral(" (%1 lines are not records)").arg(r.formatErrors);
        }
        setStatus("Loading Palette " + fileName + "  " + why, kLoading);
    }

    // The main window keeps the colour being worked on: a load never writes its fields.
    const PointTable& t = *m_points;
    if (!ok) dialogs.message(failure);
    if (r.limited) dialogs.message("Palette limited to 10000");
    if (r.withoutNotation > 0) dialogs.message(withoutNotationText(r));
    if (r.unconverted > 0)
        dialogs.message(
            QStringLiteral("%1 of %2 records are out of Munsell range and have no colour (%3); "
                           "they are drawn as rings.")
                .arg(r.unconverted)
                .arg(t.size())
                .arg(linesText(r.firstUnconverted, r.unconverted)));
    if (ok) {
        const QString error = writeLastPalette(fileName);
        if (!error.isEmpty())
            setStatus("Loaded Palette " + fileName + "  (" + QString(kLastPaletteFile) +
                          " not written: " + error + ")",
                      kLoaded);
    }
    emit loadFinished(ok);
}

void PaletteViewerWindow::install(PointTable&& table) {
    m_points = std::make_shared<const PointTable>(std::move(table));
    m_list->setTable(m_points);
    m_view->setSelected(-1);
    m_view->setTable(m_points);
}

void PaletteViewerWindow::selectEntry(long entry) {
    const QModelIndex index = m_list->index(static_cast<int>(entry));
    m_listView->setCurrentIndex(index);
    m_listView->scrollTo(index);
    m_view->setSelected(entry);
    if (entry < 0 || entry >= static_cast<long>(m_points->size())) return;
    // What a screen reader says for the dot under the keyboard.
    const auto i = static_cast<std::size_t>(entry);
    m_view->setAccessibleDescription(
        QString("%1 of %2: %3 %4")
            .arg(entry + 1)
            .arg(m_points->size())
            .arg(QString::fromStdString(m_points->names[i]),
                 QString::fromStdString(m_points->hueTexts[i] + ' ' + m_points->valueTexts[i] +
                                        '/' + m_points->chromaTexts[i])));
}

void PaletteViewerWindow::identify(Qt::MouseButton button, float x, float y) {
    if (button != Qt::LeftButton && button != Qt::RightButton) return; // two rows only
    const long entry = hitTest(*m_points, m_view->view(), x, y);
    if (entry < 0) return;
    selectEntry(entry);
    fillRow(button == Qt::LeftButton ? 0 : 1, entry);
}

void PaletteViewerWindow::fillRow(int k, long entry) {
    const auto i = static_cast<std::size_t>(entry);
    ColourSample s = sampleOf(*m_points, i);
    const auto slot = static_cast<std::size_t>(k);
    m_names[slot]->setText(QString::fromStdString(s.name));
    // As the copies write it: "N 5.23/" for a neutral, 10RP rather than 0R.
    m_notations[slot]->setText(
        notationText(QString::fromStdString(m_points->hueTexts[i]).trimmed().toUpper(),
                     QString::fromStdString(formatPicture(s.value, "##.00")),
                     QString::fromStdString(formatPicture(s.chroma, "##.00"))));
    m_notations[slot]->setCursorPosition(0);
    paintFrame(m_swatches[slot], s.converted ? colourOf(s.colour) : kLightGrey);
    m_rows[slot] = std::move(s);
    m_compare->setText(comparison());
}

QString PaletteViewerWindow::comparison() const {
    if (!m_rows[0] || !m_rows[1]) return {};
    return QString::fromStdString(comparisonText(compareSamples(*m_rows[0], *m_rows[1])));
}

QString PaletteViewerWindow::exportPalette(const QString& fileName) {
    if (fileName.endsWith(".ase", Qt::CaseInsensitive)) return exportAse(*m_points, fileName);
    return exportGpl(*m_points, QFileInfo(m_loadedFile).completeBaseName(), fileName);
}

void PaletteViewerWindow::exportAs(const QString& filter, const QString& suffix) {
    const Dialogs::AskedBy asking(m_wb.dialogs(), this);
    Dialogs& dialogs = m_wb.dialogs();
    if (m_points->empty()) {
        dialogs.message("No palette is loaded.");
        return;
    }
    QString fileName = dialogs.saveFile("Export Palette", filter,
                                        QFileInfo(m_loadedFile).completeBaseName() + suffix);
    if (fileName.isEmpty()) return;
    if (!fileName.endsWith(suffix, Qt::CaseInsensitive)) fileName += suffix;
    fileName = QFileInfo(fileName).absoluteFilePath(); // every message names the whole path
    const QString error = exportPalette(fileName);
    if (!error.isEmpty())
        dialogs.message("The palette could not be exported to " + wholePath(fileName) + ": " +
                        error);
}

void PaletteViewerWindow::showHelp() {
    const Dialogs::AskedBy asking(m_wb.dialogs(), this);
    // Lines as the help box shows them; an empty line between the last three.
    m_wb.dialogs().message(
        "Continuous rotation of palette is controlled by the 'Rotate' and 'Stop' buttons\n"
        "The Palette display is viewed differently by rotating, tilting and panning.\n"
        "New palettes are generated from the Chromatel Screen by entering or measuring with "
        "Spectrophotometers or from the image analysis screen\n\n"
        "Identify colors in the display by clicking on the color in the list or click on the "
        "color dot in the display\n\n"
        "Two colors can be compared visually by left-clicking the first color and "
        "right-clicking the second color\n");
}

void PaletteViewerWindow::newPalette() {
    const Dialogs::AskedBy asking(m_wb.dialogs(), this);
    m_wb.dialogs().message(
        "To make a new palette or add to a current palette, go to the Chromatel Screen and "
        "enter or measure samples for the palette and click on 'Save Palette'");
    emit mainWindowRequested();
}

} // namespace zul
