#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

// The widget tests' main: painting wants an application object and the device's fonts; the tests
// run without a display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The figures stay bold at 64 pixels and more, as on the device, although the gothic face has
    // no bold of its own.
    qputenv("QT_NO_SYNTHESIZED_BOLD_LIMIT", "1");
    QApplication app(argc, argv);
    QFont::insertSubstitution("MS Gothic", "IPAGothic");
    QFont::insertSubstitution("MS UI Gothic", "IPAPGothic");
    QFont::insertSubstitution("MS Shell Dlg", "IPAPGothic");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
