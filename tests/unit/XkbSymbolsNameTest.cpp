#include "platform/x11/XkbSymbolsName.h"

#include <gtest/gtest.h>

using velmora::layoutsFromSymbolsName;

namespace {

struct Case {
    const char* symbolsName;
    QStringList layouts;
};

void PrintTo(const Case& c, std::ostream* out) { *out << '"' << c.symbolsName << '"'; }

class SymbolsNamesAsTheServerReportsThem : public ::testing::TestWithParam<Case> {};

TEST_P(SymbolsNamesAsTheServerReportsThem, GiveTheLayoutOfEachGroup) {
    EXPECT_EQ(layoutsFromSymbolsName(QString::fromUtf8(GetParam().symbolsName)), GetParam().layouts);
}

INSTANTIATE_TEST_SUITE_P(
    XkbSymbolsName, SymbolsNamesAsTheServerReportsThem,
    ::testing::Values(
        Case{"pc+us+inet(evdev)", {"us"}}, Case{"pc+ru+us:2+inet(evdev)", {"ru", "us"}},
        Case{"pc+ru+us(intl):2+inet(evdev)", {"ru", "us(intl)"}},
        Case{"pc+us(basic)+inet(evdev)", {"us(basic)"}},
        Case{"pc+us+ru(phonetic):2+inet(evdev)+group(alt_shift_toggle)", {"us", "ru(phonetic)"}},
        Case{"pc+de(nodeadkeys)+ru:2+us:3+gr:4+inet(evdev)", {"de(nodeadkeys)", "ru", "us", "gr"}},
        // Per-group options follow their group's layout and do not replace it.
        Case{"pc+us+ru:2+inet(evdev)+level3(ralt_switch_for_alts_toggle):1+level3(ralt_switch_for_alts_"
             "toggle):2"
             "+group(alts_toggle)",
             {"us", "ru"}},
        Case{"pc+ara+us:2+inet(evdev)+typo(base):1+typo(base):2", {"ara", "us"}},
        Case{"pc+us+apl(level3):1", {"us"}},
        // Option files are never layouts, whatever their place.
        Case{"pc+inet(evdev)+ctrl(nocaps)+us+compose(ralt)+ru:2+terminate(ctrl_alt_bksp)", {"us", "ru"}},
        // Override merges ("|") separate components as "+" does.
        Case{"pc+us+ru:2+inet(evdev)|ctrl(swapcaps)", {"us", "ru"}}, Case{"us", {"us"}}));

TEST(XkbSymbolsName, AGroupTheNameSkipsIsEmpty) {
    EXPECT_EQ(layoutsFromSymbolsName(QStringLiteral("pc+us+ru:3")), (QStringList{"us", "", "ru"}));
    EXPECT_EQ(layoutsFromSymbolsName(QStringLiteral("pc+ru:2+inet(evdev)")), (QStringList{"", "ru"}));
}

TEST(XkbSymbolsName, GroupsOutsideOneToFourAreIgnored) {
    EXPECT_EQ(layoutsFromSymbolsName(QStringLiteral("pc+us+ru:5+de:0")), QStringList{"us"});
    EXPECT_EQ(layoutsFromSymbolsName(QStringLiteral("pc+us+ru:4")), (QStringList{"us", "", "", "ru"}));
}

TEST(XkbSymbolsName, NothingUsableGivesNoLayouts) {
    EXPECT_EQ(layoutsFromSymbolsName(QString()), QStringList{});
    EXPECT_EQ(layoutsFromSymbolsName(QStringLiteral("pc+inet(evdev)")), QStringList{});
    EXPECT_EQ(layoutsFromSymbolsName(QStringLiteral("+++")), QStringList{});
}

TEST(XkbSymbolsName, MalformedComponentsAreSkipped) {
    EXPECT_EQ(layoutsFromSymbolsName(QStringLiteral("pc+us(intl+ru:2")), (QStringList{"", "ru"}));
    EXPECT_EQ(layoutsFromSymbolsName(QStringLiteral("pc+us:x+ru")), QStringList{"ru"});
    EXPECT_EQ(layoutsFromSymbolsName(QStringLiteral("pc++us")), QStringList{"us"});
}

} // namespace
