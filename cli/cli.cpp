#include "cli/cli.h"

#include "cli/commands.h"

#include <QString>
#include <QtGlobal>

#include <iostream>
#include <string>

namespace zul {

namespace {

constexpr const char* kUsageHead =
    "Usage: zul                          open the workbench window\n"
    "       zul --reset-settings         forget the window's remembered settings and sizes\n";
constexpr const char* kUsageTail = "       zul --help | zul --version | zul COMMAND --help\n";

std::string usageText() {
    std::string text = kUsageHead;
    for (const cli::Command& c : cli::commands())
        text += std::string("       ") + c.synopsis + "\n                                   " +
                c.summary + "\n";
    return text + kUsageTail;
}

// The commands draw offscreen and need no runtime folder: Qt's note that the environment names
// none is not the command's to print. Everything else goes where it went.
QtMessageHandler g_qtMessages = nullptr;
void commandMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set")) return;
    g_qtMessages(type, context, text);
}

} // namespace

int runCli(int argc, char** argv) {
    // Large writes, no synchronisation with C stdio.
    std::ios::sync_with_stdio(false);
    g_qtMessages = qInstallMessageHandler(commandMessages);

    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string& command = args.front();
    if (command == "-h" || command == "--help" || command == "help") {
        std::cout << usageText();
        return 0;
    }
    if (command == "--version") {
        std::cout << "zul " ZUL_VERSION "\n";
        return 0;
    }
    for (const cli::Command& c : cli::commands())
        if (command == c.name)
            return c.run(cli::Invocation(c, std::vector<std::string>(args.begin() + 1, args.end()),
                                         argc, argv));
    std::cerr << "zul: unknown command \"" << command << "\"\n" << usageText();
    return 2;
}

} // namespace zul
