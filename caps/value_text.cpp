// value_text.cpp — numbers, reals, names, ranges and lists in value texts.
#include "caps/value_text.h"

#include <cstdint>
#include <cstdio>

#include "caps/fix32.h"

namespace caps {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

TW_UINT32 parseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Saturate well before int64 could overflow; the clamp below does the rest.
    constexpr std::int64_t limit = std::int64_t{1} << 40;
    std::int64_t n = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        if (n < limit) n = n * 10 + (text[i] - '0');
    if (negative) n = -n;
    if (n < INT32_MIN) n = INT32_MIN;
    if (n > static_cast<std::int64_t>(UINT32_MAX)) n = UINT32_MAX;
    return static_cast<TW_UINT32>(static_cast<std::uint32_t>(n));
}

double parseReal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    double value = 0.0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10.0 + (text[i] - '0');
        if (value > 1e30) value = 1e30;  // far outside TW_FIX32 already
    }
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            value += (text[i] - '0') * scale;
            scale /= 10.0;
        }
    }
    return negative ? -value : value;
}

bool isSymbolicName(std::string_view text) {
    if (text.empty()) return false;
    char c = text.front();
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::vector<std::string_view> splitList(std::string_view text, std::size_t maxItems) {
    std::vector<std::string_view> items;
    std::size_t start = 0;
    while (start <= text.size() && items.size() < maxItems) {
        std::size_t comma = text.find(',', start);
        std::size_t end = comma == std::string_view::npos ? text.size() : comma;
        if (end > start) items.push_back(text.substr(start, end - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return items;
}

RangeParts splitRange(std::string_view text) {
    RangeParts parts;
    std::size_t underscore = text.find('_');
    parts.minimum = underscore == std::string_view::npos ? text : text.substr(0, underscore);
    std::size_t to = text.find("to_");
    if (to != std::string_view::npos) {
        parts.hasTo = true;
        std::size_t from = to + 3;
        std::size_t comma = text.find(',', from);
        parts.maximum = text.substr(
            from, comma == std::string_view::npos ? std::string_view::npos : comma - from);
    }
    std::size_t comma = text.find(',');
    if (comma != std::string_view::npos) {
        parts.hasComma = true;
        parts.step = text.substr(comma + 1);
    }
    return parts;
}

Shape shapeOf(std::string_view text) {
    if (text.find("to") != std::string_view::npos) return Shape::Range;
    if (text.find('[') != std::string_view::npos) return Shape::Array;
    if (text.find(',') != std::string_view::npos) return Shape::Enumeration;
    return Shape::OneValue;
}

std::string_view arrayBody(std::string_view text) {
    if (text.size() < 2) return {};
    return text.substr(1, text.size() - 2);
}

std::string withoutBrackets(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '[' && c != ']') out += c;
    return out;
}

std::string_view cut(std::string_view text, std::size_t n) {
    return text.substr(0, n);
}

std::string formatReal(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", value);
    return buf;
}

TW_FRAME parseFrame(std::string_view text) {
    TW_FRAME frame{};
    TW_FIX32* const edges[] = {&frame.Left, &frame.Top, &frame.Right, &frame.Bottom};
    std::size_t start = 0;
    for (TW_FIX32* edge : edges) {
        if (start > text.size()) break;
        std::size_t colon = text.find(':', start);
        std::string_view part = text.substr(
            start, colon == std::string_view::npos ? std::string_view::npos : colon - start);
        *edge = FloatToFIX32(static_cast<float>(parseReal(part)));
        if (colon == std::string_view::npos) break;
        start = colon + 1;
    }
    return frame;
}

std::string formatFrame(const TW_FRAME& frame) {
    return formatReal(FIX32ToFloat(frame.Left)) + ":" + formatReal(FIX32ToFloat(frame.Top)) + ":" +
           formatReal(FIX32ToFloat(frame.Right)) + ":" + formatReal(FIX32ToFloat(frame.Bottom));
}

}  // namespace caps
