// picture_names_test.cpp — the driver's names against the camera's numbers
// through the runs libgphoto2 makes: list, delete (the camera renumbers, the
// names stay), capture (a name after every name given), and a list whose
// count changed behind the driver's back; the order when the numbers run out.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "gphoto2/picture_names.h"

namespace {

struct Step {
    char op;                   // 's' sync to count, 'e' erase index, 'a' append
    int value;                 // the count or the index
    std::vector<int> numbers;  // the names held after it, by number
};

std::vector<std::string> named(const std::vector<int>& numbers) {
    std::vector<std::string> out;
    for (int n : numbers) out.push_back(pictureName(n));
    return out;
}

TEST(PictureNames, FollowTheCameraThroughARun) {
    const Step steps[] = {
        {'s', 3, {1, 2, 3}},        // first listing
        {'e', 1, {1, 3}},           // picture 2 deleted: 3 is now the camera's second
        {'s', 2, {1, 3}},           // a listing that agrees keeps the names
        {'a', 0, {1, 3, 4}},        // a capture sorts after every name given
        {'e', 0, {3, 4}},           //
        {'e', 5, {3, 4}},           // out of range: nothing
        {'s', 5, {1, 2, 3, 4, 5}},  // the count changed elsewhere: afresh
        {'s', 0, {}},
    };
    PictureNames names;
    for (const Step& s : steps) {
        if (s.op == 's') names.sync(s.value);
        if (s.op == 'e') names.erase(s.value);
        if (s.op == 'a') names.append();
        ASSERT_EQ(names.names(), named(s.numbers)) << s.op << " " << s.value;
        for (size_t i = 0; i < s.numbers.size(); ++i)
            EXPECT_EQ(names.indexOf(pictureName(s.numbers[i])), static_cast<int>(i));
    }
    EXPECT_EQ(names.indexOf("picture-001.JPG"), -1);
}

bool strictlyRising(const std::vector<std::string>& v) {
    return std::adjacent_find(v.begin(), v.end(), std::greater_equal<>()) == v.end();
}

TEST(PictureNames, SortBytewiseInTheCameraOrder) {
    std::vector<std::string> all;
    for (int n = 1; n <= LAST_NAME_NUMBER; ++n) all.push_back(pictureName(n));
    EXPECT_TRUE(strictlyRising(all));
    EXPECT_GE(LAST_NAME_NUMBER, MOST_PICTURES);
    EXPECT_EQ(all[6], "picture-007.jpg");
    EXPECT_EQ(all.back(), "picture-999.jpg");
}

// A long run: a capture, then the first picture deleted, over and over with
// three pictures held. The numbers run out twice; each time all are named
// afresh, and in between the names held keep theirs; at every step they sort
// in the camera's order.
TEST(PictureNames, StayInTheCameraOrderWhenTheNumbersRunOut) {
    PictureNames names;
    names.sync(3);
    std::vector<int> renamedAt;
    for (int i = 0; i < 2 * LAST_NAME_NUMBER; ++i) {
        const std::vector<std::string> before = names.names();
        if (names.append()) {
            renamedAt.push_back(i);
            ASSERT_EQ(names.names(), named({1, 2, 3, 4}));
        } else {
            ASSERT_EQ(std::vector<std::string>(names.names().begin(), names.names().end() - 1),
                      before);
        }
        ASSERT_TRUE(strictlyRising(names.names())) << names.names().back();
        ASSERT_EQ(names.indexOf(names.names().back()), 3);
        names.erase(0);
    }
    EXPECT_EQ(renamedAt, (std::vector<int>{LAST_NAME_NUMBER - 3, 2 * LAST_NAME_NUMBER - 6}));
}

}  // namespace
