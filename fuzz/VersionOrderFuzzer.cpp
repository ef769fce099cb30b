// Any three UTF-16 strings (lone surrogates included): the numeric version
// order agrees with a plain reference implementation and behaves as an order
// (reflexive, antisymmetric, transitive, a string before its extension).

#include "updates/VersionOrder.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using velmora::VersionOrder;

int sign(std::weak_ordering order) {
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

// A token is a whole digit run (its value as digits without leading zeros)
// or one code point.
struct Token {
    bool isNumber = false;
    std::u32string digits;
    char32_t codePoint = 0;
    char32_t first = 0;
};

std::vector<Token> tokens(const std::u16string& text) {
    std::u32string points;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            points.push_back(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            points.push_back(unit);
        }
    }
    std::vector<Token> result;
    for (size_t i = 0; i < points.size();) {
        Token token;
        token.first = points[i];
        if (points[i] >= U'0' && points[i] <= U'9') {
            token.isNumber = true;
            while (i < points.size() && points[i] >= U'0' && points[i] <= U'9')
                token.digits.push_back(points[i++]);
            const size_t nonZero = token.digits.find_first_not_of(U'0');
            token.digits = nonZero == std::u32string::npos ? std::u32string() : token.digits.substr(nonZero);
        } else {
            token.codePoint = points[i++];
        }
        result.push_back(token);
    }
    return result;
}

int compareTokens(const Token& left, const Token& right) {
    if (left.isNumber && right.isNumber) {
        if (left.digits.size() != right.digits.size())
            return left.digits.size() < right.digits.size() ? -1 : 1;
        const int c = left.digits.compare(right.digits);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    // A digit run against another character: its first digit decides.
    const char32_t a = left.isNumber ? left.first : left.codePoint;
    const char32_t b = right.isNumber ? right.first : right.codePoint;
    return a < b ? -1 : (a > b ? 1 : 0);
}

int reference(const std::u16string& left, const std::u16string& right) {
    const std::vector<Token> a = tokens(left);
    const std::vector<Token> b = tokens(right);
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (const int c = compareTokens(a[i], b[i]); c != 0)
            return c;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int order(const std::u16string& left, const std::u16string& right) {
    return sign(VersionOrder::compare(QStringView(left), QStringView(right)));
}

void require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Little-endian UTF-16 units; a zero unit separates the three strings.
    std::vector<std::u16string> parts(1);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0 && parts.size() < 3)
            parts.emplace_back();
        else
            parts.back().push_back(unit);
    }
    parts.resize(3);
    const std::u16string& a = parts[0];
    const std::u16string& b = parts[1];
    const std::u16string& c = parts[2];

    const int ab = order(a, b);
    const int bc = order(b, c);
    const int ac = order(a, c);
    require(ab == reference(a, b));
    require(order(a, a) == 0);
    require(order(b, a) == -ab);
    if (ab <= 0 && bc <= 0)
        require(ac <= 0 && (ac < 0 || (ab == 0 && bc == 0)));
    if (ab == 0)
        require(ac == bc);
    // A string orders before itself with a letter added.
    require(order(a, a + u"a") < 0);
    return 0;
}
