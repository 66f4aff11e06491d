#pragma once
// The palette record: one line per saved colour, comma-separated, texts in double quotes, that a
// spreadsheet opens and the palette viewer reads (it uses the first six items).
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>

namespace zul {

struct PaletteRecord {
    QDateTime when;
    QString tag;
    QStringList fields;            // 3 Munsell, 3 XYZ, 3 CIELAB texts as displayed
    std::array<float, 3> linear{}; // linear r, g, b
    QStringList rgbCmyk;           // 3 RGB, 4 CMYK texts as displayed
};

// A text item cannot carry a double quote or a line break without breaking the line for every
// reader: a quote becomes an apostrophe, a line break a blank.
QString paletteSafeText(const QString& text);

// The whole line, ended by CR LF: "date","time","tag",9 texts,r,g,b,7 texts.
QByteArray paletteLine(const PaletteRecord& record);

// Appends one whole line to `fileName` (created if missing), after a CR LF when the file does not
// end in a line break. Returns an empty string on success, otherwise the reason, in which case
// nothing was written.
QString appendPaletteLine(const QString& fileName, const QByteArray& line);

} // namespace zul
