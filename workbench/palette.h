#pragma once
// The palette record: one line per saved colour, comma-separated, texts in double quotes, that a
// spreadsheet opens and the palette viewer reads (it uses the first six items).
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <string>
#include <string_view>

#include "records/filelock.h"

namespace zul {

class Dialogs;

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

// A text a spreadsheet would run as a formula (beginning with =, +, @, a tab or a carriage
// return, or with - not followed by a number) gets a leading apostrophe; other texts, negative
// numbers ("-.50", "-12") included, stay as they are.
QString formulaSafe(const QString& text);
std::string formulaSafe(std::string_view text);

// Every save and append to a palette holds "NAME.lock" beside it for the whole write, so that a
// save that rewrites the file never drops what a batch job appends meanwhile. A second writer
// waits up to `waitMs`, then gives up with busyMessage(), which names the lock. A lock left behind
// (its program gone, or unreadable and older than two seconds) is taken over. A folder where no
// lock can be made (one the user may not write) is written without one: no rewrite can happen
// there either.
class PaletteLock {
public:
    static constexpr int kSaveWaitMs = 3000;
    explicit PaletteLock(const QString& paletteName);
    bool acquire(int waitMs = kSaveWaitMs);
    QString busyMessage() const;

private:
    QString m_palette;
    FileLock m_lock;
};

// Records (lines) in a palette file; 0 when it cannot be read.
long countPaletteRecords(const QString& fileName);

// The whole line, ended by CR LF: "date","time","tag",9 texts,r,g,b,7 texts.
QByteArray paletteLine(const PaletteRecord& record);

// The pieces of that line, for writers that make many lines at once:
// the date and time items, "MM-dd-yyyy","HH:mm:ss", appended to `line`;
void appendPaletteDateTime(std::string& line, const QDateTime& when);
// a comma unless `line` is empty, then `text` in double quotes, made safe as paletteSafeText
// makes it.
void appendPaletteText(std::string& line, const QString& text);
// a comma, then the UTF-8 `text` in double quotes, made safe as paletteSafeText makes it: one
// item of a line already begun, from a field's bytes.
void appendPaletteItem(std::string& line, std::string_view text);

// Appends one whole line to `fileName` (created if missing), after a CR LF when the file does not
// end in a line break. The file is opened once, through its folder, and must be a regular file
// and the user's (see openForAppend). Palettes up to 8 MiB are rewritten beside themselves and
// renamed, so a kill during the save leaves the old or the new file whole; larger ones are appended
// to. Returns an empty string on success, otherwise the reason, in which case nothing was written.
QString appendPaletteLine(const QString& fileName, const QByteArray& line);

// A palette's file name: ".csv" added unless it ends in it in any letter case; otherwise as typed.
QString withPaletteSuffix(const QString& name);

// What a write does to a palette that exists: adds its records, or starts it afresh.
enum class PaletteWrite { Append, Replace };

// Asks for a palette file in the save dialog `title`, proposing `proposed`. The name is kept as
// typed, with ".csv" added when it has none. A palette that exists and holds records is asked
// about in words that say what the write does to it; No opens the dialog again. The whole path
// chosen, or an empty string when the user cancelled.
QString askPaletteFile(Dialogs& dialogs, const QString& title, const QString& proposed,
                       PaletteWrite write);

} // namespace zul
