// Every file the program rewrites whole or appends to, each written by the code the program
// uses for it. To add a kind: one entry below (and its library in CMakeLists.txt).
#include "filekinds.h"

#include "workbench/atomicfile.h"
#include "workbench/palette.h"

#include <QDateTime>

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

} // namespace

const std::vector<FileKind>& fileKinds() {
    static const std::vector<FileKind> kinds = {
        {"palette", true, appendPaletteRecord},
        {"large_output", false, rewriteLargeOutput},
    };
    return kinds;
}

const FileKind* findFileKind(const QString& name) {
    for (const FileKind& k : fileKinds())
        if (name == QLatin1String(k.name)) return &k;
    return nullptr;
}

} // namespace zul::testing
