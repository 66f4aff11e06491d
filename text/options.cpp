#include "text/options.h"

#include "text/numtext.h"

namespace zul {

namespace {

const OptionRule* find(const std::vector<OptionRule>& options, const std::string& name) {
    for (const OptionRule& o : options)
        if (name == o.name || (o.alias && name == o.alias)) return &o;
    return nullptr;
}

// The layer's reading; with `rest`, what is not one of `options` goes there instead of ending the
// reading with a Help or an Error.
std::vector<Arg> readArguments(const std::vector<std::string>& args,
                               const std::vector<OptionRule>& options, const OptionWording& wording,
                               const std::vector<OptionRule>* foreign,
                               std::vector<std::string>* rest) {
    std::vector<Arg> out;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || !looksLikeOption(a)) {
            if (rest)
                rest->push_back(a);
            else
                out.push_back({Arg::Kind::Positional, {}, a});
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            if (rest) rest->push_back(a);
            continue;
        }
        if (a == "-h" || a == "--help") {
            if (rest) {
                rest->push_back(a);
                continue;
            }
            out.push_back({Arg::Kind::Help, a, {}});
            return out;
        }
        // "--name=value" for long options only: "-o=x" is an option of its own name.
        std::string name = a;
        const std::size_t eq = a.rfind("--", 0) == 0 ? a.find('=') : std::string::npos;
        if (eq != std::string::npos) name = a.substr(0, eq);
        const OptionRule* rule = find(options, name);
        if (!rule || (!rule->takesValue && eq != std::string::npos)) {
            if (rest) {
                rest->push_back(a);
                const OptionRule* theirs = find(*foreign, a);
                if (theirs && theirs->takesValue && i + 1 < args.size()) rest->push_back(args[++i]);
                continue;
            }
            out.push_back({Arg::Kind::Error, {}, std::string(wording.unknown) + " \"" + a + "\""});
            return out;
        }
        Arg arg{Arg::Kind::Option, rule->name, {}};
        if (rule->takesValue) {
            if (eq != std::string::npos) {
                arg.value = a.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                arg.value = args[++i];
            } else {
                out.push_back({Arg::Kind::Error, {}, name + " " + wording.missing});
                return out;
            }
        }
        out.push_back(std::move(arg));
    }
    return out;
}

} // namespace

bool looksLikeOption(const std::string& text) {
    return text.size() > 1 && text[0] == '-' && !isNumber(text);
}

std::vector<Arg> parseArguments(const std::vector<std::string>& args,
                                const std::vector<OptionRule>& options,
                                const OptionWording& wording) {
    return readArguments(args, options, wording, nullptr, nullptr);
}

SplitArguments splitArguments(const std::vector<std::string>& args,
                              const std::vector<OptionRule>& options,
                              const std::vector<OptionRule>& foreign,
                              const OptionWording& wording) {
    SplitArguments split;
    split.own = readArguments(args, options, wording, &foreign, &split.rest);
    return split;
}

} // namespace zul
