#include "support/TestApplication.h"

#include <QApplication>

namespace velmora::test {

// Widgets without a display.
std::unique_ptr<QCoreApplication> makeTestApplication(int& argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QApplication>(argc, argv);
}

} // namespace velmora::test
