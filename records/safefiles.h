#pragma once
// What a shared folder may plant where the program reads or writes: a symbolic link another user
// made in a sticky world-writable folder (/tmp, a shared project folder), a FIFO or a device in
// place of a file, a file that never ends. Writers refuse such a link as the kernel's own link
// protection does; readers take regular files only and count the bytes they read.
#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <string_view>

#include <sys/types.h>

namespace zul {

// The rule for following a link that lies in a sticky world-writable folder: only when the link
// belongs to the user or to the folder's owner. Elsewhere every link is followed.
bool followsLink(bool stickyWorldWritableFolder, uid_t linkOwner, uid_t folderOwner, uid_t user);

// The owner of a link itself (not of what it names); tests replace it to make a link look foreign.
using LinkOwner = std::function<std::optional<uid_t>(const QString& path)>;
LinkOwner systemLinkOwner();
void setLinkOwnerForTesting(LinkOwner owner); // an empty function restores the system's
// What the test's function says of `path`; nothing when no test replaced the system's.
std::optional<uid_t> linkOwnerOverride(const QString& path);

// The message when writing `fileName` would follow a link (itself, or one it leads to) that the
// rule above refuses: `"F" is a link owned by another user; nothing was written`. Empty when the
// write may go ahead.
QString refusedOutputLink(const QString& fileName);

// Whether `fileName` names (through links) something that exists and is neither a regular file
// nor a folder: a FIFO, a device, a socket. Such an output is written in place, as a stream.
bool isSpecialFile(const QString& fileName);

// A whole file read with a bound on the bytes read (not on the size the system reports: a device
// reports 0). `error` is the reason for the user when the file is not a regular file, cannot be
// read or is larger than `limit` bytes.
struct FileBytes {
    QByteArray bytes;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
FileBytes readRegularFile(const QString& fileName, qint64 limit);

// Empty when `fileName` is a regular file (through links) or does not exist; otherwise
// `"F" is not a regular file`.
QString notRegularFile(const QString& fileName);

// Whether CGATS text holds an .INCLUDE keyword (in any case), which the CGATS parser would follow
// to read another file by its path. Such input is refused whole: "CGATS includes are not read".
bool hasCgatsInclude(std::string_view cgats);
inline constexpr const char* kCgatsIncludeRefused = "CGATS includes are not read";

} // namespace zul
