// `zul palette-from-picture`: the picture window's "Make Palette of Image" without a window, the
// same blocks, the same records.
#include "cli/commands.h"
#include "cli/context.h"
#include "imaging/palettebuilder.h"
#include "imaging/picture.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <iostream>
#include <thread>

namespace zul::cli {

namespace {

constexpr const char* kSynopsis =
    "Usage: zul palette-from-picture PICTURE [--grid N] [-o FILE]\n"
    "                                [--illuminant C|D50|D65] [--pwd] [--gamma G] [--adapt]\n";

constexpr const char* kHelp = R"(
Cuts the picture into n x n blocks from its top-left corner (the pixels right of the last whole
column and below the last whole row are not used), converts each block's average colour (halves
to even) from R, G, B as the main window does with the settings below, and writes one palette record per
block, column by column, top to bottom, tagged with the block's corner " x0 y0".

  PICTURE        any picture format Qt reads; EXIF orientation and an embedded colour profile
                 are applied, transparency is composited over white
  --grid N       block edge in pixels, 1 to the picture's smaller side (default 10)
  -o FILE        the palette file (default: the picture's name without its last four
                 characters, upper case, with ".CSV", in the working directory); an existing
                 file is replaced only once the whole palette is written
  --illuminant I C (the default), D50 or D65
  --pwd          luminance relative to the perfect diffuser ("PWD" ticked)
  --gamma G      display gamma 1 to 3 (default 2.2)
  --adapt        the blocks' colours are colours under the --illuminant, adapted to C before
                 the Munsell search ("Adapt entries to the illuminant")
  -h, --help     this text

The palette viewer shows the first 10000 records of a palette; a larger palette is written
with a warning.

Exit status: 0 every block written; 1 the picture or Muncie.dat could not be read, the palette
could not be written, or some blocks could not be converted (the others are written); 2 bad
usage.
)";

// The palette file: -o, or the picture's name without its last four characters.
QString paletteName(const QString& pictureFile, const std::string& output) {
    if (!output.empty()) return QString::fromLocal8Bit(output.c_str());
    const QString base = QFileInfo(pictureFile).fileName();
    return paletteFileFor(base.left(std::max<qsizetype>(0, base.size() - 4)));
}

int report(const Invocation& inv, const PaletteBuildResult& result, const QString& fileName,
           const PaletteGrid& blocks, int n, const QString& profile) {
    if (!result.error.isEmpty()) return inv.fail(result.error.toLocal8Bit().toStdString());
    std::cout << result.written << " records written to " << fileName.toLocal8Bit().constData()
              << " (" << blocks.columns << " x " << blocks.rows << " blocks of " << n << " x " << n
              << " pixels)\n";
    if (profile.size())
        std::cout << "colour profile " << profile.toLocal8Bit().constData()
                  << " converted to sRGB\n";
    if (result.failed > 0)
        return inv.fail(std::to_string(result.failed) +
                        " blocks could not be converted and have no record (the first at " +
                        result.firstFailure.toLocal8Bit().toStdString() + ")");
    return 0;
}

int run(const Invocation& inv) {
    std::string picture, output, grid = "10";
    WindowSettings settings;
    for (const Arg& a : inv.args) {
        if (a.kind == Arg::Kind::Help || a.kind == Arg::Kind::Error) return inv.stop(a);
        std::string error;
        if (settings.take(a, error)) {
            if (!error.empty()) return inv.usageError(error);
            continue;
        }
        if (a.is("--grid")) grid = a.value;
        if (a.is("-o")) output = a.value;
        if (a.kind != Arg::Kind::Positional) continue;
        if (!picture.empty())
            return inv.usageError("one picture only, got \"" + a.value + "\" as well");
        picture = a.value;
    }
    if (picture.empty()) return inv.usageError("a picture is required");

    QCoreApplication app(inv.argc, inv.argv); // image plug-ins and the data folder
    const QString pictureFile = QString::fromLocal8Bit(picture.c_str());
    const PictureLoad loaded = loadPicture(pictureFile);
    if (!loaded.error.isEmpty()) return inv.fail(loaded.error.toLocal8Bit().toStdString());
    const QImage& image = loaded.picture.image;
    const GranularityAnswer n =
        readGranularity(QString::fromLocal8Bit(grid.c_str()), image.width(), image.height());
    if (!n.problem.isEmpty()) return inv.usageError(n.problem.toLocal8Bit().toStdString());
    const QString fileName = paletteName(pictureFile, output);

    const auto table = loadTable("palette-from-picture");
    if (!table) return 1;
    const PaletteGrid blocks = paletteGrid(image.width(), image.height(), n.n);
    if (blocks.blocks() > kPaletteViewerLimit)
        std::cerr << "zul palette-from-picture: warning: " << blocks.blocks()
                  << " records; the palette viewer shows the first " << kPaletteViewerLimit << '\n';

    PaletteBuildJob job;
    job.picture = loaded.picture.view();
    job.n = n.n;
    job.fileName = fileName;
    job.table = table;
    job.options = settings.options(table);
    job.workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return report(inv, buildPalette(job), fileName, blocks, n.n, loaded.picture.profile);
}

} // namespace

Command paletteFromPictureCommand() {
    return {"palette-from-picture",
            "zul palette-from-picture PICTURE [--grid N] [-o FILE]",
            "write the palette of a picture's n x n blocks",
            kSynopsis,
            kHelp,
            settingOptions(true, {{"--grid", true}, {"-o", true, "--output"}}),
            run};
}

} // namespace zul::cli
