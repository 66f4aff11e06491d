#include "charts/colorcheckerwindow.h"

#include "charts/chartpaint.h"
#include "records/safefiles.h"
#include "workbench/datafiles.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <sstream>

namespace zul {

ColorCheckerWindow::ColorCheckerWindow(Workbench& workbench, ChartOutput output, QWidget* parent)
    : ChartWindow(workbench, std::move(output), parent) {
    setChartFace("CChecker", kColorCheckerCaption, kColorCheckerBackground, Qt::white);

    m_info = new QLabel(this);
    m_info->setTextFormat(Qt::PlainText); // patch names come from ccnames.csv
    m_info->setObjectName("info");
    m_canvas->setAccessibleName("ColorChecker chart");
    auto* root = new QVBoxLayout(this);
    root->addWidget(m_canvas, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(m_info, 1);
    row->addWidget(m_saveAsButton);
    row->addWidget(m_printButton);
    root->addLayout(row);
    resize(700, 560);

    connect(&workbench, &Workbench::colorCheckerRefresh, this, &ChartWindow::requestRefresh);
    // The gamma hook alone would leave the chart stale after an illuminant or tint change.
    connect(&workbench, &Workbench::changed, this, &ColorCheckerWindow::conditionsMayHaveChanged);
    connect(&workbench, &Workbench::tintChanged, this,
            &ColorCheckerWindow::conditionsMayHaveChanged);
}

QSize ColorCheckerWindow::designSize() const {
    return QSize(static_cast<int>(ColorCheckerGeometry::kWidth),
                 static_cast<int>(ColorCheckerGeometry::kHeight));
}

void ColorCheckerWindow::conditionsMayHaveChanged() {
    if (!m_chart || !isVisible()) return;
    const Workbench::Options now = m_workbench.options();
    if (now.illuminant != m_filledUnder.illuminant || now.pwd != m_filledUnder.pwd ||
        now.gains != m_filledUnder.gains || now.displayExponents != m_filledUnder.displayExponents)
        requestRefresh();
}

void ColorCheckerWindow::fillCC() {
    const Dialogs::AskedBy asking(m_workbench.dialogs(), this);
    const QString path = findDataFile("ccnames.csv");
    CcNames names;
    // Regular files only, and bounded: a FIFO or a device would hold the window for good.
    if (const FileBytes read = readRegularFile(path, kMaxCcNamesBytes); read.ok()) {
        std::istringstream in(read.bytes.toStdString());
        names = readCcNames(in);
    } else {
        names.fault = read.error.startsWith('"') ? "not a regular file" : "cannot be opened";
    }
    m_filledUnder = m_workbench.options();
    m_chart = zul::fillCC(names, m_workbench.table(), chartSettings(m_workbench));
    const auto shown = std::count_if(m_chart->patches.begin(), m_chart->patches.end(),
                                     [](const ChartChip& p) { return p.inReach; });
    m_canvas->setAccessibleDescription(QStringLiteral("%1 of %2 patches under %3")
                                           .arg(shown)
                                           .arg(m_chart->patches.size())
                                           .arg(m_workbench.illuminantCaption().simplified()));
    m_canvas->update();
    if (!names.fault.empty()) {
        const QString message = QString("%1: %2; the patches without data show n/a")
                                    .arg(path, QString::fromStdString(names.fault));
        if (message != m_reportedFault) {
            m_reportedFault = message;
            m_workbench.dialogs().message(message);
        }
    }
}

void ColorCheckerWindow::paintChart(QPainter& p) {
    if (m_chart)
        paintColorChecker(p, *m_chart);
    else
        p.fillRect(QRectF(0, 0, ColorCheckerGeometry::kWidth, ColorCheckerGeometry::kHeight),
                   kColorCheckerBackground);
}

void ColorCheckerWindow::chartHovered(const QPointF& at) {
    if (!m_chart) return;
    const ChartChip* p = m_chart->chipAt(at.x(), at.y());
    if (!p) return;
    const std::string& name = m_chart->names[static_cast<std::size_t>(p->element)];
    if (!p->inReach) {
        m_info->setText(
            QString("%1  %2  n/a").arg(p->element + 1).arg(QString::fromStdString(name)));
        return;
    }
    m_info->setText(QString("%1  %2  %3   RGB %4 %5 %6")
                        .arg(p->element + 1)
                        .arg(QString::fromStdString(name), QString::fromStdString(p->notation))
                        .arg(p->rgb[0])
                        .arg(p->rgb[1])
                        .arg(p->rgb[2]));
}

} // namespace zul
