#pragma once
// The arguments of one subcommand: options (with or without a value, long
// or short, anywhere among the operands, "--" ends them) and operands.

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace patchsmith::cli {

struct OptionDef {
    std::string_view longName;  // "output" for --output
    char shortName = 0;         // 'o' for -o; 0 for none
    std::string_view valueName; // "FILE" when the option takes a value, empty for a switch
    std::string_view help;
};

struct ParsedArgs {
    std::vector<std::string> operands;
    std::map<std::string, std::string, std::less<>> values; // by long name
    std::set<std::string, std::less<>> switches;            // by long name; "help" included
    std::string error;                                      // empty when the arguments were understood

    bool has(std::string_view name) const { return switches.count(name) > 0 || values.count(name) > 0; }
    std::optional<std::string> value(std::string_view name) const;
};

// Understands the options in `options` and -h/--help.
ParsedArgs parseArguments(std::span<const std::string> args, std::span<const OptionDef> options);

} // namespace patchsmith::cli
