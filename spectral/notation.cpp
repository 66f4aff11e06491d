#include "spectral/notation.h"

#include "workbench/entryforms.h"

namespace zul::spectral {

NotationFinder::NotationFinder(std::shared_ptr<const RenotationTable> table)
    : m_wb(std::move(table), m_dialogs) {
    m_wb.startUp();
}

std::string NotationFinder::operator()(const Spectrum& s) {
    return (*this)(tristimulus(s, {Illuminant::C, Observer::Deg2}));
}

std::string NotationFinder::operator()(const XyzD& c) {
    m_wb.clearEntries();
    m_dialogs.clear();
    m_wb.setText(Field::X, QString::number(c.x, 'f', 4));
    m_wb.setText(Field::Y, QString::number(c.y, 'f', 4));
    m_wb.setText(Field::Z, QString::number(c.z, 'f', 4));
    if (!m_wb.enterPressed(entryForm(EntryForm::Xyz).enter)) return {};
    for (Field f : {Field::Hue, Field::Value, Field::Chroma})
        if (m_wb.text(f).trimmed().isEmpty()) return {};
    return (m_wb.text(Field::Hue) + ' ' + m_wb.text(Field::Value) + '/' + m_wb.text(Field::Chroma))
        .toStdString();
}

} // namespace zul::spectral
