// `zul palette-from-picture`: the picture window's "Make Palette of Image" without a window, the
// same blocks, the same records.
#include "app/cli_commands.h"
#include "imaging/palettebuilder.h"
#include "imaging/picture.h"
#include "munsell/table.h"
#include "text/errors.h"
#include "workbench/datafiles.h"
#include "workbench/dialogs.h"
#include "workbench/workbench.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <iostream>
#include <thread>

namespace zul {

namespace {

constexpr const char* kSynopsis = "Usage: zul palette-from-picture PICTURE [--grid N] [-o FILE]\n";

constexpr const char* kHelp = R"(
Cuts the picture into n x n blocks from its top-left corner (the pixels right of the last whole
column and below the last whole row are not used), converts each block's average colour (halves
to even) from R, G, B as the main window does at start-up, and writes one palette record per
block, column by column, top to bottom, tagged with the block's corner " x0 y0".

  PICTURE        any picture format Qt reads; EXIF orientation and an embedded colour profile
                 are applied, transparency is composited over white
  --grid N       block edge in pixels, 1 to the picture's smaller side (default 10)
  -o FILE        the palette file (default: the picture's name without its last four
                 characters, upper case, with ".CSV", in the working directory); an existing
                 file is replaced only once the whole palette is written
  -h, --help     this text

The palette viewer shows the first 10000 records of a palette; a larger palette is written
with a warning.

Exit status: 0 every block written; 1 the picture or Muncie.dat could not be read, the palette
could not be written, or some blocks could not be converted (the others are written); 2 bad
usage.
)";

int usage(const std::string& message) {
    std::cerr << "zul palette-from-picture: " << message << '\n'
              << kSynopsis << "Try 'zul palette-from-picture --help'.\n";
    return 2;
}

} // namespace

int cli::runPaletteFromPicture(const std::vector<std::string>& args, int& argc, char** argv) {
    std::string picture, output, grid = "10";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            std::cout << kSynopsis << kHelp;
            return 0;
        }
        std::string name = a, value;
        const std::size_t eq = a.find('=');
        if (a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        }
        if (name == "--grid" || name == "-o" || name == "--output") {
            if (eq == std::string::npos || name == "-o") {
                if (i + 1 == args.size()) return usage(name + " needs an argument");
                value = args[++i];
            }
            (name == "--grid" ? grid : output) = value;
            continue;
        }
        if (a.size() > 1 && a[0] == '-') return usage("unknown option \"" + a + "\"");
        if (!picture.empty()) return usage("one picture only, got \"" + a + "\" as well");
        picture = a;
    }
    if (picture.empty()) return usage("a picture is required");

    QCoreApplication app(argc, argv); // image plug-ins and the data folder beside the executable
    const QString pictureFile = QString::fromLocal8Bit(picture.c_str());
    const PictureLoad loaded = loadPicture(pictureFile);
    if (!loaded.error.isEmpty()) {
        std::cerr << "zul palette-from-picture: " << loaded.error.toLocal8Bit().constData() << '\n';
        return 1;
    }
    const QImage& image = loaded.picture.image;
    const GranularityAnswer n =
        readGranularity(QString::fromLocal8Bit(grid.c_str()), image.width(), image.height());
    if (!n.problem.isEmpty()) return usage(n.problem.toLocal8Bit().toStdString());

    QString fileName;
    if (output.empty()) {
        const QString base = QFileInfo(pictureFile).fileName();
        fileName = paletteFileFor(base.left(std::max<qsizetype>(0, base.size() - 4)));
    } else {
        fileName = QString::fromLocal8Bit(output.c_str());
    }

    std::shared_ptr<const RenotationTable> table;
    try {
        table = loadRenotationTable(findDataFile("Muncie.dat").toStdString());
    } catch (const Error& e) {
        std::cerr << "zul palette-from-picture: " << e.what() << '\n';
        return 1;
    }
    NonInteractiveDialogs dialogs;
    Workbench start(table, dialogs);
    start.startUp();

    const PaletteGrid blocks = paletteGrid(image.width(), image.height(), n.n);
    if (blocks.blocks() > kPaletteViewerLimit)
        std::cerr << "zul palette-from-picture: warning: " << blocks.blocks()
                  << " records; the palette viewer shows the first " << kPaletteViewerLimit << '\n';

    PaletteBuildJob job;
    job.picture = loaded.picture.view();
    job.n = n.n;
    job.fileName = fileName;
    job.table = table;
    job.options = start.options();
    job.workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const PaletteBuildResult result = buildPalette(job);
    if (!result.error.isEmpty()) {
        std::cerr << "zul palette-from-picture: " << result.error.toLocal8Bit().constData() << '\n';
        return 1;
    }
    std::cout << result.written << " records written to " << fileName.toLocal8Bit().constData()
              << " (" << blocks.columns << " x " << blocks.rows << " blocks of " << n.n << " x "
              << n.n << " pixels)\n";
    if (loaded.picture.profile.size())
        std::cout << "colour profile " << loaded.picture.profile.toLocal8Bit().constData()
                  << " converted to sRGB\n";
    if (result.failed > 0) {
        std::cerr << "zul palette-from-picture: " << result.failed
                  << " blocks could not be converted and have no record (the first at "
                  << result.firstFailure.toLocal8Bit().constData() << ")\n";
        return 1;
    }
    return 0;
}

} // namespace zul
