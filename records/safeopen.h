#pragma once
// Outputs opened through their folder: the folder is opened once, what the last name is gets
// looked at in that folder (never through a link), and the file is made, replaced or appended to
// there. Between the look and the write nobody can swap the name for a link, because the name is
// never looked up again by path. The user's own links are followed once, here, by reading them.
#include <QByteArray>
#include <QString>

#include <sys/stat.h>
#include <sys/types.h>

namespace zul {

// Owns one file descriptor.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : m_fd(fd) {}
    FileHandle(FileHandle&& other) noexcept : m_fd(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { reset(); }

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    int release();
    void reset(int fd = -1);

private:
    int m_fd = -1;
};

// Where an output goes, with the user's own links on the way followed.
struct OutputPlace {
    FileHandle folder;         // the folder, opened
    QByteArray leaf;           // the last name in it
    QString shown;             // the name as the messages give it: as the caller gave it
    bool sharedFolder = false; // sticky and world-writable
    uid_t folderOwner = 0;
    bool exists = false;
    struct stat existing {}; // what the last name is (never a link), when it exists
    // The last name is one of the process's own descriptors (/dev/stdout, /proc/self/fd/N): a
    // link of the system's to a pipe, a terminal or an open file, written where it leads.
    bool descriptor = false;
    QString error; // why nothing may be written; empty when all is well
    bool ok() const { return error.isEmpty(); }
};

// Opens the folder of `fileName` and looks at its last name there. A link is followed when the
// link rule allows it (read once, then looked at in its own folder, up to 40 links deep) and
// refused when it does not: `"F" is a link owned by another user; nothing was written`. In a
// sticky world-writable folder an existing name that is not the user's (nor the folder owner's)
// is refused: `"F" belongs to another user; nothing was written`.
OutputPlace placeOutput(const QString& fileName);

// Looks at the last name again, just before a write becomes visible, and says why the write must
// not go ahead (the name became a link, or another user's). Empty when it may.
QString recheckOutput(const OutputPlace& place);

// The message for a descriptor whose file is not the user's in a shared folder, or not regular
// when `regularOnly`: `"F" is not a regular file; nothing was written`. Empty when it may be
// written.
QString refusedDescriptor(const OutputPlace& place, const struct stat& st, bool regularOnly);

// Opens an existing FIFO or device in place for writing. A FIFO that no program reads is refused
// at once, `"F" is a FIFO that no program reads; nothing was written`, rather than waiting for a
// reader that may never come. The descriptor blocks again once open.
FileHandle openStreamInPlace(const OutputPlace& place, QString& error);

// Opens `fileName` for appending records: made when missing (mode 0666 less the umask), never
// through a link the rule refuses, never a FIFO or a device, never another user's file in a
// shared folder. The descriptor is checked, not the name. `created` says whether it was made.
struct AppendTarget {
    OutputPlace place;
    FileHandle fd;
    bool created = false;
    bool readable = false; // opened for reading too (to look at the last byte)
    QString error;
    bool ok() const { return error.isEmpty(); }
};
AppendTarget openForAppend(const QString& fileName);

// Removes a file made by openForAppend (an append that failed before its first record), only when
// the name still is that file.
void removeCreated(const AppendTarget& target);

// The system's reason for the last failure ("No such file or directory").
QString systemReason(int error);

} // namespace zul
