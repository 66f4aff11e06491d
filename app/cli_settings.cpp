#include "app/cli_settings.h"

#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/datafiles.h"
#include "workbench/dialogs.h"

#include <algorithm>

namespace zul::cli {

bool takeWindowSetting(const std::vector<std::string>& args, std::size_t& i, WindowSettings& s,
                       std::string& error) {
    const std::string& a = args[i];
    if (a == "--pwd") {
        s.pwd = true;
        return true;
    }
    std::string name = a, arg;
    const std::size_t eq = a.find('=');
    if (eq != std::string::npos) {
        name = a.substr(0, eq);
        arg = a.substr(eq + 1);
    }
    if (name != "--illuminant" && name != "--gamma") return false;
    if (eq == std::string::npos) {
        if (i + 1 == args.size()) {
            error = name + " needs an argument";
            return true;
        }
        arg = args[++i];
    }
    if (name == "--illuminant") {
        std::string ill = arg;
        std::transform(ill.begin(), ill.end(), ill.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (ill == "c")
            s.illuminant = 0;
        else if (ill == "d50")
            s.illuminant = 1;
        else if (ill == "d65")
            s.illuminant = 2;
        else
            error = "unknown illuminant \"" + arg + "\" (C, D50 or D65)";
        return true;
    }
    double gamma = 0;
    try {
        gamma = parseStrict(arg);
    } catch (const Error&) {
        gamma = 0;
    }
    if (!(gamma >= 1 && gamma <= 3))
        error = "--gamma must be a number from 1 to 3, not \"" + arg + "\"";
    else
        s.gamma = arg;
    return true;
}

Workbench::Options windowOptions(std::shared_ptr<const RenotationTable> table,
                                 const WindowSettings& s) {
    NonInteractiveDialogs dialogs;
    Workbench wb(std::move(table), dialogs);
    wb.startUp();
    if (s.illuminant != 0) wb.selectIlluminant(s.illuminant);
    if (s.pwd) wb.setPwd(1);
    if (!s.gamma.empty()) wb.setText(Field::Gamma, QString::fromStdString(s.gamma));
    return wb.options();
}

std::shared_ptr<const RenotationTable> loadTable(std::string& error) {
    try {
        return loadRenotationTable(findDataFile("Muncie.dat").toStdString());
    } catch (const Error& e) {
        error = e.what();
        return nullptr;
    }
}

} // namespace zul::cli
