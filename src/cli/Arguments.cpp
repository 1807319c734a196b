#include "cli/Arguments.h"

namespace patchsmith::cli {

namespace {

const OptionDef kHelp{"help", 'h', "", "show this help"};

const OptionDef* findLong(std::string_view name, std::span<const OptionDef> options) {
    if (name == kHelp.longName) return &kHelp;
    for (const OptionDef& s : options)
        if (s.longName == name) return &s;
    return nullptr;
}

const OptionDef* findShort(char c, std::span<const OptionDef> options) {
    if (c == kHelp.shortName) return &kHelp;
    for (const OptionDef& s : options)
        if (s.shortName != 0 && s.shortName == c) return &s;
    return nullptr;
}

} // namespace

std::optional<std::string> ParsedArgs::value(std::string_view name) const {
    const auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

ParsedArgs parseArguments(std::span<const std::string> args, std::span<const OptionDef> options) {
    ParsedArgs parsed;
    const auto fail = [&parsed](std::string text) {
        if (parsed.error.empty()) parsed.error = std::move(text);
    };
    const auto store = [&](const OptionDef& option, const std::string& shown, std::optional<std::string> value) {
        const std::string name(option.longName);
        if (option.valueName.empty()) {
            if (value) fail("option " + shown + " takes no value");
            parsed.switches.insert(name);
            return;
        }
        if (!value) {
            fail("option " + shown + " needs a value (" + std::string(option.valueName) + ")");
            return;
        }
        if (parsed.values.count(name) > 0) {
            fail("option " + shown + " given twice");
            return;
        }
        parsed.values.emplace(name, *value);
    };

    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const OptionDef* option = nullptr;
        std::optional<std::string> inlineValue;
        std::string shown;
        if (arg[1] == '-') {
            const std::size_t eq = arg.find('=');
            const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
            if (eq != std::string::npos) inlineValue = arg.substr(eq + 1);
            shown = "--" + name;
            option = findLong(name, options);
        } else {
            shown = arg.substr(0, 2);
            option = findShort(arg[1], options);
            if (arg.size() > 2) inlineValue = arg.substr(2);
        }
        if (!option) {
            fail("unknown option " + shown);
            continue;
        }
        // A value may follow as the next argument.
        if (!option->valueName.empty() && !inlineValue && i + 1 < args.size()) inlineValue = args[++i];
        store(*option, shown, inlineValue);
    }
    return parsed;
}

} // namespace patchsmith::cli
