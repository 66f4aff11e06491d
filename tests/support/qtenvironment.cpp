// One application object for the whole test program, made when the tests run (not when they are
// listed), on the offscreen platform unless the environment names another. Linked into every
// test program that needs Qt's event loop: zul_test_app makes a QApplication for programs that
// show or paint widgets, zul_test_core_app a QCoreApplication for those without widgets.
#ifdef ZUL_TEST_CORE_APP
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#else
#include <QApplication>
using TestApplication = QApplication;
#endif

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "zul_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) m_app = std::make_unique<TestApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<TestApplication> m_app;
};

const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
