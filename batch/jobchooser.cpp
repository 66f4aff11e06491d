#include "batch/jobchooser.h"

#include "batch/runner.h"
#include "workbench/palette.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zul::batch {

namespace {

const char* describe(JobId id) {
    switch (id) {
    case JobId::Xyz:
        return "XYZ records to the palette";
    case JobId::Lab:
        return "CIELAB to Munsell";
    case JobId::Munsell:
        return "Munsell to XYZ, CIELAB and RGB";
    case JobId::Steps:
        return "Stepped Munsell";
    case JobId::Checker:
        return "ColorChecker";
    case JobId::Chart:
        return "Colour chart to Munsell";
    case JobId::Spectral:
        return "Spectral files to Munsell";
    }
    return "";
}

constexpr const char* kChosenInput = "(chosen)";
constexpr const char* kPalette = "(palette)";

} // namespace

JobChooser::JobChooser(Dialogs& dialogs, const QString& paletteName, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_paletteName(paletteName) {
    setObjectName("JobChooser");
    setWindowTitle("Import");
    auto* layout = new QVBoxLayout(this);

    m_list = new QTreeWidget;
    m_list->setObjectName("jobs");
    m_list->setHeaderLabels({"Code", "Job", "Input", "Output"});
    m_list->setRootIsDecorated(false);
    m_list->setAccessibleName("Jobs");
    for (const Job& job : jobs()) {
        auto* item = new QTreeWidgetItem(
            m_list, {QString::fromLatin1(job.code), QString::fromLatin1(describe(job.id)),
                     job.input ? QString::fromLatin1(job.input) : QString(kChosenInput),
                     job.output ? QString::fromLatin1(job.output) : QString(kPalette)});
        item->setData(0, Qt::UserRole, QString::fromLatin1(job.code));
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Wide enough for every job's files without a scroll bar.
    setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 96);
    m_list->setMinimumHeight(m_list->sizeHintForRow(0) * 8 + m_list->header()->sizeHint().height());
    layout->addWidget(m_list);

    auto* form = new QFormLayout;
    m_code = new QLineEdit;
    m_code->setObjectName("code");
    m_code->setToolTip("The job's code, as typed at the old prompt");
    form->addRow("&Code", m_code);
    m_input = new QLineEdit;
    m_input->setObjectName("input");
    auto* browse = new QPushButton("&Browse\u2026");
    browse->setObjectName("browse");
    auto* inputRow = new QHBoxLayout;
    inputRow->addWidget(m_input, 1);
    inputRow->addWidget(browse);
    auto* inputCaption = new QLabel("&Input");
    inputCaption->setBuddy(m_input);
    form->addRow(inputCaption, inputRow);
    m_output = new QLineEdit;
    m_output->setObjectName("output");
    form->addRow("&Output", m_output);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName("buttons");
    layout->addWidget(buttons);

    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] {
        if (const Job* j = job()) {
            const QSignalBlocker guard(m_code);
            m_code->setText(QString::fromLatin1(j->code));
        }
        showJob();
    });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (choice()) accept();
    });
    connect(m_code, &QLineEdit::textEdited, this, &JobChooser::chooseCode);
    connect(browse, &QPushButton::clicked, this, &JobChooser::browse);
    connect(m_input, &QLineEdit::textChanged, this, &JobChooser::updateOk);
    connect(m_output, &QLineEdit::textChanged, this, &JobChooser::updateOk);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_list->setCurrentItem(m_list->topLevelItem(0));
    // A code typed at once replaces the one shown, as at the old prompt.
    m_code->selectAll();
    m_code->setFocus();
}

void JobChooser::chooseCode(const QString& code) {
    if (m_code->text() != code) m_code->setText(code);
    const Job* wanted = jobByCode(code.toStdString());
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        if (wanted && item->data(0, Qt::UserRole).toString() == QLatin1String(wanted->code)) {
            const QSignalBlocker guard(m_code);
            m_list->setCurrentItem(item);
        }
    }
    updateOk();
}

const Job* JobChooser::job() const {
    const QTreeWidgetItem* item = m_list->currentItem();
    return item ? jobByCode(item->data(0, Qt::UserRole).toString().toStdString()) : nullptr;
}

void JobChooser::showJob() {
    const Job* j = job();
    if (!j) return;
    m_input->setText(defaultInput(*j));
    m_input->setPlaceholderText(j->input ? QString() : QStringLiteral("Choose the input file"));
    if (j->output) {
        m_output->setText(QFileInfo(QString::fromLatin1(j->output)).absoluteFilePath());
    } else {
        const QString name = m_paletteName.isEmpty() ? QStringLiteral("ZULpalette") : m_paletteName;
        m_output->setText(QFileInfo(withPaletteSuffix(name)).absoluteFilePath());
    }
    updateOk();
}

void JobChooser::browse() {
    const QString chosen = m_dialogs.openFile("Import", "*.csv|*.csv|Text|*.txt|All files|*");
    if (!chosen.isEmpty()) m_input->setText(chosen);
}

std::optional<ImportChoice> JobChooser::choice() const {
    const Job* j = jobByCode(m_code->text().toStdString());
    if (!j || j != job() || m_input->text().trimmed().isEmpty() ||
        m_output->text().trimmed().isEmpty())
        return std::nullopt;
    return ImportChoice{j, m_input->text().trimmed(), m_output->text().trimmed()};
}

void JobChooser::updateOk() {
    if (auto* buttons = findChild<QDialogButtonBox*>("buttons"))
        buttons->button(QDialogButtonBox::Ok)->setEnabled(choice().has_value());
}

std::optional<ImportChoice> chooseImport(Dialogs& dialogs, const QString& paletteName,
                                         QWidget* parent) {
    JobChooser chooser(dialogs, paletteName, parent);
    if (chooser.exec() != QDialog::Accepted) return std::nullopt;
    return chooser.choice();
}

} // namespace zul::batch
