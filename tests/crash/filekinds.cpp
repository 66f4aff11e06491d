// Every file the program rewrites whole or appends to, each written by the code the program
// uses for it. To add a kind: one entry below (and its library in CMakeLists.txt).
#include "filekinds.h"

#include "batch/maketable.h"
#include "batch/output.h"
#include "instruments/settings.h"
#include "munsell/table.h"
#include "records/atomicfile.h"
#include "viewer/palettefiles.h"
#include "workbench/dialogs.h"
#include "workbench/palette.h"
#include "workbench/workbench.h"

#include <QDateTime>
#include <QFileInfo>

#include <map>
#include <string>

namespace zul::testing {

namespace {

// A palette record as SaveData writes it, told apart by its tag and numbers.
QString appendPaletteRecord(const QString& path, int g) {
    PaletteRecord r;
    r.when = QDateTime(QDate(2026, 12, 7), QTime(10, 45, 0)).addSecs(g);
    r.tag = QStringLiteral("record %1").arg(g);
    r.fields = {"5R", "4.0", "10.0", QString::number(g), "11.9", "6.1", "41.1", "36.1", "14.5"};
    r.linear = {0.25f, static_cast<float>(g % 97) / 97.0f, 1.0f};
    r.rgbCmyk = {"200", "64", "59", "0", "68", "71", "22"};
    const QString failure = appendPaletteLine(path, paletteLine(r));
    return failure.isEmpty() ? QString() : "Cannot save to palette file " + path + ": " + failure;
}

// A large output streamed in pieces through AtomicFile, as a batch output or a table is: about
// 200 KB, so that kills land in the middle of writing.
QString rewriteLargeOutput(const QString& path, int g) {
    AtomicFile file(path);
    if (!file.open()) return file.error();
    for (int line = 0; line < 2000; ++line) {
        const QByteArray text = QStringLiteral("generation %1, line %2: %3\r\n")
                                    .arg(g)
                                    .arg(line)
                                    .arg(QString(60 + (g + line) % 40, QChar('a' + g % 26)))
                                    .toUtf8();
        if (!file.write(text)) break;
    }
    return file.commit();
}

// "zul.cfg" as the instrument window saves it: the writer takes the folder, the name is fixed.
QString rewriteSettings(const QString& path, int g) {
    const QFileInfo info(path);
    if (info.fileName() != QLatin1String("zul.cfg")) return "the settings file must be zul.cfg";
    const instruments::InstrumentSettings s{QStringLiteral("Instrument, model %1").arg(g),
                                            1 + g % instruments::kLastPort};
    QString error;
    return instruments::writeSettingsFile(info.absolutePath(), s, error) ? QString() : error;
}

// "LastPalette.txt" after a palette was loaded; the viewer shows the reason after the file's name.
QString rewriteLastPalette(const QString& path, int g) {
    const QString why =
        writeLastPalette(QStringLiteral("palettes/measured, batch %1.csv").arg(g), path);
    return why.isEmpty() ? QString() : path + " not written: " + why;
}

// A batch output of a few thousand records, streamed in pieces as the batch runner writes it.
QString rewriteBatchOutput(const QString& path, int g) {
    batch::FileSink sink(path);
    if (!sink.open()) return "Cannot write " + path + ": " + sink.error();
    std::string chunk;
    for (int record = 1; record <= 3000; ++record) {
        chunk += "5R,4," + std::to_string(2 + (record + g) % 12) + ",  " + std::to_string(g) +
                 ".0000,  11.9018,   6.1347,  41.1246,  36.1010,  14.4817, 200,  64,  59,   0, " +
                 std::to_string(record % 97) + ",  71,  22\r\n";
        if (record % 256 == 0 || record == 3000) {
            if (!sink.write(chunk)) {
                const QString why = sink.error();
                sink.discard();
                return "Cannot write " + path + ": " + why;
            }
            chunk.clear();
        }
    }
    if (!sink.commit()) {
        const QString why = sink.error();
        sink.discard();
        return "Cannot write " + path + ": " + why;
    }
    return {};
}

// "muntable2.prn" as "Make table" writes it, under one of the three illuminants (generation g
// uses g mod 3, so two generations in a row differ). Built once per illuminant.
QString rewriteTable(const QString& path, int g) {
    static std::map<int, std::string> tables;
    const int illuminant = g % 3;
    if (!tables.count(illuminant)) {
        static const auto table =
            loadRenotationTable(std::string(ZUL_SOURCE_DIR) + "/data/Muncie.dat");
        NonInteractiveDialogs dialogs;
        Workbench wb(table, dialogs);
        wb.startUp();
        Workbench::Options options = wb.options();
        options.illuminant = illuminant;
        tables[illuminant] = batch::makeTable(*table, options);
    }
    batch::FileSink sink(path);
    if (!sink.open() || !sink.write(tables[illuminant]) || !sink.commit()) {
        const QString why = sink.error();
        sink.discard();
        return "Cannot write " + path + ": " + why;
    }
    return {};
}

} // namespace

const std::vector<FileKind>& fileKinds() {
    static const std::vector<FileKind> kinds = {
        {"palette", true, appendPaletteRecord},
        {"large_output", false, rewriteLargeOutput},
        {"settings", false, rewriteSettings, "zul.cfg"},
        {"last_palette", false, rewriteLastPalette, kLastPaletteFile},
        {"batch_output", false, rewriteBatchOutput, "tempOUT.txt"},
        {"table", false, rewriteTable, batch::kTableFile},
    };
    return kinds;
}

const FileKind* findFileKind(const QString& name) {
    for (const FileKind& k : fileKinds())
        if (name == QLatin1String(k.name)) return &k;
    return nullptr;
}

} // namespace zul::testing
