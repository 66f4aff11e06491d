#include "spectral/spectralwindow.h"

#include "spectral/indices.h"
#include "widgets/backgroundtask.h"
#include "workbench/workbench.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <exception>

namespace zul::spectral {

namespace {

// The workbench's 40 reflectances (360..750 nm).
std::vector<double> workbenchSpectrum(Workbench& wb) {
    std::vector<double> v;
    for (float f : wb.reflectance())
        v.push_back(f);
    return v;
}

QTableWidget* makeTable(int rows, const QStringList& columns, const char* name) {
    auto* t = new QTableWidget(rows, columns.size());
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(columns);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 4);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    return t;
}

QString fixed(double v, int decimals) {
    if (!std::isfinite(v)) return "-";
    const QString t = QString::number(v, 'f', decimals);
    return t.startsWith('-') && t.toDouble() == 0 ? t.mid(1) : t;
}

} // namespace

SpectralWindow::SpectralWindow(Workbench& workbench, QWidget* parent)
    : QWidget(parent), m_workbench(workbench), m_notation(std::shared_ptr<const RenotationTable>(
                                                   std::shared_ptr<void>(), &workbench.table())) {
    setObjectName("SpectralWindow");
    setWindowTitle("Spectral");
    setWindowFlag(Qt::Window);

    m_chart = new CurveChart;
    m_table = makeTable(static_cast<int>(allConditions().size()),
                        {"Illuminant", "Observer", "X", "Y", "Z", "x", "y", "L*", "a*", "b*"},
                        "ConditionTable");
    m_table->setAccessibleName("Colorimetry under every illuminant and observer");
    m_summary = new QLabel;
    m_summary->setObjectName("SpectralSummary");
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_list = new QListWidget;
    m_list->setObjectName("CurveList");
    m_list->setAccessibleName("Curves");
    auto* add = new QPushButton("&Add from File...");
    add->setObjectName("AddCurveFile");
    add->setToolTip("Add every spectrum of a spectral file as a curve");
    auto* remove = new QPushButton("&Remove");
    remove->setObjectName("RemoveCurve");
    remove->setToolTip("Remove the curve chosen in the list");
    connect(add, &QPushButton::clicked, this, [this] {
        const Dialogs::AskedBy asking(m_workbench.dialogs(), this);
        const QString path = m_workbench.dialogs().openFile(
            "Add Spectrum", "Spectral files (*.txt *.csv *.cgats *.it8 *.ti3);;All files (*)");
        if (!path.isEmpty()) addFile(path);
    });
    connect(remove, &QPushButton::clicked, this, &SpectralWindow::removeSelected);
    connect(m_list, &QListWidget::currentRowChanged, this, &SpectralWindow::showCurve);

    m_standard = new QComboBox;
    m_standard->setObjectName("MetamerismStandard");
    m_standard->setAccessibleName("Standard");
    m_sample = new QComboBox;
    m_sample->setObjectName("MetamerismSample");
    m_sample->setAccessibleName("Sample");
    m_metamerism =
        makeTable(static_cast<int>(kMetamerismTests.size()), {"2°", "10°"}, "MetamerismTable");
    m_metamerism->setAccessibleName("Metamerism index");
    QStringList rows;
    for (Illuminant i : kMetamerismTests)
        rows << illuminantName(i);
    m_metamerism->setVerticalHeaderLabels(rows);
    connect(m_standard, &QComboBox::currentIndexChanged, this, &SpectralWindow::updateMetamerism);
    connect(m_sample, &QComboBox::currentIndexChanged, this, &SpectralWindow::updateMetamerism);

    auto* curves = new QGroupBox("&Curves");
    auto* curveLayout = new QVBoxLayout(curves);
    curveLayout->addWidget(m_chart, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    row->addLayout(buttons);
    curveLayout->addLayout(row);

    auto* colour = new QGroupBox("C&olorimetry");
    auto* colourLayout = new QVBoxLayout(colour);
    colourLayout->addWidget(m_table, 1);
    colourLayout->addWidget(m_summary);

    auto* meta = new QGroupBox("&Metamerism (CIEDE2000, corrected at D65)");
    auto* metaLayout = new QGridLayout(meta);
    auto* standardLabel = new QLabel("&Standard");
    standardLabel->setBuddy(m_standard);
    auto* sampleLabel = new QLabel("Sam&ple");
    sampleLabel->setBuddy(m_sample);
    metaLayout->addWidget(standardLabel, 0, 0);
    metaLayout->addWidget(m_standard, 0, 1);
    metaLayout->addWidget(sampleLabel, 1, 0);
    metaLayout->addWidget(m_sample, 1, 1);
    metaLayout->addWidget(m_metamerism, 0, 2, 2, 1);
    metaLayout->setColumnStretch(1, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(curves, 1);
    left->addWidget(meta);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(colour, 1);

    connect(&m_workbench, &Workbench::changed, this, &SpectralWindow::refreshCurrent);
    refreshCurrent();
}

SpectralWindow::~SpectralWindow() = default;

void SpectralWindow::refreshCurrent() {
    std::vector<double> now = workbenchSpectrum(m_workbench);
    if (now == m_current && !curves().empty()) return;
    std::vector<NamedSpectrum> list = curves();
    if (!list.empty() && !m_current.empty())
        list.front().name = "Reading " + std::to_string(++m_readings);
    m_current = now;
    list.insert(list.begin(), NamedSpectrum{"Current", {360, 10, now}});
    m_chart->setCurves(std::move(list));
    rebuildLists();
    m_list->setCurrentRow(0);
}

void SpectralWindow::addCurve(NamedSpectrum curve) {
    std::vector<NamedSpectrum> list = curves();
    list.push_back(std::move(curve));
    m_chart->setCurves(std::move(list));
    rebuildLists();
    m_list->setCurrentRow(m_list->count() - 1);
}

bool SpectralWindow::addFile(const QString& path) {
    const Dialogs::AskedBy asking(m_workbench.dialogs(), this);
    try {
        // Read and parsed on a thread of its own: a large file keeps the window answering.
        std::string note;
        std::vector<NamedSpectrum> read;
        std::exception_ptr failed;
        BackgroundTask task;
        task.run([&] {
            try {
                read = readSpectrumFile(path, &note);
            } catch (...) {
                failed = std::current_exception();
            }
        });
        if (failed) std::rethrow_exception(failed);
        for (NamedSpectrum& s : read) {
            weightTable({}, s.spectrum.start, s.spectrum.interval,
                        static_cast<int>(s.spectrum.values.size()));
            if (s.name.empty()) s.name = path.section('/', -1).toStdString();
            addCurve(std::move(s));
        }
        if (!note.empty())
            m_workbench.dialogs().alert(Dialogs::Icon::Information,
                                        path + ": " + QString::fromStdString(note), "Add Spectrum");
        return true;
    } catch (const std::exception& e) {
        // A refusal names the file; a file that could not be read is named already.
        QString why = QString::fromStdString(e.what());
        if (!why.startsWith(path + ": ")) why = path + ": " + why;
        m_workbench.dialogs().alert(Dialogs::Icon::Warning, why, "Add Spectrum");
        return false;
    }
}

void SpectralWindow::removeSelected() {
    const int row = m_list->currentRow();
    // The current spectrum stays: it is the main window's.
    if (row <= 0) return;
    std::vector<NamedSpectrum> list = curves();
    list.erase(list.begin() + row);
    m_chart->setCurves(std::move(list));
    rebuildLists();
    m_list->setCurrentRow(std::min(row, m_list->count() - 1));
}

void SpectralWindow::rebuildLists() {
    const QSignalBlocker b1(m_list), b2(m_standard), b3(m_sample);
    const int standard = m_standard->currentIndex(), sample = m_sample->currentIndex();
    m_list->clear();
    m_standard->clear();
    m_sample->clear();
    for (std::size_t i = 0; i < curves().size(); ++i) {
        const QString name = QString::fromStdString(curves()[i].name);
        auto* item = new QListWidgetItem(name);
        item->setForeground(curveColour(static_cast<int>(i)));
        m_list->addItem(item);
        m_standard->addItem(name);
        m_sample->addItem(name);
    }
    const int n = m_standard->count();
    m_standard->setCurrentIndex(standard >= 0 && standard < n ? standard : 0);
    // Until two different curves are chosen, the sample is the newest curve.
    const int chosen = sample >= 0 && sample < n ? sample : n - 1;
    m_sample->setCurrentIndex(chosen == m_standard->currentIndex() ? n - 1 : chosen);
    updateMetamerism();
}

void SpectralWindow::showCurve(int index) {
    if (index < 0 || index >= static_cast<int>(curves().size())) return;
    const NamedSpectrum& c = curves()[static_cast<std::size_t>(index)];
    int row = 0;
    for (Condition cond : allConditions()) {
        const ConditionColour col = colourUnder(c.spectrum, cond);
        const QStringList texts = {illuminantName(cond.illuminant),
                                   QString::fromStdString(observerText(cond.observer)) + "°",
                                   fixed(col.xyz.x, 2),
                                   fixed(col.xyz.y, 2),
                                   fixed(col.xyz.z, 2),
                                   fixed(col.x, 4),
                                   fixed(col.y, 4),
                                   fixed(col.lab.l, 2),
                                   fixed(col.lab.a, 2),
                                   fixed(col.lab.b, 2)};
        for (int k = 0; k < texts.size(); ++k) {
            auto* item = new QTableWidgetItem(texts[k]);
            item->setTextAlignment(k < 2 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, k, item);
        }
        ++row;
    }
    const std::string notation = m_notation(c.spectrum);
    const Whiteness w = whiteness(c.spectrum, Observer::Deg10);
    m_summary->setText(QString("%1:  Munsell (C 2°) %2    D65 10°:  W %3   T %4   YI %5")
                           .arg(QString::fromStdString(c.name),
                                notation.empty() ? QString("-") : QString::fromStdString(notation),
                                fixed(w.w, 2), fixed(w.t, 2), fixed(w.yi, 2)));
}

void SpectralWindow::updateMetamerism() {
    const int a = m_standard->currentIndex(), b = m_sample->currentIndex();
    const int n = static_cast<int>(curves().size());
    for (std::size_t r = 0; r < kMetamerismTests.size(); ++r)
        for (int k = 0; k < 2; ++k) {
            QString text = "-";
            if (a >= 0 && b >= 0 && a < n && b < n) {
                const Condition c{kMetamerismTests[r], k == 0 ? Observer::Deg2 : Observer::Deg10};
                text = fixed(metamerismIndex(curves()[static_cast<std::size_t>(a)].spectrum,
                                             curves()[static_cast<std::size_t>(b)].spectrum, c),
                             2);
            }
            auto* item = new QTableWidgetItem(text);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_metamerism->setItem(static_cast<int>(r), k, item);
        }
}

} // namespace zul::spectral
