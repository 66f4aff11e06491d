#pragma once
// Files rewritten whole (settings, the last palette's name, batch outputs, tables) go to a
// temporary file beside the target that replaces it only once every byte is written and synced:
// a crash, a kill or a full disk leaves the old file or the new one, never a mix, and a failure
// leaves the old file and says why. The old file's permissions are kept. The target's folder is
// opened once and the temporary file made, checked and renamed there, so the name is never
// looked up again by path. A link another user planted in a sticky shared folder is refused
// (nothing is written), and so is an existing file there that is not the user's; elsewhere a
// target that is not a regular file (a FIFO, a device) is written in place as a stream, never
// replaced.
#include <QByteArray>
#include <QFile>
#include <QString>

#include "records/safeopen.h"

#include <string_view>

namespace zul {

class AtomicFile {
public:
    explicit AtomicFile(const QString& fileName);
    ~AtomicFile(); // without commit(), the target is left as it was

    // False when the temporary file cannot be made; error() says why.
    bool open();
    // Streams the content in pieces. After the first failure every call returns false and the
    // file is not replaced.
    bool write(const QByteArray& bytes);
    bool write(std::string_view bytes);
    bool write(const char* text) { return write(std::string_view(text)); }
    // Replaces the target. Returns an empty string on success, otherwise the message for the
    // user, e.g. `Could not write "out.csv": No space left on device. The file was left as it
    // was.`
    QString commit();

    const QString& fileName() const { return m_name; }
    // The open file for writers that want a device (a picture, a PDF), in place of write().
    QIODevice& device();
    // Whether the target is a FIFO or a device written in place.
    bool isStream() const { return m_stream; }
    // The message of the first failure, empty while all went well.
    const QString& error() const { return m_error; }
    // Its reason alone ("File too large"), for callers that name the file themselves.
    const QString& reason() const { return m_reason; }

private:
    static constexpr qsizetype kBufferSize = 64 * 1024;
    bool flushBuffer();
    bool written(const QString& reason); // false, and the reason kept, when there is one
    void fail(const QString& reason);
    void failWith(const QString& message, const QString& reason);
    bool openTemporary();
    bool publish();
    void close();

    QString m_name;
    OutputPlace m_place;
    FileHandle m_fd;
    QFile m_device;        // on m_fd, for writers that want a device
    QByteArray m_tempName; // the temporary file's name in the folder, once it has one
    bool m_stream = false; // the special file written in place
    QByteArray m_buffer;
    QString m_error;
    QString m_reason;
};

// Writes all `size` bytes to a file descriptor, resuming after short writes and interrupts.
// An empty string on success, otherwise the system's reason ("No space left on device").
QString writeAll(int fd, const char* data, qint64 size);

// The whole content at once; an empty string on success, otherwise the message.
QString writeFileAtomically(const QString& fileName, const QByteArray& content);

// A file as the window's messages name it after a write: its whole path, whatever the working
// folder it was given relative to.
QString wholePath(const QString& fileName);

} // namespace zul
