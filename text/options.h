#pragma once
// The one option layer of both faces: every command's options and the window's. Its rules:
//   --opt V and --opt=V give a long option its value; a short option takes the next argument;
//   the value is the next argument whatever it looks like ("--from --" gives --from "--");
//   -- ends the options; an empty argument, "-" (standard input) and a number ("-5", "-.5")
//   are values, never options;
//   -h and --help ask for the command's help;
//   a flag given a value ("--pwd=1") is an unknown option.
// The arguments are read in order and reading stops at the first help or usage error, so a
// command that checks each option as it comes reports the first fault on the line.
#include <string>
#include <vector>

namespace zul {

struct OptionRule {
    const char* name; // "--from", "-o"
    bool takesValue;
    const char* alias = nullptr; // a second name for the same option ("--output" for "-o")
};

// How a command words the two faults the layer finds.
struct OptionWording {
    const char* unknown = "unknown option";    // unknown option "--bogus"
    const char* missing = "needs an argument"; // --from needs an argument
};

struct Arg {
    enum class Kind {
        Option,     // `name` as declared, `value` its value (empty for a flag)
        Positional, // `value`
        Help,       // -h or --help
        Error,      // `value` the message, without the command's name
    };
    Kind kind;
    std::string name;
    std::string value;

    bool is(const char* option) const { return kind == Kind::Option && name == option; }
};

// The arguments after the command's name, read by the rules above. The last element is a Help
// or an Error when reading stopped there.
std::vector<Arg> parseArguments(const std::vector<std::string>& args,
                                const std::vector<OptionRule>& options,
                                const OptionWording& wording = {});

// For a face that hands on what is not its own (the window face gives Qt's own arguments to the
// application object): its options read by the rules above into `own`, ending with an Error
// where reading stopped; everything else kept untouched and in order in `rest`: other options,
// with the next argument where `foreign` says the option takes a value, values, -h and --help,
// and all from "--" on.
struct SplitArguments {
    std::vector<Arg> own;
    std::vector<std::string> rest;
};
SplitArguments splitArguments(const std::vector<std::string>& args,
                              const std::vector<OptionRule>& options,
                              const std::vector<OptionRule>& foreign,
                              const OptionWording& wording = {});

// True when `text` is read as an option (and not as a value) before "--".
bool looksLikeOption(const std::string& text);

} // namespace zul
