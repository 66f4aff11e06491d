#include "cli/context.h"

#include "text/errors.h"
#include "text/numtext.h"
#include "text/printable.h"
#include "workbench/datafiles.h"
#include "workbench/dialogs.h"

#include <QFile>

#include <algorithm>
#include <iostream>

namespace zul::cli {

std::string WindowSettings::setIlluminant(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static const char* const kNames[] = {"c", "d50", "d65"};
    for (int i = 0; i < 3; ++i)
        if (lower == kNames[i]) {
            illuminant = i;
            return {};
        }
    return "unknown illuminant \"" + name + "\" (C, D50 or D65)";
}

std::string WindowSettings::setGamma(const std::string& text) {
    double value = 0;
    try {
        value = parseStrict(text);
    } catch (const Error&) {
        value = 0;
    }
    if (!gammaAccepted(value)) return "--gamma must be a number from 1 to 3, not \"" + text + "\"";
    gamma = text;
    return {};
}

bool WindowSettings::take(const Arg& a, std::string& error) {
    if (a.is("--pwd"))
        pwd = true;
    else if (a.is("--adapt"))
        adapt = true;
    else if (a.is("--illuminant"))
        error = setIlluminant(a.value);
    else if (a.is("--gamma"))
        error = setGamma(a.value);
    else
        return false;
    return true;
}

void WindowSettings::applyTo(Workbench& wb) const {
    wb.startUp();
    if (illuminant != 0) wb.selectIlluminant(illuminant);
    if (pwd) wb.setPwd(1);
    if (!gamma.empty()) wb.setText(Field::Gamma, QString::fromStdString(gamma));
    if (adapt) wb.setAdaptEntries(true);
}

Workbench::Options WindowSettings::options(std::shared_ptr<const RenotationTable> table) const {
    NonInteractiveDialogs dialogs;
    Workbench wb(std::move(table), dialogs);
    applyTo(wb);
    return wb.options();
}

std::vector<OptionRule> settingOptions(bool adapt) {
    std::vector<OptionRule> out = {{"--illuminant", true}, {"--pwd", false}, {"--gamma", true}};
    if (adapt) out.push_back({"--adapt", false});
    return out;
}

std::vector<OptionRule> settingOptions(bool adapt, std::initializer_list<OptionRule> own) {
    std::vector<OptionRule> out = settingOptions(adapt);
    out.insert(out.end(), own);
    return out;
}

std::shared_ptr<const RenotationTable> loadTable(const char* command) {
    try {
        const QString file = findDataFile("Muncie.dat");
        auto table = loadRenotationTable(QFile::encodeName(file).toStdString());
        const QString notice = dataFileNotice("Muncie.dat", file);
        if (!notice.isEmpty())
            std::cerr << "zul " << command << ": " << printable(notice.toStdString()) << '\n';
        return table;
    } catch (const Error& e) {
        std::cerr << "zul " << command << ": " << printable(e.what()) << '\n';
        return nullptr;
    }
}

} // namespace zul::cli
