#include "XvfbFixture.h"

#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/SettingsStore.h"

namespace velmora::test {

void XvfbFixture::SetUp() {
    SettingsStore::setStandard(std::make_shared<InMemorySettingsStore>());
    configureDefaultSettings();
    if (!server.start())
        GTEST_SKIP() << "Xvfb cannot start here (" << server.error().toStdString()
                     << "); the X11 integration tests need it";
}

void XvfbFixture::TearDown() { Platform::install({}); }

} // namespace velmora::test
