#include "support/TestApplication.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iostream>

namespace {

bool underCi() { return qEnvironmentVariable("CI") == QLatin1String("true"); }

// Where a real part (Xvfb, sway, KWin, GNOME Shell, a tool) cannot start, a
// test skips; under CI=true that skip is a failure, so a machine missing a
// part can never pass silently. ctest recognises the marker printed here
// (SKIP_REGULAR_EXPRESSION), never gtest's own, which CI must not match.
class SkipPolicy : public ::testing::EmptyTestEventListener {
public:
    bool skippedUnderCi = false;

private:
    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        if (!result.skipped())
            return;
        if (underCi()) {
            skippedUnderCi = true;
            std::cout << "velmora-test: a skip is a failure under CI=true: " << result.message() << std::endl;
        } else {
            std::cout << "velmora-test: skipped: " << result.message() << std::endl;
        }
    }
};

} // namespace

// Every test binary: nothing a test does may reach the user's real home,
// configuration or runtime folders, and no update check may leave the machine.
int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        qputenv(variable, home.filePath(QString::fromLatin1(variable).toLower()).toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    qputenv("VELMORA_UPDATE_FEED_URL", "http://127.0.0.1:9/version.json");

    const auto app = velmora::test::makeTestApplication(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    ::testing::InitGoogleTest(&argc, argv);
    auto* policy = new SkipPolicy;
    ::testing::UnitTest::GetInstance()->listeners().Append(policy);
    const int failed = RUN_ALL_TESTS();
    return failed != 0 || policy->skippedUnderCi ? 1 : 0;
}
