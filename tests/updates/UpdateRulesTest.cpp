// The update rules on their own: feed, addresses, version order, timing, package checks.
#include "UpdateManagerFixture.h"

#include "updates/PackageVerifier.h"
#include "updates/UpdatePolicy.h"
#include "updates/UpdateTransport.h"
#include "updates/VersionOrder.h"

#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTimeZone>

#include <ctime>

using namespace velmora;

namespace {

TEST(AppVersionTest, Decoding) {
    const qsizetype limit = AppVersion::maximumFeedSize;
    const struct {
        const char* name;
        QByteArray body;
        const char* error; // nullptr: decoded
    } rows[] = {
        {"extra members ignored", R"({"name": "V", "version": "2", "url": "u", "Version": 3})", nullptr},
        {"other types", R"({"name": "V", "version": "2", "url": "u", "sha256": 1, "signature": []})",
         nullptr},
        {"exactly at the limit", test::feedOfSize(limit), nullptr},
        {"over the limit", test::feedOfSize(limit + 1), "The update information is larger than"},
        {"missing member", R"({"name": "V", "version": "2"})", "The update information has no \"url\"."},
        {"number", R"({"name": "V", "version": 2.0, "url": "u"})",
         "\"version\" in the update information is a number"},
        {"truncated", R"({"name": "V", "version": "2")", ""},
        {"trailing bytes", R"({"name": "V", "version": "2", "url": "u"} x)", ""},
    };
    for (const auto& row : rows) {
        Error error;
        EXPECT_EQ(AppVersion::decode(row.body, &error).has_value(), row.error == nullptr) << row.name;
        EXPECT_TRUE(row.error == nullptr ||
                    (!error.localizedDescription.isEmpty() && error.localizedDescription.contains(row.error)))
            << row.name << ": " << error.localizedDescription.toStdString();
    }
    const AppVersion signedRecord{"Velmora \"β\"", "2.0", "https://x/?a=1&b", "ab", "cd"};
    EXPECT_EQ(AppVersion::decode(signedRecord.encode()), signedRecord);
}

TEST(UpdateTransportTest, AcceptedAddresses) {
    for (const char* address :
         {"https://example.invalid/v.deb", "HTTPS://example.invalid", "http://127.0.0.1:8/v",
          "http://127.8.0.1/v", "http://localhost/v", "http://[::1]:8/v"})
        EXPECT_TRUE(UpdateTransport::acceptedAddress(address)) << address;
    for (const char* address :
         {"", "not an address", "ftp://127.0.0.1/v.deb", "file:///tmp/v.deb", "javascript:alert(1)",
          "http://example.invalid/v.deb", "http://localhost.example.invalid/v", "https:///v.deb"})
        EXPECT_FALSE(UpdateTransport::acceptedAddress(address)) << address;
}

// Each row: two versions and their order. Numbers compare by value, whatever
// their length; other characters by code point (not UTF-16 unit), case and all.
TEST(VersionOrderTest, Order) {
    const auto order = [](QStringView a, QStringView b) {
        const std::weak_ordering result = VersionOrder::compare(a, b);
        return result < 0 ? -1 : int(result > 0);
    };
    for (const char16_t* text :
         {u"1.9<1.10", u"2.0<10.0", u"1.2.9<1.2.10", u"1.0<1.0.0", u"1.2<1.2b", u"<0", u"1.01=1.1", u"007=7",
          u"1.010>1.9", u"1.18446744073709551615<1.18446744073709551616", u"000000000000000000000000001=1",
          u"1.2B<1.2a", u"1.9<1.a", u"1-2<1.2", u"1\uFFFD<1\U0001F600", u"\u0661\u0660>9"}) {
        const QString row = QString::fromUtf16(text);
        const qsizetype at = row.indexOf(QRegularExpression("[<=>]"));
        const int sign = QStringLiteral("<=>").indexOf(row[at]) - 1;
        EXPECT_EQ(order(row.left(at), row.mid(at + 1)), sign) << row.toStdString();
        EXPECT_EQ(order(row.mid(at + 1), row.left(at)), -sign) << row.toStdString();
    }
}

TEST(UpdatePolicyTest, NewerUnlessSkipped) {
    const struct {
        const char* running;
        const char* offered;
        std::optional<QString> skipped;
        bool ignoreSkipped;
        bool newer;
    } rows[] = {
        {"1.9", "1.10", std::nullopt, false, true},  {"1.10", "1.9", std::nullopt, false, false},
        {"1.5", "1.05", std::nullopt, false, false}, {"1.0", "2.0", "2.0", false, false},
        {"1.0", "2.0", "2.0", true, true},   // a check the user started
        {"1.0", "2.00", "2.0", false, true}, // skipping compares whole strings
    };
    for (const auto& row : rows)
        EXPECT_EQ(UpdatePolicy::isNewer(row.running, row.offered, row.skipped, row.ignoreSkipped), row.newer)
            << row.running << " → " << row.offered << " skipped " << row.skipped.value_or("-").toStdString();
}

// Whole calendar days of the local time zone, Berlin here (for the whole
// binary) so that daylight-saving changes fall on known dates.
TEST(UpdatePolicyTest, DueAfterAWholeCalendarDay) {
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const auto local = [](int month, int day, int hour, int minute = 0) {
        return QDateTime(QDate(2024, month, day), QTime(hour, minute)); // local time
    };
    const QDateTime current = local(6, 10, 9), spring = local(3, 30, 12), autumn = local(10, 26, 12);
    const QDateTime utc(QDate(2024, 6, 9), QTime(22, 30),
                        QTimeZone(QByteArrayLiteral("UTC"))); // 00:30 on 10 June in Berlin
    const struct {
        const char* name;
        bool automaticUpdates;
        std::optional<QDateTime> lastCheck;
        QDateTime now;
        bool due;
    } rows[] = {
        {"never checked", true, std::nullopt, current, true},
        {"automatic updates off", false, current.addDays(-400), current, false},
        {"just now", true, current, current, false},
        {"23 hours, date changed", true, current.addSecs(-23 * 3600), current, false},
        {"a second short of a day", true, current.addSecs(-24 * 3600 + 1), current, false},
        {"24 hours", true, current.addSecs(-24 * 3600), current, true},
        {"spring, noon to noon", true, spring, local(3, 31, 12), true},
        {"spring, a minute short", true, spring, local(3, 31, 11, 59), false},
        {"autumn, noon to noon", true, autumn, local(10, 27, 12), true},
        {"stored in UTC, same local day", true, utc, local(6, 10, 8, 30), false},
        {"stored in UTC, next local day", true, utc, local(6, 11, 0, 30), true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(UpdatePolicy::isDue(row.automaticUpdates, row.lastCheck, row.now), row.due) << row.name;
}

// The signature binds the package's digest to the version offered.
TEST(PackageVerifierTest, Verification) {
    const test::ReleaseKey release, stranger;
    const QByteArray package = "!<arch>\ndebian-binary   " + QByteArray(4096, 'v'), other = package + 'x';
    const auto sha256 = test::ReleaseKey::sha256;
    const QString digest = sha256(package), signature = release.sign(package, "2.0");
    const struct {
        const char* name;
        std::optional<QString> digest;
        std::optional<QString> signature;
        QList<QByteArray> keys;
        const char* failure; // nullptr: verified
    } rows[] = {
        {"signed by the release key", digest, signature, {stranger.publicKey, release.publicKey}, nullptr},
        {"digest in capitals", digest.toUpper(), signature, {release.publicKey}, nullptr},
        {"digest of another file",
         sha256(other),
         release.sign(other, "2.0"),
         {release.publicKey},
         "digest does not match"},
        {"signed by another key",
         digest,
         stranger.sign(package, "2.0"),
         {release.publicKey},
         "not made by any"},
        {"signed for an older version",
         digest,
         release.sign(package, "1.9"),
         {release.publicKey},
         "for version 2.0"},
        {"the package's bytes signed", digest, release.sign(package), {release.publicKey}, "not made by any"},
        {"no digest", std::nullopt, signature, {release.publicKey}, "no sha256 digest"},
        {"no signature", digest, std::nullopt, {release.publicKey}, "no signature"},
        {"a build without keys", digest, signature, {}, "no key"},
    };
    for (const auto& row : rows) {
        const std::optional<QString> failure =
            PackageVerifier(row.keys).failure("2.0", digest.toLatin1(), row.digest, row.signature);
        EXPECT_EQ(failure.has_value(), row.failure != nullptr) << row.name;
        EXPECT_TRUE(row.failure == nullptr || failure.value_or("").contains(row.failure))
            << row.name << ": " << failure.value_or("verified").toStdString();
    }
    // Keys come from one build setting: rotation lists two; junk is left out.
    const QString keys =
        release.publicKey.toBase64() + " ; " + stranger.publicKey.toBase64() + ",c2hvcnQ=,not*base64";
    EXPECT_EQ(PackageVerifier::parseKeys(keys), (QList<QByteArray>{release.publicKey, stranger.publicKey}));
}

} // namespace
