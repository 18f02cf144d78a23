// arg_reader_test.cpp — the tools' argument reader: each kind of argument
// read as what it is, and the numbers it accepts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/common/arg_reader.h"

namespace {

using Next = tools::ArgReader::Next;

// Each step as "kind name=value" (Option), "kind arg" (the others).
std::vector<std::string> steps(const std::vector<std::string>& args) {
    tools::ArgReader reader(args,
                            {{"--out", true}, {"-o", true}, {"--flag"}, {"--bare", true, false}});
    std::vector<std::string> out;
    for (Next n = reader.next(); n != Next::End; n = reader.next()) {
        switch (n) {
            case Next::Option:
                out.push_back("option " + reader.name() + "=" + reader.value());
                break;
            case Next::Operand:
                out.push_back("operand " + reader.arg());
                break;
            case Next::Unknown:
                out.push_back("unknown " + reader.arg());
                break;
            case Next::MissingValue:
                out.push_back("missing " + reader.name());
                break;
            case Next::ValueOnFlag:
                out.push_back("flag-value " + reader.name());
                break;
            case Next::End:
                break;
        }
    }
    return out;
}

TEST(ArgReader, ReadsEachKindOfArgument) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> expected;
    } const cases[] = {
        {{"--out", "x", "--out=y", "-o", "--flag"},
         {"option --out=x", "option --out=y", "option -o=--flag"}},
        {{"--flag", "--flag", "file", ""},
         {"option --flag=", "option --flag=", "operand file", "operand "}},
        {{"--out"}, {"missing --out"}},
        {{"--out="}, {"option --out="}},
        {{"--flag=1", "--nope", "--nope=1", "-", "-o=x", "-x"},
         {"flag-value --flag", "unknown --nope", "unknown --nope=1", "unknown -", "unknown -o=x",
          "unknown -x"}},
        {{"--bare", "v", "--bare=v", "--out=a=b"},
         {"option --bare=v", "unknown --bare=v", "option --out=a=b"}},
    };
    for (const Case& c : cases) EXPECT_EQ(steps(c.args), c.expected);
}

TEST(ArgReader, RestIsWhatFollowsTheArgumentJustRead) {
    tools::ArgReader reader({"--flag", "camera", "--out", "x"}, {{"--flag"}});
    EXPECT_EQ(reader.next(), Next::Option);
    EXPECT_EQ(reader.next(), Next::Operand);
    EXPECT_EQ(reader.rest(), (std::vector<std::string>{"--out", "x"}));
}

TEST(ArgReader, NumbersAreWholeDecimalsInTheirRange) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    } const cases[] = {{"0", true, 0},   {"255", true, 255}, {"256", false, 0},
                       {"-1", false, 0}, {"", false, 0},     {"1x", false, 0},
                       {" 1", false, 0}, {"+1", false, 0},   {"0000001", false, 0},
                       {"007", true, 7}};
    for (const Case& c : cases) {
        int out = -5;
        EXPECT_EQ(tools::parseNumber(c.text, 0, 255, out), c.ok) << c.text;
        EXPECT_EQ(out, c.ok ? c.value : -5) << c.text;
    }
}

}  // namespace
