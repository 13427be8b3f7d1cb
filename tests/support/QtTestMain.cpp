// main() of the Qt test binaries: one QApplication for all tests, on the platform the test's
// environment names (offscreen under CTest), in the style the program uses.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Windows"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
