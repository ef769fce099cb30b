#pragma once

#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/SettingsStore.h"
#include "support/CapturedOutput.h"
#include "support/EvdevKeycodes.h"
#include "support/WaitUntil.h"
#include "support/XTestKeyboard.h"
#include "support/XkbProbe.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmora::test {

// Every test gets its own Xvfb with "ru,us", a keyboard and another client;
// status lines are captured, the settings are in memory with their defaults.
class XvfbFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::setStandard(std::make_shared<InMemorySettingsStore>());
        configureDefaultSettings();
        if (!server.start())
            GTEST_SKIP() << "the X11 tests need Xvfb: " << server.error().toStdString();
        ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us")));
        keyboard = std::make_unique<XTestKeyboard>(server.display());
        probe = std::make_unique<XkbProbe>(server.display());
        ASSERT_TRUE(keyboard->isConnected() && probe->isConnected());
    }
    void TearDown() override { Platform::install({}); }
    bool groupBecomes(int group) {
        return waitUntil([&] { return probe->currentGroup() == group; });
    }

    XvfbServer server;
    CapturedOutput output;
    std::unique_ptr<XTestKeyboard> keyboard;
    std::unique_ptr<XkbProbe> probe;
};

} // namespace velmora::test
