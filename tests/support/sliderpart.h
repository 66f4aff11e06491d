#pragma once
// Where a part of a slider or scroll bar is drawn (its handle, an arrow), as its style places it:
// for tests that click there.
#include <QAbstractSlider>
#include <QRect>
#include <QStyle>
#include <QStyleOptionSlider>

namespace zul::testing {

// `upsideDown`: the minimum at the bottom (a vertical slider) or the right.
inline QRect sliderPart(QAbstractSlider* s, QStyle::ComplexControl control, QStyle::SubControl part,
                        bool upsideDown) {
    QStyleOptionSlider opt;
    opt.initFrom(s);
    opt.orientation = s->orientation();
    opt.minimum = s->minimum();
    opt.maximum = s->maximum();
    opt.sliderPosition = opt.sliderValue = s->value();
    opt.singleStep = s->singleStep();
    opt.pageStep = s->pageStep();
    opt.upsideDown = upsideDown;
    opt.subControls = QStyle::SC_All;
    return s->style()->subControlRect(control, &opt, part, s);
}

} // namespace zul::testing
