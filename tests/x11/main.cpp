#include <QCoreApplication>

#include <gtest/gtest.h>

// The event taps read their connections through socket notifiers, which need
// an application object and an event loop on this thread.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
