#include "charts/valuepagewindow.h"

#include "charts/chartpaint.h"
#include "charts/huepagewindow.h"
#include "munsell/hue.h"
#include "text/errors.h"
#include "text/numtext.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>

namespace zul {

namespace {

// Bar position + value x 100: the bar's two ends (100 and 950) hold values 9.5 and 1.
constexpr int kScrollEnds = 1050;

void fillSwatch(QFrame* swatch, const QColor& c) {
    QPalette p = swatch->palette();
    p.setColor(QPalette::Window, c);
    swatch->setPalette(p);
}

} // namespace

ValuePageWindow::ValuePageWindow(Workbench& workbench, ChartOutput output, QWidget* parent)
    : ChartWindow(workbench, std::move(output), parent) {
    setChartFace("book2", kValuePageCaption, kValuePageBackground);

    m_title = new QLabel(this);
    m_title->setObjectName("Label1");
    QFont big = m_title->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    m_title->setFont(big);

    // Value 9.5 at the top end, 1 at the bottom: the bar's position runs the other way, so that
    // its upper arrow, Up and the wheel turned up all make the colour lighter.
    m_scroll = new QScrollBar(Qt::Vertical, this);
    m_scroll->setObjectName("VScroll1");
    m_scroll->setRange(100, 950);
    m_scroll->setSingleStep(10);
    m_scroll->setPageStep(100);
    m_scroll->setValue(kScrollEnds - 100);
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_scroll->isSliderDown()) convertScroll(v);
    });
    connect(m_scroll, &QScrollBar::sliderReleased, this,
            [this] { convertScroll(m_scroll->value()); });
    m_scroll->setAccessibleName("Value");
    m_scroll->setToolTip("Value of the page (converted on release)");

    auto* ruler = new QLabel("10 9   8  7  6  5  4  3  2  1", this);
    ruler->setObjectName("Label2");

    m_readout = new QLabel(this);
    m_readout->setObjectName("Label3");
    m_readout->setMinimumWidth(180);
    m_swatch = new QFrame(this);
    m_swatch->setObjectName("Shape1");
    m_swatch->setFrameShape(QFrame::Box);
    m_swatch->setFixedSize(48, 32);
    m_swatch->setAutoFillBackground(true);
    fillSwatch(m_swatch, kValuePageBackground);
    m_info = new QLabel(this);
    m_info->setObjectName("info");
    m_info->setMinimumWidth(200);

    auto* grid = new QGridLayout(this);
    auto* head = new QHBoxLayout;
    head->addWidget(m_title);
    head->addStretch();
    head->addWidget(ruler);
    grid->addLayout(head, 0, 0, 1, 2);
    m_canvas->setAccessibleName("Value page");
    grid->addWidget(m_canvas, 1, 0);
    grid->addWidget(m_scroll, 1, 1);
    grid->setColumnStretch(0, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(m_swatch);
    row->addWidget(m_readout);
    row->addWidget(m_info, 1);
    row->addWidget(m_saveAsButton);
    row->addWidget(m_printButton);
    grid->addLayout(row, 2, 0, 1, 2);
    resize(760, 800);

    connect(&workbench, &Workbench::valuePageRefresh, this, [this](float v) {
        m_requested = v;
        requestRefresh();
    });
}

QSize ValuePageWindow::designSize() const {
    return QSize(static_cast<int>(ValuePageGeometry::kWidth),
                 static_cast<int>(ValuePageGeometry::kHeight));
}

void ValuePageWindow::plotvalue(float value) {
    m_requested = value;
    ValuePage page = zul::plotvalue(value, m_workbench.table(), chartSettings(m_workbench));
    // Another value's dots: the keyboard starts again from the first.
    if (!m_page || m_page->value != page.value || m_page->dots.size() != page.dots.size())
        clearChipFocus();
    m_page = std::move(page);
    if (focusedChip() < 0)
        m_canvas->setAccessibleDescription(
            QStringLiteral("%1: %2 chips")
                .arg(QString::fromStdString(m_page->title).simplified())
                .arg(m_page->dots.size()));
    m_title->setText(QString::fromStdString(m_page->title));
    m_scrollGuard = true;
    {
        const QSignalBlocker block(m_scroll);
        m_scroll->setValue(kScrollEnds - m_page->scroll);
    }
    m_scrollGuard = false;
    m_canvas->update();
}

std::optional<QPointF> ValuePageWindow::markedPoint() const {
    if (!m_page) return std::nullopt;
    try {
        std::string hueText = m_workbench.text(Field::Hue).toStdString();
        bool bad = false;
        float hue = converth(hueText, &bad);
        if (bad) return std::nullopt;
        if (hue >= 100) hue -= 100;
        const double value = parseStrict(m_workbench.text(Field::Value).toStdString());
        const double chroma = parseStrict(m_workbench.text(Field::Chroma).toStdString());
        if (std::abs(value - m_page->value) > 0.25 || chroma < 0 || chroma > 40)
            return std::nullopt;
        double px = 0, py = 0;
        spokeOffset(hue, static_cast<float>(chroma + 10), px, py);
        return QPointF(m_page->cx + px, m_page->cy + py);
    } catch (const Error&) {
        return std::nullopt;
    }
}

void ValuePageWindow::paintChart(QPainter& p) {
    if (m_page)
        paintValuePage(p, *m_page, markedPoint());
    else
        p.fillRect(QRectF(0, 0, ValuePageGeometry::kWidth, ValuePageGeometry::kHeight),
                   kValuePageBackground);
}

void ValuePageWindow::convertScroll(int position) {
    if (m_scrollGuard) return;
    const float value = static_cast<float>(kScrollEnds - position) / 100;
    m_workbench.setText(Field::Value, QString::fromStdString(plainText(value)));
    m_workbench.scrollMuncie();
    m_requested = value;
    requestRefresh();
}

void ValuePageWindow::chartPressed(const QPointF& at) {
    if (!m_page) return;
    const ChartChip* dot = m_page->chipAt(at.x(), at.y());
    if (!dot || !dot->inReach) return;
    enterChip(m_workbench, *dot);
}

void ValuePageWindow::chipChosen(const ChartChip& dot) {
    if (dot.inReach) enterChip(m_workbench, dot);
}

void ValuePageWindow::chartHovered(const QPointF& at) {
    if (!m_page) return;
    // The background leaves readout and swatch as they are.
    if (const ChartChip* dot = m_page->chipAt(at.x(), at.y())) showDot(*dot);
}

void ValuePageWindow::showDot(const ChartChip& dot) {
    const auto [r, g, b] = dot.rgb;
    const bool inside = r >= 1 && r <= 254 && g >= 1 && g <= 254 && b >= 1 && b <= 254;
    if (inside && !dot.outOfRange) {
        m_readout->setText(QString::fromStdString("R=" + signedText(static_cast<float>(r)) +
                                                  "  G=" + signedText(static_cast<float>(g)) +
                                                  "  B=" + signedText(static_cast<float>(b))));
        fillSwatch(m_swatch, QColor(r, g, b));
    } else {
        m_readout->setText("Out of RGB Gamut");
        fillSwatch(m_swatch, Qt::black);
    }
    m_info->setText(chipReadout(dot, m_workbench.illuminant()));
}

} // namespace zul
