#pragma once
// Small file helpers of the tests: a file written whole, a file read whole, and a CSV line split
// into its fields.
#include "records/csvline.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zul::testing {

// Writes `contents` to `path`, replacing it, and returns the path; a failure fails the test.
inline QString writeFile(const QString& path, const QByteArray& contents) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(contents) != contents.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

// The bytes of the file at `path`; "<missing>" when it cannot be read.
inline QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The fields of one CSV line.
inline std::vector<std::string> csvFields(const std::string& line, char delimiter = ',') {
    std::vector<std::string> fields;
    splitCsvLine(line, fields, delimiter);
    return fields;
}

} // namespace zul::testing
