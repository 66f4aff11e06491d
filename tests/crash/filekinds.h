#pragma once
// The kinds of file the crash tests write through the program's own code. A kind is a name,
// whether it is rewritten whole or appended to, and a writer that puts generation g of its
// content into a file: rewritten kinds replace the file with content g, appended kinds add
// record g. The content of a generation must differ from the one before it.
#include <QString>

#include <functional>
#include <vector>

namespace zul::testing {

struct FileKind {
    const char* name;
    bool append;
    // Writes generation `g` to `path`; an empty string on success, else the user's message.
    std::function<QString(const QString& path, int g)> write;
    // The file's name in the test's folder, for writers that only write one name.
    const char* fileName = "target.txt";
};

const std::vector<FileKind>& fileKinds();
const FileKind* findFileKind(const QString& name);

} // namespace zul::testing
