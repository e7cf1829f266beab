#include <gtest/gtest.h>

#include <QApplication>

// The window tests run on Qt's Windows platform: the main window's marker needs a real window.
int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
