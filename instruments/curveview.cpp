#include "instruments/curveview.h"

#include "instruments/panel.h"

#include <QDialog>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace zul::instruments {

CurveView::CurveView(InstrumentPanel& panel, QWidget* parent) : QWidget(parent), m_panel(panel) {
    setObjectName("ReflectanceCurve");
    setMinimumSize(160, 70);
    setToolTip(tr("Reflectance 360-750 nm; click for the log of the last exchange"));
    setCursor(Qt::PointingHandCursor);
    connect(&panel, &InstrumentPanel::changed, this, qOverload<>(&QWidget::update));
}

void CurveView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    const QRectF area = QRectF(rect()).adjusted(4, 4, -4, -14);
    p.setPen(QPen(palette().mid().color(), 1));
    p.drawRect(area);
    p.setPen(palette().text().color());
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    p.setFont(small);
    p.drawText(QRectF(area.left(), area.bottom(), area.width(), 14), Qt::AlignLeft, "360");
    p.drawText(QRectF(area.left(), area.bottom(), area.width(), 14), Qt::AlignRight, "750 nm");
    if (m_panel.readings() == 0) return;

    float top = 100;
    for (float v : m_panel.curve())
        top = std::max(top, v);
    auto path = [&](const Reflectance& r) {
        QPainterPath line;
        for (int i = 0; i < kSpectralPoints; ++i) {
            const QPointF pt(area.left() + area.width() * i / (kSpectralPoints - 1),
                             area.bottom() -
                                 area.height() *
                                     std::clamp(r[static_cast<std::size_t>(i)] / top, 0.0f, 1.0f));
            if (i == 0)
                line.moveTo(pt);
            else
                line.lineTo(pt);
        }
        return line;
    };
    if (m_panel.readings() > 1) {
        p.setPen(QPen(QColor(150, 150, 150, 120), 1.5));
        p.drawPath(path(m_panel.previousCurve()));
    }
    p.setPen(QPen(palette().highlight().color(), 2));
    p.drawPath(path(m_panel.curve()));
}

void CurveView::mousePressEvent(QMouseEvent*) {
    showLog();
}

void CurveView::showLog() {
    QDialog box(this);
    box.setObjectName("InstrumentLog");
    box.setWindowTitle(tr("Log"));
    auto* text = new QPlainTextEdit(&box);
    text->setReadOnly(true);
    text->setFont(QFont("Monospace"));
    text->setPlainText(m_panel.log().lines().join('\n'));
    (new QVBoxLayout(&box))->addWidget(text);
    box.resize(640, 360);
    box.exec();
}

} // namespace zul::instruments
