#include "XvfbFixture.h"

#include "platform/x11/X11TextInputSources.h"
#include "support/FakeXServer.h"
#include "support/WaitUntil.h"
#include "support/XkbProbe.h"

#include <chrono>
#include <thread>

using namespace velmora;
using namespace velmora::test;

namespace {

QStringList identifiers(const QList<InputSourceRef>& sources) {
    QStringList result;
    for (const InputSourceRef& source : sources)
        result.append(source->identifier.value_or(QStringLiteral("<none>")));
    return result;
}

QStringList names(const QList<InputSourceRef>& sources) {
    QStringList result;
    for (const InputSourceRef& source : sources)
        result.append(source->localizedName.value_or(QStringLiteral("<none>")));
    return result;
}

class X11TextInputSourcesTest : public XvfbFixture {
protected:
    void SetUp() override {
        XvfbFixture::SetUp();
        if (IsSkipped())
            return;
        probe = std::make_unique<XkbProbe>(server.display());
        ASSERT_TRUE(probe->isConnected());
        sources = std::make_unique<X11TextInputSources>(server.display());
    }

    QList<InputSourceRef> list() {
        std::optional<QList<InputSourceRef>> result = sources->createInputSourceList();
        EXPECT_TRUE(result.has_value());
        return result.value_or(QList<InputSourceRef>{});
    }

    // A selection is a request the server handles after returning; another
    // client sees it a moment later.
    bool probeSeesGroup(int group) {
        return waitUntil([&] { return probe->currentGroup() == group; });
    }

    std::unique_ptr<XkbProbe> probe;
    std::unique_ptr<X11TextInputSources> sources;
};

TEST_F(X11TextInputSourcesTest, ListsTheGroupsInOrderWithLayoutVariantAndGroupName) {
    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us"), QStringLiteral(",intl")));
    const QList<InputSourceRef> all = list();
    EXPECT_EQ(identifiers(all), (QStringList{"ru", "us(intl)"}));
    EXPECT_EQ(names(all), (QStringList{"Russian", "English (US, intl., with dead keys)"}));
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0]->handle, 0);
    EXPECT_EQ(all[1]->handle, 1);
}

TEST_F(X11TextInputSourcesTest, ListsFourGroupsWithTheirVariants) {
    ASSERT_TRUE(server.setLayouts(QStringLiteral("de,ru,us,gr"), QStringLiteral("nodeadkeys,phonetic,,")));
    EXPECT_EQ(identifiers(list()), (QStringList{"de(nodeadkeys)", "ru(phonetic)", "us", "gr"}));
}

TEST_F(X11TextInputSourcesTest, AKeymapWithOneGroupIsOneSource) {
    ASSERT_TRUE(server.setLayouts(QStringLiteral("us")));
    EXPECT_EQ(identifiers(list()), QStringList{"us"});
    const InputSourceRef current = sources->copyCurrentKeyboardInputSource();
    ASSERT_TRUE(current);
    EXPECT_EQ(current->localizedName, QStringLiteral("English (US)"));
}

TEST_F(X11TextInputSourcesTest, CurrentSourceFollowsTheGroupWhoeverLockedIt) {
    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us")));
    InputSourceRef current = sources->copyCurrentKeyboardInputSource();
    ASSERT_TRUE(current);
    EXPECT_EQ(current->identifier, QStringLiteral("ru"));

    ASSERT_TRUE(probe->lockGroup(1));
    current = sources->copyCurrentKeyboardInputSource();
    ASSERT_TRUE(current);
    EXPECT_EQ(current->identifier, QStringLiteral("us"));
    EXPECT_EQ(current->handle, 1);
}

TEST_F(X11TextInputSourcesTest, SelectingLocksTheGroupForEveryClient) {
    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us")));
    const QList<InputSourceRef> all = list();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(sources->selectInputSource(all[1]), 0);
    EXPECT_TRUE(probeSeesGroup(1));
    EXPECT_EQ(sources->selectInputSource(all[0]), 0);
    EXPECT_TRUE(probeSeesGroup(0));
}

TEST_F(X11TextInputSourcesTest, TheCurrentSourceIsTheOneJustSelectedHoweverFastTheyAlternate) {
    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us,de")));
    const QList<InputSourceRef> all = list();
    ASSERT_EQ(all.size(), 3);
    // The server announces each selection a moment later; with pauses of
    // varying length between them, announcements of earlier selections keep
    // arriving after later ones were made, and must not win over them.
    for (int i = 0; i < 1500; ++i) {
        const InputSourceRef& wanted = all[(i * 7 + i / 3) % 3];
        ASSERT_EQ(sources->selectInputSource(wanted), 0);
        for (int poll = 0; poll < 3; ++poll) {
            const InputSourceRef current = sources->copyCurrentKeyboardInputSource();
            ASSERT_TRUE(current);
            ASSERT_EQ(current->identifier, wanted->identifier) << "selection " << i << ", look " << poll;
            std::this_thread::sleep_for(std::chrono::microseconds(10 * (i % 8)));
        }
    }
}

TEST_F(X11TextInputSourcesTest, AChangeByAnotherClientAfterASelectionIsSeen) {
    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us")));
    const QList<InputSourceRef> all = list();
    ASSERT_EQ(all.size(), 2);
    ASSERT_EQ(sources->selectInputSource(all[1]), 0);
    ASSERT_TRUE(probeSeesGroup(1));
    ASSERT_TRUE(probe->lockGroup(0));
    const InputSourceRef current = sources->copyCurrentKeyboardInputSource();
    ASSERT_TRUE(current);
    EXPECT_EQ(current->identifier, QStringLiteral("ru"));
}

TEST_F(X11TextInputSourcesTest, SelectingWhatIsNotThereFailsAndChangesNothing) {
    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us")));
    ASSERT_TRUE(probe->lockGroup(1));
    EXPECT_EQ(sources->selectInputSource(nullptr), X11TextInputSources::noSuchSource);
    InputSource beyond{QStringLiteral("de"), QStringLiteral("German"), 3};
    EXPECT_EQ(sources->selectInputSource(std::make_shared<const InputSource>(beyond)),
              X11TextInputSources::noSuchSource);
    InputSource nameless{std::nullopt, std::nullopt, 0};
    EXPECT_EQ(sources->selectInputSource(std::make_shared<const InputSource>(nameless)),
              X11TextInputSources::noSuchSource);
    settle();
    EXPECT_EQ(probe->currentGroup(), 1);
}

TEST_F(X11TextInputSourcesTest, AKeymapLoadedByTheUserIsSeenAtTheNextCall) {
    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us")));
    EXPECT_EQ(identifiers(list()), (QStringList{"ru", "us"}));
    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,de,us")));
    EXPECT_EQ(identifiers(list()), (QStringList{"ru", "de", "us"}));
    ASSERT_TRUE(server.setLayouts(QStringLiteral("gr")));
    const InputSourceRef current = sources->copyCurrentKeyboardInputSource();
    ASSERT_TRUE(current);
    EXPECT_EQ(current->identifier, QStringLiteral("gr"));
}

TEST_F(X11TextInputSourcesTest, ASourceReadBeforeAReloadIsFoundByItsLayout) {
    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us")));
    const QList<InputSourceRef> before = list();
    ASSERT_EQ(before.size(), 2);

    ASSERT_TRUE(server.setLayouts(QStringLiteral("de,ru,us")));
    EXPECT_EQ(sources->selectInputSource(before[1]), 0);
    EXPECT_TRUE(probeSeesGroup(2));
    EXPECT_EQ(sources->selectInputSource(before[0]), 0);
    EXPECT_TRUE(probeSeesGroup(1));

    ASSERT_TRUE(server.setLayouts(QStringLiteral("de,us")));
    ASSERT_TRUE(probe->lockGroup(1));
    EXPECT_EQ(sources->selectInputSource(before[0]), X11TextInputSources::noSuchSource);
    settle();
    EXPECT_EQ(probe->currentGroup(), 1);
}

TEST_F(X11TextInputSourcesTest, TheServerGoingAwayFailsEveryCallWithOneLine) {
    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us")));
    const QList<InputSourceRef> before = list();
    ASSERT_EQ(before.size(), 2);
    probe.reset();
    server.kill();

    EXPECT_FALSE(sources->createInputSourceList().has_value());
    EXPECT_EQ(sources->copyCurrentKeyboardInputSource(), nullptr);
    EXPECT_EQ(sources->selectInputSource(before[1]), X11TextInputSources::notConnected);
    const QStringList lines = output.linesStartingWith(QStringLiteral("❌ Keyboard layouts unavailable: "));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().contains(QStringLiteral("lost the connection"))) << lines.first().toStdString();
}

class X11TextInputSourcesWithoutKeyboardTest : public ::testing::Test {
protected:
    CapturedOutput output;
};

TEST_F(X11TextInputSourcesWithoutKeyboardTest, NoServerMeansNoListAndOneLine) {
    FakeXServer placeholder({});
    X11TextInputSources sources(placeholder.display() + "1");
    EXPECT_FALSE(sources.createInputSourceList().has_value());
    EXPECT_EQ(sources.copyCurrentKeyboardInputSource(), nullptr);
    const QStringList lines = output.linesStartingWith(QStringLiteral("❌ Keyboard layouts unavailable: "));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().contains(QStringLiteral("cannot connect"))) << lines.first().toStdString();
}

TEST_F(X11TextInputSourcesWithoutKeyboardTest, AServerWithoutXkbHasNoSources) {
    FakeXServer server({.xkb = false});
    X11TextInputSources sources(server.display());
    EXPECT_FALSE(sources.createInputSourceList().has_value());
    EXPECT_NE(sources.selectInputSource(std::make_shared<const InputSource>(InputSource{"us", "English", 0})),
              0);
    const QStringList lines = output.linesStartingWith(QStringLiteral("❌ Keyboard layouts unavailable: "));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().contains(QStringLiteral("has no XKB extension")))
        << lines.first().toStdString();
}

} // namespace
