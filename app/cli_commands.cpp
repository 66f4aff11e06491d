#include "app/cli_commands.h"

namespace zul::cli {

const std::vector<Command>& commands() {
    // One line per command; each command lives in a file of its own.
    static const std::vector<Command> list = {
        {"convert", "zul convert --from FORM [OPTION...] [--] [VALUE... | FILE]",
         "convert colours without a window", runConvert},
        {"palette-from-picture", "zul palette-from-picture PICTURE [--grid N] [-o FILE]",
         "write the palette of a picture's n x n blocks", runPaletteFromPicture},
        {"view",
         "zul view PALETTE --png FILE [--size N] [--rotation D] [--tilt D] [--zoom Z] [--numbers]",
         "draw a palette's 3D view into a PNG picture", runView},
        {"chart", "zul chart hue|value|tolerance|colorchecker ... [--png F] [--pdf F] [--csv F]",
         "render a chart without a window", runChart},
        {"measure",
         "zul measure --instrument NAME (--port N | --device PATH | --file F) [OPTION...]",
         "measure or import one spectral sample without a window", runMeasure},
        {"batch", "zul batch JOB [-i FILE|-] [-o FILE|-] [--palette NAME] [OPTION...]",
         "convert a whole file as the window's Import does", runBatch},
        {"table", "zul table [-o FILE|-] [--illuminant C|D50|D65] [--pwd] [--gamma G]",
         "write the Munsell reference table muntable2.prn", runTable},
    };
    return list;
}

} // namespace zul::cli
