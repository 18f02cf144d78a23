// arg_reader.cpp — the argument reader of the tools.
#include "tools/common/arg_reader.h"

namespace tools {

const OptionSpec* ArgReader::find(const std::string& name) const {
    for (const OptionSpec& o : options_)
        if (name == o.name) return &o;
    return nullptr;
}

ArgReader::Next ArgReader::next() {
    if (at_ >= args_.size()) return Next::End;
    arg_ = args_[at_++];
    name_ = arg_;
    value_.clear();
    if (arg_.empty() || arg_[0] != '-') return Next::Operand;
    const OptionSpec* option = find(arg_);
    const std::size_t eq = arg_.find('=');
    if (!option && arg_.rfind("--", 0) == 0 && eq != std::string::npos) {
        option = find(arg_.substr(0, eq));
        if (!option || !option->inlineValue) return Next::Unknown;
        name_ = arg_.substr(0, eq);
        if (!option->takesValue) return Next::ValueOnFlag;
        value_ = arg_.substr(eq + 1);
        return Next::Option;
    }
    if (!option) return Next::Unknown;
    if (!option->takesValue) return Next::Option;
    if (at_ >= args_.size()) return Next::MissingValue;
    value_ = args_[at_++];
    return Next::Option;
}

std::vector<std::string> ArgReader::rest() const {
    return {args_.begin() + static_cast<std::ptrdiff_t>(at_), args_.end()};
}

bool parseNumber(const std::string& text, int low, int high, int& out) {
    if (text.empty() || text.size() > 6) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < low || v > high) return false;
    out = v;
    return true;
}

}  // namespace tools
