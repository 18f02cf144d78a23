// library_test.cpp — function tables bound by name: each name looked up in
// the libraries in turn, the first missing one named, and a library that
// could not be opened says why.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/library.h"

namespace {

using Fn = double (*)(double);

TEST(SymbolBinder, EachNameIsFoundInTheFirstLibraryThatHasItAndTheFirstMissingIsNamed) {
    const plat::Library absent = plat::Library::system("libpxcm-no-such-library.so.9");
    ASSERT_FALSE(absent.loaded());
    EXPECT_NE(plat::Library::lastError().find("libpxcm-no-such-library.so.9"), std::string::npos)
        << plat::Library::lastError();
    const plat::Library libc = plat::Library::system("libc.so.6");
    const plat::Library libm = plat::Library::system("libm.so.6", true);
    ASSERT_TRUE(libc.loaded() && libm.loaded());

    struct Case {
        std::vector<const plat::Library*> order;
        std::vector<const char*> names;
        std::string missing;  // "" when complete
    };
    const Case cases[] = {
        {{&libm}, {"sqrt", "floor"}, ""},
        {{&absent, &libc, &libm}, {"floor", "sqrt"}, ""},  // libm has what libc lacks
        {{&libm}, {"sqrt", "no_such_a", "no_such_b"}, "no_such_a"},
        {{&absent}, {"sqrt"}, "sqrt"},
    };
    for (const Case& c : cases) {
        plat::SymbolBinder bind(c.order);
        std::vector<Fn> table(c.names.size(), nullptr);
        for (std::size_t i = 0; i < c.names.size(); ++i) bind(table[i], c.names[i]);
        EXPECT_EQ(bind.complete(), c.missing.empty()) << c.names[0];
        EXPECT_EQ(bind.missing(), c.missing);
        if (!bind.complete()) continue;
        EXPECT_DOUBLE_EQ(table[0](2.25), c.names[0] == std::string("sqrt") ? 1.5 : 2.0);
        EXPECT_DOUBLE_EQ(table[1](2.25), c.names[1] == std::string("sqrt") ? 1.5 : 2.0);
    }
}

}  // namespace
