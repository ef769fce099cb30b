#include "updates/AppVersion.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

std::optional<AppVersion> decoded(const QByteArray& body, Error* error = nullptr) {
    return AppVersion::decode(body, error);
}

TEST(AppVersionTest, DecodesTheThreeMembersAndIgnoresOthers) {
    const auto record = decoded(R"({"url": "https://x.invalid/2.deb", "version": "2.0", "name": "Velmora",
                                    "Version": 3, "notes": {"en": "faster"}, "size": null})");
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(*record, (AppVersion{"Velmora", "2.0", "https://x.invalid/2.deb"}));
}

// The package's digest and signature are read when they are strings; a feed
// without them, or with something else there, still offers the update.
TEST(AppVersionTest, DigestAndSignatureAreOptionalStrings) {
    const auto record = decoded(R"({"name": "V", "version": "2.0", "url": "u", "sha256": "ab", "signature": "cd"})");
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->sha256, QStringLiteral("ab"));
    EXPECT_EQ(record->signature, QStringLiteral("cd"));
    const auto odd = decoded(R"({"name": "V", "version": "2.0", "url": "u", "sha256": null, "signature": ["cd"]})");
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(odd->sha256, std::nullopt);
    EXPECT_EQ(odd->signature, std::nullopt);
}

TEST(AppVersionTest, EncodingRoundTrips) {
    for (const AppVersion& record :
         {AppVersion{QStringLiteral("Velmora \"β\""), QStringLiteral("2.0"), QStringLiteral("https://x/?a=1&b")},
          AppVersion{QStringLiteral("V"), QStringLiteral("2.0"), QStringLiteral("u"), QStringLiteral("ab"),
                     QStringLiteral("cd")}})
        EXPECT_EQ(decoded(record.encode()), record);
}

TEST(AppVersionTest, EveryMemberIsARequiredString) {
    struct Case {
        const char* body;
        const char* expected;
    };
    const Case cases[] = {
        {R"({"name": "V", "version": "2"})", "The update information has no \"url\"."},
        {R"({"name": "V", "Version": "2", "url": "u"})", "The update information has no \"version\"."},
        {R"({"name": null, "version": "2", "url": "u"})", "\"name\" in the update information is null."},
        {R"({"name": "V", "version": 2.0, "url": "u"})",
         "\"version\" in the update information is a number, not a string."},
        {R"({"name": "V", "version": "2", "url": ["u"]})",
         "\"url\" in the update information is an array, not a string."},
        {R"({"name": true, "version": "2", "url": "u"})",
         "\"name\" in the update information is a Boolean, not a string."},
        {R"({"name": {}, "version": "2", "url": "u"})",
         "\"name\" in the update information is an object, not a string."},
    };
    for (const Case& c : cases) {
        Error error;
        EXPECT_FALSE(decoded(c.body, &error).has_value()) << c.body;
        EXPECT_EQ(error.localizedDescription, QString::fromUtf8(c.expected)) << c.body;
        EXPECT_EQ(error.domain, QStringLiteral("UpdateFeedDecoding"));
    }
}

TEST(AppVersionTest, BodyMustBeOneJsonObject) {
    for (const char* body :
         {"", "   ", "[]", R"(["name", "version", "url"])", R"("2.0")", "null", "<html></html>",
          R"({"name": "V", "version": "2", "url": "u"} trailing)", R"({"name": "V", "version": "2")"}) {
        Error error;
        EXPECT_FALSE(decoded(body, &error).has_value()) << body;
        EXPECT_FALSE(error.localizedDescription.isEmpty()) << body;
    }
}

TEST(AppVersionTest, SizeLimitIsExactlyOneMebibyte) {
    const QByteArray head = R"({"name": "V", "version": "2", "url": "u", "pad": ")";
    const QByteArray tail = R"("})";
    const qsizetype padding = AppVersion::maximumFeedSize - head.size() - tail.size();
    const QByteArray atLimit = head + QByteArray(padding, 'x') + tail;
    ASSERT_EQ(atLimit.size(), AppVersion::maximumFeedSize);
    EXPECT_TRUE(decoded(atLimit).has_value());

    const QByteArray overLimit = head + QByteArray(padding + 1, 'x') + tail;
    Error error;
    EXPECT_FALSE(decoded(overLimit, &error).has_value());
    EXPECT_EQ(error.localizedDescription,
              QStringLiteral("The update information is larger than 1048576 bytes."));
}

} // namespace
