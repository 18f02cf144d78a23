// arg_reader.h — the command lines of the tools, one argument at a time:
// options by name, a value after the name or after '=', operands; what a
// tool says about each case is its own.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tools {

struct OptionSpec {
    const char* name;  // "--out", "-o"
    bool takesValue = false;
    // "--name=VALUE" too (options that start with "--" only).
    bool inlineValue = true;
};

class ArgReader {
public:
    enum class Next {
        Option,        // name(), and value() for one that takes a value
        Operand,       // arg(): no option ("-" alone is one of the unknown)
        Unknown,       // arg(): starts with '-' and names no option
        MissingValue,  // name(): the last argument, without its value
        ValueOnFlag,   // name(): "--flag=..." for an option without a value
        End,
    };

    ArgReader(std::vector<std::string> args, std::vector<OptionSpec> options)
        : args_(std::move(args)), options_(std::move(options)) {}

    Next next();

    const std::string& arg() const { return arg_; }
    const std::string& name() const { return name_; }
    const std::string& value() const { return value_; }
    // The arguments after the one just read.
    std::vector<std::string> rest() const;

private:
    const OptionSpec* find(const std::string& name) const;

    std::vector<std::string> args_;
    std::vector<OptionSpec> options_;
    std::size_t at_ = 0;
    std::string arg_, name_, value_;
};

// A whole decimal number from low to high, digits only (at most six);
// false for anything else.
bool parseNumber(const std::string& text, int low, int high, int& out);

}  // namespace tools
