#pragma once
// The built `zul` program run as a user runs it, without a display: for every test that runs it.
// $ZUL_PROGRAM, when set, runs another build in its place (an older one, to compare), and
// $ZUL_RUN_LOG, when set, names a file every run is appended to: arguments, input, status and
// both outputs, so that two builds' runs can be compared byte for byte.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace zul::testing {

struct ProgramRun {
    int status = -1;      // -1: did not start, did not end in time, or crashed
    std::string out, err; // the bytes as written
    // Standard output line by line, without the line breaks.
    std::vector<std::string> lines() const;
};

// QProcess wants an application object; one for the whole test program.
void ensureApplication();

// The program to run: $ZUL_PROGRAM, else the one built with the tests.
QString zulProgram();

// Any program with `input` on its standard input, in `workingDir` (empty: the test's).
ProgramRun runProgram(const QString& program, const QStringList& args, const QByteArray& input = {},
                      const QString& workingDir = {}, int timeoutMs = 60000);

// `zul ARGS...`.
ProgramRun runZul(const QStringList& args, const QByteArray& input = {},
                  const QString& workingDir = {});

// Starts `zul ARGS...` on `p` for a test that talks to it while it runs.
void startZul(QProcess& p, const QStringList& args, const QString& workingDir = {});

// Appends one run to $ZUL_RUN_LOG (nothing when unset); runZul does it by itself.
void logRun(const QStringList& args, const QByteArray& input, int status, const std::string& out,
            const std::string& err);

} // namespace zul::testing
