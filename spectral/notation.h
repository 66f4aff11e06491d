#pragma once
// The Munsell notation of a spectrum, always from illuminant C and the 2 degree observer (the
// renotation's own conditions), converted as an XYZ entry of the main window, so it reads as the
// window and `zul convert --from xyz` would show it.
#include "spectral/weights.h"
#include "workbench/entryconverter.h"

#include <memory>
#include <string>

namespace zul::spectral {

class NotationFinder {
public:
    explicit NotationFinder(std::shared_ptr<const RenotationTable> table);
    // "4.28YR 5.54/7.68"; empty when the colour is outside what the chain converts.
    std::string operator()(const Spectrum& s);
    std::string operator()(const XyzD& underC2);

private:
    EntryConverter m_converter;
};

} // namespace zul::spectral
