#include "qc/qcwindow.h"

#include "munsell/notation.h"
#include "qc/reading.h"
#include "records/atomicfile.h"
#include "records/csvline.h"
#include "records/paletterecord.h"
#include "records/safefiles.h"
#include "text/numtext.h"
#include "widgets/backgroundtask.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include <tuple>

namespace zul {

namespace {
// Sample and palette files the window adds: far above any real one.
constexpr qint64 kMaxQcFileBytes = 64 * 1024 * 1024;
} // namespace

namespace {

const char* const kColumns[] = {"L*",   "a*",     "b*",      "dL*",   "dC*",
                                "dH*",  "dE76",   "dE94",    "dECMC", "dE00",
                                "dHue", "dValue", "dChroma", "words", "verdict"};

const char* const kConditions[] = {"illuminant C, 2\u00b0 observer", "D50, 2\u00b0 observer",
                                   "D65, 10\u00b0 observer"};

// The a*b* plot and the L* bar side by side.
class QcPlot : public QWidget {
public:
    explicit QcPlot(const QcReport& report, const bool& hasStandard)
        : m_report(report), m_hasStandard(hasStandard) {
        setObjectName("QcPlot");
        setAccessibleName("a*b* plot and L* bar");
        setMinimumSize(420, 320);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRectF all = rect();
        if (!m_hasStandard) {
            p.fillRect(all, Qt::white);
            p.drawText(all, Qt::AlignCenter, "No standard");
            return;
        }
        const double bar = std::min(110.0, all.width() / 4);
        paintAbPlot(p, all.adjusted(0, 0, -bar, 0), m_report);
        paintLightnessBar(p, QRectF(all.right() - bar, all.top(), bar, all.height()), m_report);
    }

private:
    const QcReport& m_report;
    const bool& m_hasStandard;
};

} // namespace

QcWindow::QcWindow(Workbench& workbench, QWidget* parent)
    : QWidget(parent, Qt::Window), m_workbench(workbench) {
    setObjectName("FormQC");
    setWindowTitle("Quality Control");
    buildControls();
    m_report.idNames = {"id"};
    refresh();
    // Wide enough for the whole table beside the plots, never beyond the screen.
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1280, 800);
    resize(std::min(1440, screen.width() * 9 / 10), std::min(640, screen.height() * 8 / 10));
}

QcWindow::~QcWindow() = default;

void QcWindow::buildControls() {
    auto* top = new QVBoxLayout(this);

    auto* standardBox = new QGroupBox("&Standard");
    auto* standardRow = new QHBoxLayout(standardBox);
    m_standardEdit = new QLineEdit;
    m_standardEdit->setObjectName("StandardText");
    m_standardEdit->setPlaceholderText("5R 4/14   or   L*,a*,b*   or   xyz:X,Y,Z");
    m_standardEdit->setAccessibleName("Standard");
    connect(m_standardEdit, &QLineEdit::returnPressed, this,
            [this] { setStandardText(m_standardEdit->text()); });
    auto* current = new QPushButton("C&urrent Colour");
    current->setObjectName("StandardCurrent");
    current->setToolTip("The colour the main window shows becomes the standard");
    connect(current, &QPushButton::clicked, this, [this] { standardFromWorkbench(); });
    auto* fromRow = new QPushButton("Selected Sa&mple");
    fromRow->setObjectName("StandardFromRow");
    fromRow->setToolTip("The sample chosen in the table becomes the standard");
    connect(fromRow, &QPushButton::clicked, this,
            [this] { standardFromRow(m_table->currentRow()); });
    m_standardLabel = new QLabel;
    m_standardLabel->setObjectName("StandardLab");
    standardRow->addWidget(m_standardEdit, 1);
    standardRow->addWidget(current);
    standardRow->addWidget(fromRow);
    standardRow->addWidget(m_standardLabel, 1);
    top->addWidget(standardBox);

    auto* toleranceBox = new QGroupBox("&Tolerance");
    auto* tol = new QHBoxLayout(toleranceBox);
    m_formula = new QComboBox;
    m_formula->setObjectName("Formula");
    for (QcFormula f : {QcFormula::De00, QcFormula::Cmc, QcFormula::De94, QcFormula::De94Textiles,
                        QcFormula::De76})
        m_formula->addItem(QString::fromStdString(qcFormulaCaption(f, kCmc21)),
                           QString(qcFormulaName(f)));
    m_lc = new QLineEdit("2:1");
    m_lc->setObjectName("CmcRatio");
    m_lc->setMaximumWidth(60);
    m_limit = new QDoubleSpinBox;
    m_limit->setObjectName("Limit");
    m_limit->setRange(0.01, 100);
    m_limit->setValue(1.0);
    m_limit->setSingleStep(0.1);
    m_warn = new QDoubleSpinBox;
    m_warn->setObjectName("Warn");
    m_warn->setRange(1, 100);
    m_warn->setDecimals(0);
    m_warn->setSuffix(" %");
    m_warn->setValue(80);
    tol->addWidget(new QLabel("Formula"));
    tol->addWidget(m_formula);
    tol->addWidget(new QLabel("l:c"));
    tol->addWidget(m_lc);
    tol->addWidget(new QLabel("Limit"));
    tol->addWidget(m_limit);
    tol->addWidget(new QLabel("Warning at"));
    tol->addWidget(m_warn);
    tol->addStretch();
    m_formula->setAccessibleName("Formula");
    m_lc->setAccessibleName("CMC l:c");
    m_limit->setAccessibleName("Limit");
    m_warn->setAccessibleName("Warning at");
    connect(m_formula, &QComboBox::currentIndexChanged, this, [this] { toleranceEdited(); });
    connect(m_lc, &QLineEdit::editingFinished, this, [this] { toleranceEdited(); });
    connect(m_limit, &QDoubleSpinBox::valueChanged, this, [this] { toleranceEdited(); });
    connect(m_warn, &QDoubleSpinBox::valueChanged, this, [this] { toleranceEdited(); });
    top->addWidget(toleranceBox);

    auto* samplesRow = new QHBoxLayout;
    samplesRow->addWidget(new QLabel("Samples as"));
    m_form = new QComboBox;
    m_form->setObjectName("SampleForm");
    for (const EntryFormInfo& f : entryForms())
        m_form->addItem(f.title, QString(f.name));
    m_form->setCurrentIndex(static_cast<int>(EntryForm::Lab));
    m_form->setAccessibleName("Samples as");
    samplesRow->addWidget(m_form);
    const std::tuple<const char*, const char*, std::function<void()>> buttons[] = {
        {"&Add Current Colour", "Add the colour the main window shows as a sample",
         [this] { addCurrentColour(); }},
        {"&Paste", "Add the lines on the clipboard as samples of the chosen form",
         [this] { addSampleLines(QApplication::clipboard()->text(), sampleForm()); }},
        {"&Import...", "Add the lines of a CSV file as samples",
         [this] {
             const QString f =
                 m_workbench.dialogs().openFile("Import Samples", "CSV files|*.csv;*.txt");
             if (!f.isEmpty()) importFile(f);
         }},
        {"Pa&lette...", "Add the records of a palette as samples",
         [this] {
             const QString f =
                 m_workbench.dialogs().openFile("Samples from a Palette", "Palettes|*.csv;*.txt");
             if (!f.isEmpty()) addPalette(f);
         }},
        {"Cl&ear", "Remove every sample", [this] { clearSamples(); }},
        {"E&xport CSV...", "Write the table to a CSV file",
         [this] {
             if (!hasStandardToExport()) return;
             const QString f =
                 m_workbench.dialogs().saveFile("Export Table", "CSV files|*.csv", "qc.csv");
             if (!f.isEmpty()) exportCsv(f);
         }},
        {"&Report PDF...", "Write the report with its plots to a PDF file",
         [this] {
             if (!hasStandardToExport()) return;
             const QString f =
                 m_workbench.dialogs().saveFile("Save Report", "PDF files|*.pdf", "qc.pdf");
             if (!f.isEmpty()) exportPdf(f);
         }},
    };
    for (const auto& [caption, tip, action] : buttons) {
        auto* b = new QPushButton(caption);
        b->setObjectName(QString(caption).remove('.').remove(' ').remove('&'));
        b->setToolTip(tip);
        connect(b, &QPushButton::clicked, this, [this, action] {
            const Dialogs::AskedBy asking(m_workbench.dialogs(), this);
            action();
        });
        samplesRow->addWidget(b);
    }
    samplesRow->addStretch();
    top->addLayout(samplesRow);

    auto* body = new QHBoxLayout;
    m_table = new QTableWidget(0, static_cast<int>(std::size(kColumns)) + 1);
    m_table->setObjectName("Samples");
    m_table->setAccessibleName("Samples");
    QStringList headers = {"id"};
    for (const char* c : kColumns)
        headers << c;
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    body->addWidget(m_table, 3);
    m_plot = new QcPlot(m_report, m_hasStandard);
    body->addWidget(m_plot, 2);
    top->addLayout(body, 1);
    m_statusLabel = new QLabel;
    m_statusLabel->setObjectName("Status");
    top->addWidget(m_statusLabel);
}

EntryConverter& QcWindow::reader() {
    if (!m_reader)
        m_reader = std::make_unique<EntryConverter>(
            std::shared_ptr<const RenotationTable>(&m_workbench.table(), [](const auto*) {}),
            m_workbench.options());
    m_reader->setOptions(m_workbench.options());
    return *m_reader;
}

EntryForm QcWindow::sampleForm() const {
    return entryFormNamed(m_form->currentData().toString().toStdString()).value_or(EntryForm::Lab);
}

bool QcWindow::setStandardText(const QString& text) {
    m_standardEdit->setText(text);
    const auto split = splitColourText(text.trimmed().toStdString());
    if (!split) {
        m_status = "Standard: \"" + text +
                   "\" is neither a Munsell notation, three CIELAB numbers nor FORM:values";
        refresh();
        return false;
    }
    const QcReading r = readColour(reader(), split->form, split->fields);
    if (!r.colour) {
        m_status = "Standard: " + QString::fromStdString(r.error);
        refresh();
        return false;
    }
    m_report.standard = *r.colour;
    m_report.standardName = text.trimmed().toStdString();
    m_hasStandard = true;
    m_status.clear();
    refresh();
    return true;
}

bool QcWindow::standardFromWorkbench() {
    const auto c = colourShown(m_workbench);
    if (!c) {
        m_status = "Standard: the main window shows no converted colour";
        refresh();
        return false;
    }
    m_report.standard = *c;
    m_report.standardName = "current colour " + m_workbench.text(Field::Hue).toStdString() + " " +
                            m_workbench.text(Field::Value).toStdString() + "/" +
                            m_workbench.text(Field::Chroma).toStdString();
    m_hasStandard = true;
    m_status.clear();
    refresh();
    return true;
}

bool QcWindow::standardFromRow(int row) {
    if (row < 0 || row >= static_cast<int>(m_report.samples.size())) return false;
    const QcSample s = m_report.samples[static_cast<std::size_t>(row)];
    if (!s.colour) return false;
    m_report.standard = *s.colour;
    m_report.standardName = s.ids.empty() ? "sample" : s.ids.front();
    m_hasStandard = true;
    m_status.clear();
    refresh();
    return true;
}

void QcWindow::addSample(std::vector<std::string> ids, const std::vector<std::string>& fields,
                         EntryForm form) {
    QcSample s;
    s.ids = std::move(ids);
    if (s.ids.empty()) s.ids = {std::to_string(m_report.samples.size() + 1)};
    const QcReading r = readColour(reader(), form, fields);
    s.colour = r.colour;
    s.error = r.error;
    m_report.samples.push_back(std::move(s));
}

void QcWindow::addCurrentColour() {
    QcSample s;
    s.ids = {std::to_string(m_report.samples.size() + 1)};
    s.colour = colourShown(m_workbench);
    if (!s.colour) s.error = "the main window shows no converted colour";
    m_report.samples.push_back(std::move(s));
    refresh();
}

int QcWindow::addSampleLines(const QString& text, EntryForm form) {
    const std::size_t need = entryForm(form).fields.size();
    int added = 0;
    bool first = true;
    std::vector<std::string> fields;
    for (const QString& line : text.split('\n')) {
        const std::string l = line.trimmed().toStdString();
        if (l.empty()) continue;
        // Tab-separated lines come from spreadsheets' clipboards.
        splitCsvLine(l, fields, l.find('\t') != std::string::npos ? '\t' : ',');
        // A header: its last field holds no colour's data (an ID may lead a line).
        if (std::exchange(first, false) && !fields.empty() && !isDataField(fields.back())) continue;
        std::vector<std::string> ids;
        if (fields.size() > need && !(form == EntryForm::Munsell && fields.size() == 2)) {
            ids.assign(fields.begin(), fields.end() - static_cast<long>(need));
            fields.erase(fields.begin(), fields.end() - static_cast<long>(need));
        } else if (form == EntryForm::Munsell && fields.size() == 2) {
            ids = {fields[0]};
            fields.erase(fields.begin());
        }
        addSample(ids, fields, form);
        ++added;
    }
    refresh();
    return added;
}

namespace {

// Bounded and regular files only, so a FIFO or /dev/zero ends at once; read on a thread of its
// own, so a large file on a slow disk keeps the window answering.
FileBytes readOffWindowThread(const QString& fileName) {
    FileBytes read;
    BackgroundTask task;
    task.run([&] { read = readRegularFile(fileName, kMaxQcFileBytes); });
    return read;
}

} // namespace

int QcWindow::importFile(const QString& fileName) {
    const FileBytes read = readOffWindowThread(fileName);
    if (!read.ok()) {
        m_status = "Cannot read " + fileName + ": " + read.error;
        refresh();
        return 0;
    }
    return addSampleLines(QString::fromUtf8(read.bytes), sampleForm());
}

int QcWindow::addPalette(const QString& fileName) {
    const FileBytes read = readOffWindowThread(fileName);
    if (!read.ok()) {
        m_status = "Cannot read " + fileName + ": " + read.error;
        refresh();
        return 0;
    }
    QBuffer f;
    f.setData(read.bytes);
    f.open(QIODevice::ReadOnly);
    int added = 0;
    std::vector<std::string> scratch;
    PaletteFields record;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine(kMaxPaletteLine).trimmed();
        if (line.isEmpty()) continue;
        if (!readPaletteRecord(std::string_view(line.data(), static_cast<std::size_t>(line.size())),
                               scratch, record)
                 .empty())
            continue;
        addSample({record.name}, {record.hue, record.value, record.chroma}, EntryForm::Munsell);
        ++added;
    }
    refresh();
    return added;
}

void QcWindow::clearSamples() {
    m_report.samples.clear();
    refresh();
}

void QcWindow::setTolerance(const QcTolerance& t) {
    m_formula->setCurrentIndex(m_formula->findData(QString(qcFormulaName(t.formula))));
    m_lc->setText(QString::fromStdString(plainText(t.lc.l) + ":" + plainText(t.lc.c)));
    m_limit->setValue(t.limit);
    m_warn->setValue(t.warn * 100);
    m_report.tolerance = t;
    refresh();
}

void QcWindow::toleranceEdited() {
    QcTolerance& t = m_report.tolerance;
    t.formula =
        qcFormulaNamed(m_formula->currentData().toString().toStdString()).value_or(QcFormula::De00);
    const QStringList lc = m_lc->text().split(':');
    bool okL = false, okC = false;
    const double l = lc.value(0).toDouble(&okL), c = lc.value(1).toDouble(&okC);
    if (okL && okC && l > 0 && c > 0) t.lc = {l, c};
    t.limit = m_limit->value();
    t.warn = m_warn->value() / 100;
    refresh();
}

QString QcWindow::status() const {
    return m_statusLabel->text();
}

void QcWindow::refresh() {
    m_report.conditions = kConditions[std::clamp(m_workbench.illuminant(), 0, 2)];
    if (m_workbench.adaptEntries()) m_report.conditions += ", entries adapted";
    if (m_hasStandard) m_report.evaluateAll();
    m_standardLabel->setText(
        m_hasStandard
            ? QString::fromStdString("L* " + formatPicture(m_report.standard.lab.l, "0.00") +
                                     "  a* " + formatPicture(m_report.standard.lab.a, "0.00") +
                                     "  b* " + formatPicture(m_report.standard.lab.b, "0.00"))
            : QString("no standard"));
    m_table->setRowCount(static_cast<int>(m_report.samples.size()));
    for (std::size_t i = 0; i < m_report.samples.size(); ++i) {
        const QcSample& s = m_report.samples[i];
        std::string line;
        appendQcRow(line, s);
        line.pop_back();
        std::vector<std::string> cells;
        splitCsvLine(line, cells);
        // id (the IDs joined), the numbers, then the words before the verdict.
        const std::size_t ids = s.ids.size();
        QStringList shown;
        QStringList idTexts;
        for (std::size_t k = 0; k < ids && k < cells.size(); ++k)
            idTexts << QString::fromStdString(cells[k]);
        shown << idTexts.join(' ');
        for (std::size_t k = ids; k + 1 < cells.size(); ++k)
            shown << (m_hasStandard || k < ids + 3 ? QString::fromStdString(cells[k]) : QString());
        shown << (s.colour && m_hasStandard ? QString::fromStdString(s.result.words) : QString());
        shown << (!s.colour       ? QString::fromStdString(cells.back())
                  : m_hasStandard ? QString(verdictText(s.result.verdict))
                                  : QString());
        for (int c = 0; c < shown.size() && c < m_table->columnCount(); ++c) {
            auto* item = new QTableWidgetItem(shown[c]);
            if (c > 0 && c < m_table->columnCount() - 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c == m_table->columnCount() - 1 && s.colour && m_hasStandard) {
                item->setBackground(verdictColour(s.result.verdict));
                item->setForeground(Qt::white);
            }
            m_table->setItem(static_cast<int>(i), c, item);
        }
    }
    QString line = m_status;
    if (line.isEmpty())
        line = QString("%1 samples   PASS %2   WARN %3   FAIL %4   not read %5   (%6)")
                   .arg(m_report.samples.size())
                   .arg(m_hasStandard ? m_report.count(QcVerdict::Pass) : 0)
                   .arg(m_hasStandard ? m_report.count(QcVerdict::Warn) : 0)
                   .arg(m_hasStandard ? m_report.count(QcVerdict::Fail) : 0)
                   .arg(m_report.failedReadings())
                   .arg(QString::fromStdString(m_report.conditions));
    m_statusLabel->setText(line);
    // The plots in words: the standard and how many samples fall in each verdict.
    m_plot->setAccessibleDescription(
        m_hasStandard
            ? QString("Standard %1 at %2; %3 samples: PASS %4, WARN %5, FAIL %6")
                  .arg(QString::fromStdString(m_report.standardName), m_standardLabel->text())
                  .arg(m_report.samples.size())
                  .arg(m_report.count(QcVerdict::Pass))
                  .arg(m_report.count(QcVerdict::Warn))
                  .arg(m_report.count(QcVerdict::Fail))
            : QString("No standard"));
    m_plot->update();
}

// Exports need a standard; without one the user is told before being asked for a file.
bool QcWindow::hasStandardToExport() {
    if (m_hasStandard) return true;
    m_workbench.dialogs().alert(Dialogs::Icon::Warning, "Choose a standard first.",
                                "Quality Control");
    return false;
}

bool QcWindow::exportCsv(const QString& fileName) {
    if (!hasStandardToExport()) return false;
    AtomicFile f(fileName);
    if (!f.open() || !f.write(qcCsv(m_report)) || !f.commit().isEmpty()) {
        m_workbench.dialogs().alert(Dialogs::Icon::Critical,
                                    "Cannot write " + wholePath(fileName) + ": " + f.reason(),
                                    "Quality Control");
        return false;
    }
    return true;
}

bool QcWindow::exportPdf(const QString& fileName) {
    if (!hasStandardToExport()) return false;
    QString error;
    if (!writeQcPdf(fileName, m_report, m_clock().toString("yyyy-MM-dd HH:mm"), &error)) {
        m_workbench.dialogs().alert(Dialogs::Icon::Critical,
                                    "Cannot write " + wholePath(fileName) + ": " + error,
                                    "Quality Control");
        return false;
    }
    return true;
}

} // namespace zul
