#pragma once

#include <QCoreApplication>

#include <memory>

namespace velmora::test {

// The application object of a test binary: a QCoreApplication, or a
// QApplication where the binary tests widgets (support/WidgetTestApplication).
std::unique_ptr<QCoreApplication> makeTestApplication(int& argc, char** argv);

} // namespace velmora::test
