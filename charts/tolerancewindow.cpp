#include "charts/tolerancewindow.h"

#include "charts/chartpaint.h"
#include "records/atomicfile.h"
#include "text/errors.h"
#include "text/numtext.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace zul {

namespace {
constexpr const char* kPaletteName = "Cpalette.csv";
}

ToleranceWindow::ToleranceWindow(Workbench& workbench, ChartOutput output, QWidget* parent)
    : ChartWindow(workbench, std::move(output), parent) {
    setObjectName("CTol");
    setWindowTitle(kToleranceCaption);
    m_printButton->setText("&Print");
    m_canvas->setAccessibleName("Tolerance set");

    auto* standard = new QGroupBox("S&tandard CIELAB", this);
    auto* sGrid = new QGridLayout(standard);
    const char* names[] = {"L*", "a*", "b*"};
    for (int i = 0; i < 3; ++i) {
        auto* caption = new QLabel(names[i], standard);
        caption->setObjectName(QString("Label4_%1").arg(i));
        m_centre[i] = new QLineEdit(standard);
        m_centre[i]->setObjectName(QString("Text2_%1").arg(i));
        m_centre[i]->setMaximumWidth(90);
        m_centre[i]->setAccessibleName(QStringLiteral("Standard %1").arg(names[i]));
        sGrid->addWidget(caption, 0, i);
        sGrid->addWidget(m_centre[i], 1, i);
    }

    auto* tolerance = new QGroupBox("T&olerance", this);
    auto* tGrid = new QGridLayout(tolerance);
    for (int i = 0; i < 3; ++i) {
        auto* bar = new QScrollBar(Qt::Horizontal, tolerance);
        bar->setObjectName(QString("HScroll1_%1").arg(i));
        bar->setRange(10, 200);
        bar->setSingleStep(10);
        bar->setPageStep(50);
        bar->setValue(50);
        bar->setMinimumWidth(160);
        bar->setAccessibleName(QStringLiteral("Tolerance %1").arg(names[i]));
        bar->setToolTip(
            QStringLiteral("Step in %1 between the standard and its neighbours").arg(names[i]));
        m_scroll[i] = bar;
        connect(bar, &QScrollBar::valueChanged, this,
                [this, i](int v) { toleranceScrolled(i, v); });
        for (int k = 0; k < 2; ++k) {
            auto* step = new QLabel(tolerance);
            step->setObjectName(QString("Label2_%1").arg(2 * i + k));
            step->setMinimumWidth(70);
            m_steps[static_cast<std::size_t>(2 * i + k)] = step;
        }
        tGrid->addWidget(m_steps[2 * i], i, 0);
        tGrid->addWidget(bar, i, 1);
        tGrid->addWidget(m_steps[2 * i + 1], i, 2);
    }
    writeStepCaptions();

    m_blackLines = new QCheckBox("&Black Lines", this);
    m_blackLines->setObjectName("Check1");
    m_blackLines->setToolTip("Draw the lines between the swatches in black");
    connect(m_blackLines, &QCheckBox::clicked, this, &ToleranceWindow::rebuildFromFields);
    auto* save = new QPushButton("Save Pa&lette", this);
    save->setObjectName("Command2");
    save->setToolTip("Write the set to Cpalette.csv and show it in 3D");
    connect(save, &QPushButton::clicked, this, &ToleranceWindow::savePalette);

    m_note = new QLabel(this);
    m_note->setObjectName("note");
    m_note->setVisible(false);

    auto* root = new QVBoxLayout(this);
    root->addWidget(m_canvas, 1);
    root->addWidget(m_note);
    auto* controls = new QHBoxLayout;
    controls->addWidget(standard);
    controls->addWidget(tolerance, 1);
    root->addLayout(controls);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_blackLines);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(m_saveAsButton);
    buttons->addWidget(m_printButton);
    root->addLayout(buttons);
    resize(700, 640);

    connect(&workbench, &Workbench::toleranceRefresh, this, [this](float l, float a, float b) {
        m_requested = {l, a, b};
        requestRefresh();
    });
}

QSize ToleranceWindow::designSize() const {
    return QSize(static_cast<int>(ToleranceGeometry::kWidth),
                 static_cast<int>(ToleranceGeometry::kHeight));
}

void ToleranceWindow::MakeCTol(const Lab& centre) {
    m_requested = centre;
    m_set = zul::MakeCTol(centre, m_tolerance, m_workbench.table(), chartSettings(m_workbench));
    m_note->setText(m_workbench.entryNote());
    m_note->setVisible(!m_note->text().isEmpty());
    m_centre[0]->setText(QString::fromStdString(formatPicture(centre.l, "###.00")));
    m_centre[1]->setText(QString::fromStdString(formatPicture(centre.a, "###.00")));
    m_centre[2]->setText(QString::fromStdString(formatPicture(centre.b, "###.00")));
    m_canvas->setAccessibleDescription(
        QStringLiteral("Standard L* %1 a* %2 b* %3 and its six neighbours %4 %5 %6 apart")
            .arg(m_centre[0]->text().trimmed(), m_centre[1]->text().trimmed(),
                 m_centre[2]->text().trimmed())
            .arg(m_tolerance[0])
            .arg(m_tolerance[1])
            .arg(m_tolerance[2]));
    m_canvas->update();
}

void ToleranceWindow::paintChart(QPainter& p) {
    if (m_set)
        paintTolerance(p, *m_set, m_blackLines->isChecked());
    else
        p.fillRect(QRectF(0, 0, ToleranceGeometry::kWidth, ToleranceGeometry::kHeight),
                   kToleranceBackground);
}

void ToleranceWindow::writeStepCaptions() {
    const std::array<std::string, 6> steps = stepCaptions(m_tolerance);
    for (std::size_t k = 0; k < 6; ++k)
        m_steps[k]->setText(QString::fromStdString(steps[k]));
}

void ToleranceWindow::toleranceScrolled(int index, int position) {
    m_tolerance[static_cast<std::size_t>(index)] = static_cast<float>(position) / 10;
    writeStepCaptions();
    rebuildFromFields();
}

void ToleranceWindow::rebuildFromFields() {
    const Dialogs::AskedBy asking(m_workbench.dialogs(), this);
    if (!m_set) return; // nothing drawn yet: the next refresh uses the new tolerances
    Lab centre;
    float* parts[] = {&centre.l, &centre.a, &centre.b};
    const char* names[] = {"L*", "a*", "b*"};
    for (int i = 0; i < 3; ++i) {
        try {
            *parts[i] =
                static_cast<float>(parseStrictNamed(names[i], m_centre[i]->text().toStdString()));
        } catch (const Error& e) {
            // The set stays as it is until the field holds a number.
            m_workbench.dialogs().message(QString::fromStdString(e.what()));
            return;
        }
    }
    MakeCTol(centre);
}

bool ToleranceWindow::savePalette() {
    const Dialogs::AskedBy asking(m_workbench.dialogs(), this);
    if (!m_set) return false;
    if (QFileInfo::exists(kPaletteName) &&
        !m_workbench.dialogs().confirm(QStringLiteral("%1 exists. Replace it?").arg(kPaletteName),
                                       "Save Palette"))
        return false;
    const QDateTime now = m_clock();
    const std::string text = cpaletteText(*m_set, now.date().toString("MM-dd-yyyy").toStdString(),
                                          now.time().toString("HH:mm:ss").toStdString());
    AtomicFile file(kPaletteName);
    const bool written = file.open() && file.write(text) && file.commit().isEmpty();
    if (!written) {
        m_workbench.dialogs().message(
            QString("Cannot write %1: %2")
                .arg(QFileInfo(kPaletteName).absoluteFilePath(), file.reason()));
        return false;
    }
    emit m_workbench.paletteViewRequested(QFileInfo(kPaletteName).absoluteFilePath());
    return true;
}

} // namespace zul
