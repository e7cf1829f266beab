// Saves a picture of a window of an X display (the whole screen without a window id), for the
// screenshot test: ScreenGrab OUT.png [WINDOW-ID]. Runs on the xcb platform of DISPLAY.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication qt(argc, argv);
    if (argc < 2) return 2;
    const WId window = argc > 2 ? static_cast<WId>(std::strtoull(argv[2], nullptr, 10)) : 0;
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(window);
    return !picture.isNull() && picture.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
