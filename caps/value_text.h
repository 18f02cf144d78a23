// value_text.h — the grammar of the value texts in the settings files:
// numbers, reals, symbolic names, ranges, arrays and lists. Pure text in,
// values out; no file is touched here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "caps/capability_limits.h"
#include "platform/twain.h"

namespace caps {

// Optional leading blanks, an optional sign, digits; whatever follows is
// ignored. Values beyond what a 32-bit item holds (-2^31 to 2^32 - 1) are
// clamped; the result is the 32-bit item word.
[[nodiscard]] TW_UINT32 parseInteger(std::string_view text);

// Optional blanks and sign, digits with an optional decimal point and
// fraction; independent of the C locale.
[[nodiscard]] double parseReal(std::string_view text);

// A symbolic name starts with a letter.
[[nodiscard]] bool isSymbolicName(std::string_view text);

// The items of a list: split at commas, empty items skipped (so consecutive
// commas count as one); at most `maxItems` of them.
[[nodiscard]] std::vector<std::string_view> splitList(std::string_view text,
                                                      std::size_t maxItems = LIST_ITEMS_MAX);

// The three parts of "min_to_max,step": the minimum before the first '_'
// (the whole text without one), the maximum after the first "to_" up to the
// next ',', the step after the first ','. A missing part is empty.
struct RangeParts {
    std::string_view minimum;
    std::string_view maximum;
    std::string_view step;
    bool hasTo = false;
    bool hasComma = false;
};
[[nodiscard]] RangeParts splitRange(std::string_view text);

// The shape that a value text has, tested as the shape rule does: "to"
// makes a range, else '[' an array, else ',' an enumeration.
enum class Shape { OneValue, Enumeration, Array, Range };
[[nodiscard]] Shape shapeOf(std::string_view text);

// An array text without its first and last character (the brackets).
[[nodiscard]] std::string_view arrayBody(std::string_view text);

// A text with every '[' and ']' taken out.
[[nodiscard]] std::string withoutBrackets(std::string_view text);

// The text cut to at most `n` characters.
[[nodiscard]] std::string_view cut(std::string_view text, std::size_t n);

// "%.6f".
[[nodiscard]] std::string formatReal(double value);

// A frame item: its four edges as reals, "left:top:right:bottom"; missing
// edges read as 0.
[[nodiscard]] TW_FRAME parseFrame(std::string_view text);
[[nodiscard]] std::string formatFrame(const TW_FRAME& frame);

}  // namespace caps
