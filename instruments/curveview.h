#pragma once
// The reflectance curve beside the messages: the last reading from 360 to 750 nm, the one before
// it drawn faintly behind, so a bad reading is seen at once. A click shows the protocol log.
#include <QWidget>

namespace zul::instruments {

class InstrumentPanel;

class CurveView : public QWidget {
public:
    explicit CurveView(InstrumentPanel& panel, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {220, 90}; }
    // The protocol log of the last exchange, in a box of its own.
    void showLog();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    InstrumentPanel& m_panel;
};

} // namespace zul::instruments
