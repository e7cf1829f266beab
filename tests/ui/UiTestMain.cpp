#include <gtest/gtest.h>

#include <QApplication>

// Allocations Qt and the libraries under it keep for the life of the process (fonts, the
// platform plugin, caches) are not the program's leaks. The leak checker of the sanitizer build
// asks for this list when the process starts.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libQt6Core\n"
           "leak:libQt6Gui\n"
           "leak:libQt6Widgets\n"
           "leak:libfontconfig\n"
           "leak:libglib-2.0\n"
           "leak:libdbus-1\n"
           "leak:libxkbcommon\n";
}

// The window tests run on Qt's offscreen platform unless told otherwise.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
