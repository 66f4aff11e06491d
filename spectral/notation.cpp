#include "spectral/notation.h"

#include <QByteArray>

namespace zul::spectral {

NotationFinder::NotationFinder(std::shared_ptr<const RenotationTable> table)
    : m_converter(std::move(table)) {}

std::string NotationFinder::operator()(const Spectrum& s) {
    return (*this)(tristimulus(s, {Illuminant::C, Observer::Deg2}));
}

namespace {

// Four decimals, as the window's spectral entry has always typed them.
std::string_view fourDecimals(double v, QByteArray& text) {
    text = QByteArray::number(v, 'f', 4);
    return {text.constData(), static_cast<std::size_t>(text.size())};
}

bool blank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

} // namespace

std::string NotationFinder::operator()(const XyzD& c) {
    QByteArray x, y, z;
    if (!m_converter.convert(EntryForm::Xyz,
                             {fourDecimals(c.x, x), fourDecimals(c.y, y), fourDecimals(c.z, z)}))
        return {};
    const std::string_view hue = m_converter.text(Field::Hue);
    const std::string_view value = m_converter.text(Field::Value);
    const std::string_view chroma = m_converter.text(Field::Chroma);
    if (blank(hue) || blank(value) || blank(chroma)) return {};
    std::string out;
    out.reserve(hue.size() + value.size() + chroma.size() + 2);
    out.append(hue).append(" ").append(value).append("/").append(chroma);
    return out;
}

} // namespace zul::spectral
