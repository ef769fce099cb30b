#include "updates/VersionOrder.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>

using namespace velmora;

namespace {

// -1, 0 or 1, which the test macros can print.
int order(const char16_t* left, const char16_t* right) {
    const std::weak_ordering result = VersionOrder::compare(QStringView(left), QStringView(right));
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

TEST(VersionOrderTest, DigitRunsCompareAsNumbers) {
    EXPECT_LT(order(u"1.9", u"1.10"), 0);
    EXPECT_LT(order(u"2.0", u"10.0"), 0);
    EXPECT_GT(order(u"1.10", u"1.9"), 0);
    EXPECT_LT(order(u"9", u"10"), 0);
    EXPECT_LT(order(u"1.2.9", u"1.2.10"), 0);
}

TEST(VersionOrderTest, LongerStringOrdersLaterWhenAllElseIsEqual) {
    EXPECT_LT(order(u"1.0", u"1.0.0"), 0);
    EXPECT_LT(order(u"1.2", u"1.2b"), 0);
    EXPECT_LT(order(u"", u"0"), 0);
    EXPECT_GT(order(u"1.0.0", u"1.0"), 0);
}

TEST(VersionOrderTest, EqualStringsAreEquivalent) {
    for (const char16_t* text : {u"", u"1.0", u"2.0.1-beta", u"Ω 3"})
        EXPECT_EQ(order(text, text), 0);
}

TEST(VersionOrderTest, LeadingZerosDoNotChangeANumber) {
    EXPECT_EQ(order(u"1.01", u"1.1"), 0);
    EXPECT_EQ(order(u"007", u"7"), 0);
    EXPECT_EQ(order(u"0", u"000"), 0);
    EXPECT_LT(order(u"1.01", u"1.2"), 0);
    EXPECT_GT(order(u"1.010", u"1.9"), 0) << "010 is ten";
}

TEST(VersionOrderTest, NumbersOfAnyLengthCompareExactly) {
    EXPECT_LT(order(u"1.18446744073709551615", u"1.18446744073709551616"), 0);
    EXPECT_LT(order(u"99999999999999999999999999", u"100000000000000000000000000"), 0);
    EXPECT_EQ(order(u"000000000000000000000000001", u"1"), 0);
}

TEST(VersionOrderTest, OtherCharactersCompareByCodePointAndCase) {
    EXPECT_LT(order(u"1.2a", u"1.2b"), 0);
    EXPECT_LT(order(u"1.2B", u"1.2a"), 0) << "no case folding";
    // A digit meets a letter: characters, not numbers, decide.
    EXPECT_LT(order(u"1.9", u"1.a"), 0);
    EXPECT_LT(order(u"1-2", u"1.2"), 0);
    // Code points, not UTF-16 units: U+FFFD sorts before U+1F600 although its
    // unit is the larger one.
    EXPECT_LT(order(u"1\uFFFD", u"1\U0001F600"), 0);
    // Digits of other scripts are characters.
    EXPECT_GT(order(u"\u0661\u0660", u"9"), 0);
}

TEST(VersionOrderTest, SortsAReleaseHistory) {
    const QStringList ascending = {"",     "0.9", "1",    "1.0",    "1.0.0", "1.0.1", "1.1",   "1.2",
                                   "1.2b", "1.9", "1.10", "1.10.1", "2.0",   "10.0",  "10.0a", "10.0b"};
    QStringList shuffled = ascending;
    std::reverse(shuffled.begin(), shuffled.end());
    std::rotate(shuffled.begin(), shuffled.begin() + 5, shuffled.end());
    std::stable_sort(shuffled.begin(), shuffled.end(),
                     [](const QString& a, const QString& b) { return VersionOrder::isBefore(a, b); });
    EXPECT_EQ(shuffled, ascending);
}

} // namespace
