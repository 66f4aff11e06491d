#include "instruments/settings.h"

#include "instruments/parsers.h"
#include "records/atomicfile.h"
#include "records/safefiles.h"
#include "text/seqfile.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <fstream>
#include <sstream>

namespace zul::instruments {

int clampPort(const QString& text) {
    const auto v = plainDecimal(text.toStdString());
    if (!v) return kFirstPort;
    const double rounded = std::nearbyint(static_cast<double>(*v)); // ties to even
    if (rounded < kFirstPort || rounded > kLastPort) return kFirstPort;
    return static_cast<int>(rounded);
}

std::optional<InstrumentSettings> readSettings(std::istream& in) {
    // A UTF-8 byte order mark written by an editor is not part of the name.
    if (in.peek() == 0xEF) {
        char bom[3] = {};
        in.read(bom, 3);
        if (std::string(bom, 3) != "\xEF\xBB\xBF") {
            in.clear();
            in.seekg(0);
        }
    }
    try {
        FieldReader fields(in);
        const auto name = fields.next();
        const auto port = fields.next();
        if (!name || !port || !plainDecimal(*port)) return std::nullopt;
        InstrumentSettings s;
        s.name = QString::fromStdString(*name);
        s.port = clampPort(QString::fromStdString(*port));
        return s;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

namespace {
// A name and a port number: a settings file beyond this is not one.
constexpr qint64 kMaxSettingsBytes = 64 * 1024;
} // namespace

std::optional<InstrumentSettings> readSettingsFile(const QString& dir) {
    for (const char* name : {"zul.cfg", "ZUL.cfg"}) {
        const QString path = QDir(dir).filePath(QString::fromLatin1(name));
        if (!QFile::exists(path)) continue;
        // A FIFO or a device is no settings file: reading one would never end.
        const FileBytes read = readRegularFile(path, kMaxSettingsBytes);
        if (!read.ok()) return std::nullopt;
        std::istringstream in(read.bytes.toStdString());
        return readSettings(in);
    }
    return std::nullopt;
}

QByteArray settingsText(const InstrumentSettings& s) {
    QByteArray name = s.name.toUtf8();
    // An empty name is quoted too: written bare it would be a blank line, and the port would be
    // read as the name. So is one starting with a byte order mark, which the reader drops.
    if (name.isEmpty() || name.startsWith("\xEF\xBB\xBF") || name.contains(',') ||
        name.contains('"') || name != name.trimmed()) {
        name.replace('"', "'"); // a quoted field cannot hold a quote
        name = '"' + name + '"';
    }
    return name + "\r\n " + QByteArray::number(s.port) + " \r\n";
}

bool writeSettingsFile(const QString& dir, const InstrumentSettings& s, QString& error) {
    error = writeFileAtomically(QDir(dir).filePath("zul.cfg"), settingsText(s));
    return error.isEmpty();
}

} // namespace zul::instruments
