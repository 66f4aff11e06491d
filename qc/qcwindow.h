#pragma once
// The "Quality Control" window: a standard, a tolerance, a table of samples with every
// formula's ΔE, the parts, the words and the verdict, the a*b* plot and the L* bar, and export
// of the table as CSV and of the report as PDF.
#include "qc/report.h"
#include "workbench/entryconverter.h"
#include "workbench/entryforms.h"

#include <QDateTime>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace zul {

class QcWindow : public QWidget {
    Q_OBJECT
public:
    explicit QcWindow(Workbench& workbench, QWidget* parent = nullptr);
    ~QcWindow() override;

    // --- what the controls do, for the tests and scripts
    // The standard typed as `zul qc --standard` takes it; false (the reason in the status line)
    // when it does not read.
    bool setStandardText(const QString& text);
    // The colour the main window shows ("Current Colour", also a measurement just taken).
    bool standardFromWorkbench();
    // The sample in `row` becomes the standard (a palette entry, an imported line).
    bool standardFromRow(int row);
    void addCurrentColour();
    // Lines of `form`'s fields, an ID first when a line has one more field; a header is skipped.
    int addSampleLines(const QString& text, EntryForm form);
    int importFile(const QString& fileName); // a CSV file, read as addSampleLines
    int addPalette(const QString& fileName); // palette records: tag and Munsell notation
    void clearSamples();
    void setTolerance(const QcTolerance& t);
    bool exportCsv(const QString& fileName);
    bool exportPdf(const QString& fileName);

    const QcReport& report() const { return m_report; }
    QString status() const;
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

private:
    bool hasStandardToExport();
    void buildControls();
    void toleranceEdited();
    void refresh(); // judges every sample again and redraws the table and the plots
    void addSample(std::vector<std::string> ids, const std::vector<std::string>& fields,
                   EntryForm form);
    EntryForm sampleForm() const;
    // The window's own entry converter, on the main window's settings.
    EntryConverter& reader();

    Workbench& m_workbench;
    std::unique_ptr<EntryConverter> m_reader;
    QcReport m_report;
    bool m_hasStandard = false;
    QString m_status;
    QLineEdit* m_standardEdit = nullptr;
    QLabel* m_standardLabel = nullptr;
    QComboBox* m_formula = nullptr;
    QLineEdit* m_lc = nullptr;
    QDoubleSpinBox* m_limit = nullptr;
    QDoubleSpinBox* m_warn = nullptr;
    QComboBox* m_form = nullptr;
    QTableWidget* m_table = nullptr;
    QWidget* m_plot = nullptr;
    QLabel* m_statusLabel = nullptr;
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTime(); };
};

} // namespace zul
