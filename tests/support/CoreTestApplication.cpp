#include "support/TestApplication.h"

namespace velmora::test {

std::unique_ptr<QCoreApplication> makeTestApplication(int& argc, char** argv) {
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace velmora::test
