#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

// A suite that needs more than QtCore (the output suite lays pages out with the web engine)
// defines this to create its own application object; the others get a QCoreApplication.
std::unique_ptr<QCoreApplication> tolvanaCreateTestApplication(int &argc, char **argv) __attribute__((weak));

// Tests run with a Qt application object, as the program does, so that Qt's event loop,
// resources and locale behave the same in both.
int main(int argc, char **argv)
{
    std::unique_ptr<QCoreApplication> app = tolvanaCreateTestApplication
                                                ? tolvanaCreateTestApplication(argc, argv)
                                                : std::make_unique<QCoreApplication>(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
