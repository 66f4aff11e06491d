#include "workbench/palette.h"

#include "text/numtext.h"
#include "workbench/atomicfile.h"

#include <QFile>

namespace zul {

QString paletteSafeText(const QString& text) {
    QString out = text;
    out.replace('"', '\'');
    out.replace("\r\n", " ");
    out.replace('\r', ' ');
    out.replace('\n', ' ');
    return out;
}

namespace {
void appendQuoted(QByteArray& line, const QString& text) {
    if (!line.isEmpty()) line += ',';
    line += '"';
    line += paletteSafeText(text).toUtf8();
    line += '"';
}
} // namespace

QByteArray paletteLine(const PaletteRecord& record) {
    QByteArray line;
    // Always month-day-year and a 24-hour clock, whatever the locale.
    appendQuoted(line, record.when.date().toString("MM-dd-yyyy"));
    appendQuoted(line, record.when.time().toString("HH:mm:ss"));
    appendQuoted(line, record.tag);
    for (const QString& f : record.fields)
        appendQuoted(line, f);
    for (float v : record.linear) {
        line += ',';
        line += QByteArray::fromStdString(plainText(v));
    }
    for (const QString& f : record.rgbCmyk)
        appendQuoted(line, f);
    line += "\r\n";
    return line;
}

QString appendPaletteLine(const QString& fileName, const QByteArray& line) {
    QFile file(fileName);
    const bool existed = file.exists();
    // Unbuffered: nothing of a failed write can linger in a buffer and reach the file on close.
    // Read access only serves the look at the last byte; a file we may only write still takes
    // the record.
    const bool readable =
        file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered);
    if (!readable && !file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return file.errorString();
    const qint64 before = file.size();
    // A file whose last line is unfinished (edited by hand, or an append cut short by a crash)
    // would swallow the new record into that line: start it on a line of its own.
    QByteArray bytes = line;
    char last = '\n';
    if (readable && before > 0 && file.seek(before - 1) && file.getChar(&last) && last != '\n' &&
        last != '\r')
        bytes.prepend("\r\n");
    // One write of the whole line, so a record is never split between two saves.
    const QString reason = writeAll(file.handle(), bytes.constData(), bytes.size());
    if (!reason.isEmpty()) {
        file.resize(before); // never leave half a record behind
        file.close();
        if (!existed) file.remove(); // nor an empty file the save created
        return reason;
    }
    file.close();
    return {};
}

} // namespace zul
