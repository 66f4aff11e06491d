#include "support/zulprocess.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcessEnvironment>

#include <sstream>

namespace zul::testing {

namespace {

// Without a display, and without a platform or logging rules chosen for the test itself.
QProcessEnvironment programEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_LOGGING_RULES"})
        env.remove(var);
    return env;
}

} // namespace

std::vector<std::string> ProgramRun::lines() const {
    std::vector<std::string> result;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "zul-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

QString zulProgram() {
    const QString other = qEnvironmentVariable("ZUL_PROGRAM");
    return other.isEmpty() ? QString(ZUL_EXE) : other;
}

ProgramRun runProgram(const QString& program, const QStringList& args, const QByteArray& input,
                      const QString& workingDir, int timeoutMs) {
    ensureApplication();
    QProcess p;
    p.setProcessEnvironment(programEnvironment());
    if (!workingDir.isEmpty()) p.setWorkingDirectory(workingDir);
    p.start(program, args);
    if (!p.waitForStarted()) return {};
    p.write(input);
    p.closeWriteChannel();
    const bool ended = p.waitForFinished(timeoutMs);
    ProgramRun r;
    r.status = ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

ProgramRun runZul(const QStringList& args, const QByteArray& input, const QString& workingDir) {
    ProgramRun r = runProgram(zulProgram(), args, input, workingDir);
    logRun(args, input, r.status, r.out, r.err);
    return r;
}

void startZul(QProcess& p, const QStringList& args, const QString& workingDir) {
    ensureApplication();
    p.setProcessEnvironment(programEnvironment());
    if (!workingDir.isEmpty()) p.setWorkingDirectory(workingDir);
    p.start(zulProgram(), args);
}

void logRun(const QStringList& args, const QByteArray& input, int status, const std::string& out,
            const std::string& err) {
    const QString log = qEnvironmentVariable("ZUL_RUN_LOG");
    if (log.isEmpty()) return;
    QFile f(log);
    if (!f.open(QIODevice::Append)) return;
    const auto block = [&f](const char* what, const QByteArray& bytes) {
        f.write(QByteArray(what) + " " + QByteArray::number(bytes.size()) + "\n" + bytes + "\n");
    };
    block("args", args.join('\x1f').toUtf8());
    block("stdin", input);
    block("status", QByteArray::number(status));
    block("stdout", QByteArray::fromStdString(out));
    block("stderr", QByteArray::fromStdString(err));
}

} // namespace zul::testing
