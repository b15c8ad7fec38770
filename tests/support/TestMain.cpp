#include <QCoreApplication>

#include <gtest/gtest.h>

// Tests run with a Qt application object, as the program does, so that Qt's event loop,
// resources and locale behave the same in both.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
