#pragma once
// The palette list: one line per entry, built only when the view asks for it (only visible lines
// are laid out). Columns are padded with blanks to fixed widths in the list's font: the name to
// 2000 twips, the hue text to 600 twips, at least one blank each.
#include "viewer/pointtable.h"

#include <QAbstractListModel>
#include <QFont>
#include <QFontMetricsF>

#include <memory>

namespace zul {

class PointList : public QAbstractListModel {
    Q_OBJECT
public:
    explicit PointList(QObject* parent = nullptr);

    void setTable(std::shared_ptr<const PointTable> table);
    void setFont(const QFont& font, double dotsPerInch);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Line of entry i (from 0), as listed.
    QString line(std::size_t i) const;
    // The entry's lower-case hue text padded to 600 twips.
    QString paddedHue(std::size_t i) const;
    QString padded(const QString& text, double twips) const;

private:
    std::shared_ptr<const PointTable> m_table;
    QFont m_font;
    QFontMetricsF m_metrics;
    double m_dpi = 96;
    double m_blank = 1;
};

} // namespace zul
