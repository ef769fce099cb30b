#include "updates/VersionOrder.h"

#include <string>

namespace velmora {

namespace {

// Code points of the text; a lone surrogate stands for itself so that two
// different strings never decode to the same sequence.
std::u32string codePoints(QStringView text) {
    std::u32string points;
    points.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            points.push_back(QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else {
            points.push_back(unit);
        }
    }
    return points;
}

bool isDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

size_t endOfDigits(const std::u32string& text, size_t position) {
    while (position < text.size() && isDigit(text[position]))
        ++position;
    return position;
}

// The run [begin, end) without its leading zeros, keeping a lone "0".
size_t significantStart(const std::u32string& text, size_t begin, size_t end) {
    while (begin + 1 < end && text[begin] == U'0')
        ++begin;
    return begin;
}

std::weak_ordering toWeak(std::strong_ordering order) {
    if (order < 0)
        return std::weak_ordering::less;
    if (order > 0)
        return std::weak_ordering::greater;
    return std::weak_ordering::equivalent;
}

// Runs of any length: fewer significant digits is the smaller number, equal
// lengths compare digit by digit.
std::weak_ordering compareNumbers(const std::u32string& left, size_t leftBegin, size_t leftEnd,
                                  const std::u32string& right, size_t rightBegin, size_t rightEnd) {
    leftBegin = significantStart(left, leftBegin, leftEnd);
    rightBegin = significantStart(right, rightBegin, rightEnd);
    const size_t leftLength = leftEnd - leftBegin;
    const size_t rightLength = rightEnd - rightBegin;
    if (leftLength != rightLength)
        return toWeak(leftLength <=> rightLength);
    for (size_t k = 0; k < leftLength; ++k) {
        if (left[leftBegin + k] != right[rightBegin + k])
            return toWeak(left[leftBegin + k] <=> right[rightBegin + k]);
    }
    return std::weak_ordering::equivalent;
}

} // namespace

std::weak_ordering VersionOrder::compare(QStringView leftText, QStringView rightText) {
    const std::u32string left = codePoints(leftText);
    const std::u32string right = codePoints(rightText);
    size_t i = 0;
    size_t j = 0;
    while (i < left.size() && j < right.size()) {
        if (isDigit(left[i]) && isDigit(right[j])) {
            const size_t leftEnd = endOfDigits(left, i);
            const size_t rightEnd = endOfDigits(right, j);
            const std::weak_ordering order = compareNumbers(left, i, leftEnd, right, j, rightEnd);
            if (order != 0)
                return order;
            i = leftEnd;
            j = rightEnd;
            continue;
        }
        if (left[i] != right[j])
            return toWeak(left[i] <=> right[j]);
        ++i;
        ++j;
    }
    return toWeak((left.size() - i) <=> (right.size() - j));
}

} // namespace velmora
