#include "workbench/palette.h"

#include "records/atomicfile.h"
#include "records/safeopen.h"
#include "text/numtext.h"
#include "workbench/dialogs.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <optional>
#include <string_view>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace zul {

namespace {
template <typename Text> bool needsApostrophe(const Text& text) {
    if (text.size() == 0) return false;
    const auto at = [&](qsizetype i) -> char {
        return i < static_cast<qsizetype>(text.size()) ? static_cast<char>(text[i]) : '\0';
    };
    const char first = at(0);
    if (first == '=' || first == '+' || first == '@' || first == '\t' || first == '\r') return true;
    if (first != '-') return false;
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return !(digit(at(1)) || (at(1) == '.' && digit(at(2))));
}
} // namespace

bool needsApostrophe(const QString& text) {
    // Only the first three characters matter; anything beyond Latin-1 there is no formula sign.
    char head[3] = {};
    const qsizetype n = std::min<qsizetype>(text.size(), 3);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        head[i] = c < 0x80 ? static_cast<char>(c) : 'x';
    }
    return needsApostrophe(std::string_view(head, static_cast<std::size_t>(n)));
}

QString formulaSafe(const QString& text) {
    if (!needsApostrophe(text)) return text;
    return '\'' + text;
}

std::string formulaSafe(std::string_view text) {
    if (!needsApostrophe(text)) return std::string(text);
    return '\'' + std::string(text);
}

long countPaletteRecords(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    long lines = 0;
    char last = '\n';
    char buffer[1 << 16];
    for (qint64 got; (got = file.read(buffer, sizeof buffer)) > 0;) {
        lines += static_cast<long>(std::count(buffer, buffer + got, '\n'));
        last = buffer[got - 1];
    }
    return lines + (last != '\n' ? 1 : 0);
}

QString paletteSafeText(const QString& text) {
    // Most texts are plain numbers and notations: returned as they are, without a copy.
    const bool plain = std::none_of(text.begin(), text.end(), [](QChar c) {
        return c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
    });
    if (plain && !needsApostrophe(text)) return text;
    QString out = formulaSafe(text);
    out.replace('"', '\'');
    out.replace("\r\n", " ");
    out.replace('\r', ' ');
    out.replace('\n', ' ');
    return out;
}

namespace {
// `text` in double quotes, made safe as paletteSafeText makes it; a comma first when `comma`.
void appendQuotedSafe(std::string& line, std::string_view text, bool comma) {
    // Most texts are plain numbers and notations: appended as they are. Anything beyond ASCII
    // goes through QString, so that what cannot be decoded is replaced as it is there.
    const bool plain = std::none_of(text.begin(), text.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c >= 0x80 || c == '"' || c == '\r' || c == '\n';
    });
    if (comma) line += ',';
    line += '"';
    if (plain && !needsApostrophe(text)) {
        line.append(text);
    } else {
        const QByteArray safe = paletteSafeText(QString::fromUtf8(text)).toUtf8();
        line.append(safe.constData(), static_cast<std::size_t>(safe.size()));
    }
    line += '"';
}
} // namespace

void appendPaletteText(std::string& line, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    appendQuotedSafe(line, {utf8.constData(), static_cast<std::size_t>(utf8.size())},
                     !line.empty());
}

void appendPaletteItem(std::string& line, std::string_view text) {
    appendQuotedSafe(line, text, true);
}

namespace {
// `value` in `width` digits, zeros ahead.
void appendDigits(std::string& line, int value, int width) {
    const std::size_t end = line.size() + static_cast<std::size_t>(width);
    line.resize(end);
    for (std::size_t i = end; i-- > end - static_cast<std::size_t>(width); value /= 10)
        line[i] = static_cast<char>('0' + value % 10);
}
} // namespace

void appendPaletteDateTime(std::string& line, const QDateTime& when) {
    // Always month-day-year and a 24-hour clock, whatever the locale.
    const QDate d = when.date();
    const QTime t = when.time();
    const int year = d.year();
    if (d.isValid() && t.isValid() && year > 0 && year <= 9999) {
        if (!line.empty()) line += ',';
        line += '"';
        appendDigits(line, d.month(), 2);
        line += '-';
        appendDigits(line, d.day(), 2);
        line += '-';
        appendDigits(line, year, 4);
        line += "\",\"";
        appendDigits(line, t.hour(), 2);
        line += ':';
        appendDigits(line, t.minute(), 2);
        line += ':';
        appendDigits(line, t.second(), 2);
        line += '"';
    } else {
        appendPaletteText(line, d.toString("MM-dd-yyyy"));
        appendPaletteText(line, t.toString("HH:mm:ss"));
    }
}

QByteArray paletteLine(const PaletteRecord& record) {
    std::string line;
    line.reserve(192);
    appendPaletteDateTime(line, record.when);
    appendPaletteText(line, record.tag);
    for (const QString& f : record.fields)
        appendPaletteText(line, f);
    for (float v : record.linear) {
        line += ',';
        appendPlainText(line, v);
    }
    for (const QString& f : record.rgbCmyk)
        appendPaletteText(line, f);
    line += "\r\n";
    return QByteArray(line.data(), static_cast<qsizetype>(line.size()));
}

namespace {

// Palettes up to this size are rewritten whole on each save; larger ones are appended to.
constexpr qint64 kRewriteLimit = 8 * 1024 * 1024;

// A file whose last line is unfinished (edited by hand, or cut short) would swallow the new record
// into that line: the record starts on a line of its own.
bool endsUnfinished(const QByteArray& content) {
    return !content.isEmpty() && !content.endsWith('\n') && !content.endsWith('\r');
}

// The old content and the new line go to a temporary file that replaces the palette: a kill
// cannot leave half a record (the kernel may stop a write between two pages when the process is
// killed). The old content is read through the descriptor already checked. Null when the palette
// is too large or unreadable, or the temporary file cannot be made (a folder we may not write):
// the caller appends instead.
std::optional<QString> rewriteWithLine(const QString& fileName, const AppendTarget& target,
                                       const QByteArray& line) {
    const qint64 size = target.place.existing.st_size;
    // Another user's palette (the shared folder's owner's) is added to in place: a replacement
    // would be ours, and in a sticky folder could not be renamed over theirs at all.
    if (!target.readable || size > kRewriteLimit ||
        (target.place.exists && target.place.existing.st_uid != ::geteuid()))
        return std::nullopt;
    QByteArray content(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::pread(target.fd.get(), content.data() + done,
                                    static_cast<std::size_t>(size - done), done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return std::nullopt;
        done += got;
    }
    if (endsUnfinished(content)) content += "\r\n";
    content += line;
    AtomicFile out(fileName);
    if (!out.open()) return std::nullopt;
    out.write(content);
    if (out.commit().isEmpty()) return QString();
    return out.reason();
}

} // namespace

PaletteLock::PaletteLock(const QString& paletteName)
    : m_palette(paletteName), m_lock(paletteName + ".lock") {}

bool PaletteLock::acquire(int waitMs) {
    const QCoreApplication* app = QCoreApplication::instance();
    const bool windowThread = app && QThread::currentThread() == app->thread();
    // The window's thread waits in short slices and lets paint and timer events run between
    // them, so a save behind a batch job does not freeze the windows; the user's input waits.
    constexpr int kSliceMs = 20;
    QDeadlineTimer deadline(waitMs);
    for (;;) {
        const FileLock::State state = m_lock.tryLock();
        if (state != FileLock::State::Busy) return true; // locked, or no lock possible
        if (deadline.hasExpired()) return false;
        QThread::msleep(
            static_cast<unsigned long>(std::clamp<qint64>(deadline.remainingTime(), 0, kSliceMs)));
        if (windowThread) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

QString PaletteLock::busyMessage() const {
    return QStringLiteral("The palette \"%1\" is busy (another program holds its lock \"%2\"); "
                          "nothing was written")
        .arg(m_palette, m_lock.fileName());
}

QString appendPaletteLine(const QString& fileName, const QByteArray& line) {
    PaletteLock lock(fileName);
    if (!lock.acquire()) return lock.busyMessage();
    const AppendTarget target = openForAppend(fileName);
    if (!target.ok()) return target.error;
    if (const std::optional<QString> rewritten = rewriteWithLine(fileName, target, line)) {
        if (!rewritten->isEmpty()) removeCreated(target); // nor an empty file the save made
        return *rewritten;
    }
    const int fd = target.fd.get();
    struct stat st {};
    const qint64 before = ::fstat(fd, &st) == 0 ? st.st_size : 0;
    // A file whose last line is unfinished (edited by hand, or an append cut short by a crash)
    // would swallow the new record into that line: start it on a line of its own. Only a file
    // we may read can be looked at; one we may only write still takes the record.
    QByteArray bytes = line;
    char last = '\n';
    if (target.readable && before > 0 && ::pread(fd, &last, 1, before - 1) == 1 && last != '\n' &&
        last != '\r')
        bytes.prepend("\r\n");
    // One write of the whole line, so a record is never split between two saves.
    const QString reason = writeAll(fd, bytes.constData(), bytes.size());
    if (!reason.isEmpty()) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, before); // never half a record
        if (before == 0) removeCreated(target); // nor an empty file the save created
        return reason;
    }
    return {};
}

QString withPaletteSuffix(const QString& name) {
    return name.right(4).toLower() == ".csv" ? name : name + ".csv";
}

QString askPaletteFile(Dialogs& dialogs, const QString& title, const QString& proposed,
                       PaletteWrite write) {
    QString offered = proposed;
    for (;;) {
        const QString chosen =
            dialogs.chooseOutputFile(title, "Palette files (*.csv)|*.csv", offered);
        if (chosen.isEmpty()) return {};
        const QString name = withPaletteSuffix(chosen);
        const QFileInfo file(name);
        // An empty file loses nothing, whatever the write does to it.
        if (!file.exists() || (file.isFile() && file.size() == 0)) return file.absoluteFilePath();
        const QString question =
            write == PaletteWrite::Append
                ? "The palette " + wholePath(name) + " already exists. Add to it?"
                : "The palette " + wholePath(name) + " already exists. Replace it?";
        if (dialogs.confirm(question, title)) return file.absoluteFilePath();
        offered = file.absoluteFilePath();
    }
}

} // namespace zul
