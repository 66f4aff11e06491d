#include "viewer/pointlist.h"

#include "records/paletterecord.h"
#include "text/numtext.h"

#include <QBrush>
#include <QColor>

#include <cmath>

namespace zul {

PointList::PointList(QObject* parent) : QAbstractListModel(parent), m_metrics(QFont()) {
    setFont(QFont(), 96);
}

void PointList::setTable(std::shared_ptr<const PointTable> table) {
    beginResetModel();
    m_table = std::move(table);
    endResetModel();
}

void PointList::setFont(const QFont& font, double dotsPerInch) {
    beginResetModel();
    m_font = font;
    m_metrics = QFontMetricsF(font);
    m_dpi = dotsPerInch > 0 ? dotsPerInch : 96;
    m_blank = std::max(1.0, m_metrics.horizontalAdvance(QLatin1Char(' ')));
    endResetModel();
}

int PointList::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_table) return 0;
    return static_cast<int>(m_table->size());
}

QString PointList::padded(const QString& text, double twips) const {
    // The number of blanks from the widths at once, rather than one blank at a time.
    const double target = twips / 1440.0 * m_dpi;
    const double missing = target - m_metrics.horizontalAdvance(text);
    const int blanks = std::max(1, static_cast<int>(std::ceil(missing / m_blank)));
    return text + QString(blanks, QLatin1Char(' '));
}

QString PointList::paddedHue(std::size_t i) const {
    return padded(QString::fromStdString(lowerHueText(m_table->hueTexts[i])), 600);
}

QString PointList::line(std::size_t i) const {
    const PointTable& t = *m_table;
    QString s = padded(QString::number(i + 1) + "    " + QString::fromStdString(t.names[i]), 2000);
    s += "     H " + paddedHue(i) + "   V" +
         QString::fromStdString(formatPicture(t.values[i], " ##.00")) + "     C" +
         QString::fromStdString(formatPicture(t.chromas[i], " ##.00"));
    return s;
}

QVariant PointList::data(const QModelIndex& index, int role) const {
    if (!m_table || !index.isValid() || index.row() < 0 ||
        static_cast<std::size_t>(index.row()) >= m_table->size())
        return {};
    const auto i = static_cast<std::size_t>(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return line(i);
    case Qt::ForegroundRole:
        if (!m_table->converted[i]) return QBrush(QColor(128, 128, 128));
        return {};
    case Qt::ToolTipRole:
        if (!m_table->converted[i])
            return QStringLiteral("Line %1: out of Munsell range, no colour")
                .arg(m_table->lines[i]);
        return QStringLiteral("Line %1").arg(m_table->lines[i]);
    default:
        return {};
    }
}

} // namespace zul
