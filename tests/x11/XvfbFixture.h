#pragma once

#include "support/CapturedOutput.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

namespace velmora::test {

// Every test gets its own Xvfb; the test is skipped, saying why, only when
// Xvfb cannot start at all. Status lines are captured, and the settings are
// an in-memory store with the defaults in place.
class XvfbFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    XvfbServer server;
    CapturedOutput output;
};

} // namespace velmora::test
