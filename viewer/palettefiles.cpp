#include "viewer/palettefiles.h"

#include "records/atomicfile.h"
#include "records/safefiles.h"

#include <QFile>
#include <QtEndian>

#include <cstring>

namespace zul {

namespace {
// The file holds one name; anything longer is not ours.
constexpr qint64 kMaxLastPaletteBytes = 64 * 1024;
} // namespace

QString readLastPalette(const QString& file) {
    // A regular file only: a FIFO would keep the viewer waiting for a name forever.
    const FileBytes read = readRegularFile(file, kMaxLastPaletteBytes);
    if (!read.ok()) return kDefaultPalette;
    QByteArray line = read.bytes.left(read.bytes.indexOf('\n') + 1);
    if (line.isEmpty()) line = read.bytes;
    if (line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
    while (!line.isEmpty() && (line.endsWith('\n') || line.endsWith('\r')))
        line.chop(1);
    const QString name = QString::fromUtf8(line).trimmed();
    return name.isEmpty() ? QString(kDefaultPalette) : name;
}

namespace {

// The whole file through a temporary file renamed over it; the reason on failure. AtomicFile
// never takes a short write (a full disk) for success.
QString replaceWhole(const QString& fileName, const QByteArray& data) {
    AtomicFile f(fileName);
    if (f.open() && f.write(data) && f.commit().isEmpty()) return {};
    return f.reason();
}

} // namespace

QString writeLastPalette(const QString& paletteName, const QString& file) {
    return replaceWhole(file, paletteName.toUtf8() + "\r\n");
}

QString swatchName(const PointTable& t, std::size_t i) {
    QString name = QString::fromStdString(t.hueTexts[i]) + ' ' +
                   QString::fromStdString(t.valueTexts[i]) + '/' +
                   QString::fromStdString(t.chromaTexts[i]);
    if (!t.names[i].empty()) name += ' ' + QString::fromStdString(t.names[i]);
    return name;
}

namespace {

// The record's own R, G, B where it has them, else the colour its notation gave; nothing for a
// record with neither.
bool exportColour(const PointTable& t, std::size_t i, std::uint32_t& colour) {
    if (i < t.own.size() && t.own[i].hasRgb) {
        colour = t.own[i].rgb;
        return true;
    }
    colour = t.colours[i];
    return t.converted[i] != 0;
}

} // namespace

QString exportGpl(const PointTable& t, const QString& title, const QString& fileName) {
    QByteArray out = "GIMP Palette\nName: ";
    QString safeTitle = title;
    safeTitle.replace('\n', ' ').replace('\r', ' ');
    out += safeTitle.toUtf8() + "\nColumns: 0\n#\n";
    for (std::size_t i = 0; i < t.size(); ++i) {
        std::uint32_t c = 0;
        if (!exportColour(t, i, c)) continue;
        QString name = swatchName(t, i);
        name.replace('\n', ' ').replace('\r', ' ');
        out += QStringLiteral("%1 %2 %3\t")
                   .arg((c >> 16) & 0xff, 3)
                   .arg((c >> 8) & 0xff, 3)
                   .arg(c & 0xff, 3)
                   .toUtf8();
        out += name.toUtf8() + '\n';
    }
    return replaceWhole(fileName, out);
}

namespace {

void put16(QByteArray& out, quint16 v) {
    const quint16 be = qToBigEndian(v);
    out.append(reinterpret_cast<const char*>(&be), 2);
}
void put32(QByteArray& out, quint32 v) {
    const quint32 be = qToBigEndian(v);
    out.append(reinterpret_cast<const char*>(&be), 4);
}
void putFloat(QByteArray& out, float f) {
    quint32 bits;
    std::memcpy(&bits, &f, 4);
    put32(out, bits);
}

} // namespace

QString exportAse(const PointTable& t, const QString& fileName) {
    QByteArray out = "ASEF";
    put16(out, 1); // version 1.0
    put16(out, 0);
    quint32 blocks = 0;
    std::uint32_t c = 0;
    for (std::size_t i = 0; i < t.size(); ++i)
        blocks += exportColour(t, i, c) ? 1 : 0;
    put32(out, blocks);
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (!exportColour(t, i, c)) continue;
        // Names are counted in UTF-16 units with the terminating zero; the count is 16 bits.
        const QString name = swatchName(t, i).left(1000);
        QByteArray block;
        put16(block, static_cast<quint16>(name.size() + 1));
        for (QChar ch : name)
            put16(block, ch.unicode());
        put16(block, 0);
        block += "RGB ";
        putFloat(block, static_cast<float>((c >> 16) & 0xff) / 255.0f);
        putFloat(block, static_cast<float>((c >> 8) & 0xff) / 255.0f);
        putFloat(block, static_cast<float>(c & 0xff) / 255.0f);
        put16(block, 2);    // normal (not global, not spot)
        put16(out, 0x0001); // colour entry
        put32(out, static_cast<quint32>(block.size()));
        out += block;
    }
    return replaceWhole(fileName, out);
}

} // namespace zul
