#include <QCoreApplication>

#include <gtest/gtest.h>

// D-Bus wants an application object, whose events the waits deliver.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
