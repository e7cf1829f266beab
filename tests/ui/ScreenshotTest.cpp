#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <filesystem>
#include <set>

#include "support/Samples.h"
#include "support/TempFolder.h"
#include "support/XServer.h"

// The built program as a person sees it: started under a virtual X server, its tabs chosen with
// their mnemonics from the keyboard, each tab photographed at the design's scale, at one and a
// half times it and with a large font. The
// pictures stay in the build folder (screenshots/) for people to look at.
namespace tess::test {
namespace {

/// How the desktop is set: a folder name for the pictures and the environment it stands for.
struct Desktop {
    const char* folder;
    const char* variable;
    const char* value;
};

void PrintTo(const Desktop& desktop, std::ostream* out) { *out << desktop.folder; }

QByteArray PixelsHash(const QString& path) {
    const QImage image(path);
    return QCryptographicHash::hash(
        QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()),
        QCryptographicHash::Sha1);
}

class Screenshots : public ::testing::TestWithParam<Desktop> {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/setup.sh installs them)";
        }
        ASSERT_FALSE(m_x.Display().isEmpty()) << "Xvfb did not start";
        std::filesystem::create_directories(m_folder.Path("runtime"));
        std::filesystem::permissions(m_folder.Path("runtime"), std::filesystem::perms::owner_all);
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("DISPLAY"), m_x.Display());
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(m_folder.Path("config")));
        m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(m_folder.Path("runtime")));
        m_environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        m_environment.insert(QString::fromLatin1(GetParam().variable),
                             QString::fromLatin1(GetParam().value));
    }

    /// Runs a helper program to its end; its standard output.
    QString Run(const QString& program, const QStringList& arguments, int* status = nullptr) {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.start(program, arguments);
        process.waitForFinished(30000);
        if (status) *status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }
    void Keys(const QString& keys) {
        Run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
    }
    /// The first shown window whose title matches, once there is one (30 s at most); empty
    /// when none came. Asked again and again: a search fails when a window goes as it looks.
    QString WindowShown(const QString& title) {
        const QDeadlineTimer deadline(30000);
        QString found;
        while (found.isEmpty() && !deadline.hasExpired())
            found = Run(QStringLiteral("xdotool"), {QStringLiteral("search"),
                                                    QStringLiteral("--onlyvisible"),
                                                    QStringLiteral("--name"), title})
                        .section(QLatin1Char('\n'), 0, 0);
        return found;
    }
    /// True once no window whose title matches is shown (30 s at most).
    bool WindowGone(const QString& title) {
        const QDeadlineTimer deadline(30000);
        do {
            int status = -1;
            const QString found = Run(QStringLiteral("xdotool"),
                                      {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                       QStringLiteral("--name"), title},
                                      &status);
            if (status >= 0 && found.isEmpty()) return true;
        } while (!deadline.hasExpired());
        return false;
    }
    /// Photographs the window into path once the picture has settled (two grabs in a row are
    /// the same) on something none of the pictures before showed: the program answers keys and
    /// paints in its own time. The picture's hash; empty when that did not come within a generous
    /// deadline.
    QByteArray Photograph(const QString& path, const QString& window,
                          const std::set<QByteArray>& before = {}) {
        const QDeadlineTimer deadline(30000);
        QByteArray last;
        do {
            int status = -1;
            Run(QStringLiteral(TESSALINE_SCREEN_GRAB), {path, window}, &status);
            const QByteArray hash = status == 0 ? PixelsHash(path) : QByteArray();
            if (!hash.isEmpty() && hash == last && !before.contains(hash)) return hash;
            last = hash;
        } while (!deadline.hasExpired());
        return {};
    }

    XServer m_x;
    TempFolder m_folder;
    QProcessEnvironment m_environment;
};

TEST_P(Screenshots, EveryTabChosenFromTheKeyboard) {
    const std::string drawing = m_folder.Path("test6_shape_properties.vsdx");
    std::filesystem::copy_file(SamplePath("test6_shape_properties.vsdx"), drawing);
    QProcess program;
    program.setProcessEnvironment(m_environment);
    program.start(QStringLiteral(TESSALINE_DESKTOP), {QString::fromStdString(drawing)});
    ASSERT_TRUE(program.waitForStarted(10000));

    const QString window = WindowShown(QStringLiteral("Tessaline$"));
    ASSERT_FALSE(window.isEmpty()) << "the main window did not appear: "
                                   << program.readAllStandardError().toStdString();
    Run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    const QString folder = QStringLiteral(TESSALINE_SCREENSHOTS "/") + QString::fromLatin1(GetParam().folder);
    QDir().mkpath(folder);
    // A source and a destination from the keyboard: the tree has the focus first. Each key once
    // the window shows the one before done: a button's mnemonic clicks it a moment later.
    const QString step = folder + QStringLiteral("/0-step.png");
    QByteArray picture = Photograph(step, window);
    ASSERT_FALSE(picture.isEmpty()) << "the main window did not settle";
    for (const char* keys : {"Down", "alt+u", "Down", "alt+i"}) {
        Keys(QString::fromLatin1(keys));
        picture = Photograph(step, window, {picture});
        ASSERT_FALSE(picture.isEmpty()) << keys << " changed nothing";
    }
    QFile::remove(step);

    // Compare > Source with Destination and Help > About from the keyboard, each photographed
    // and closed with Escape.
    const struct {
        const char* keys[2];
        const char* title;
        const char* picture;
    } boxes[] = {{{"alt+m", "s"}, "^Compare Source with Destination$", "/8-compare.png"},
                 {{"alt+h", "a"}, "^About Tessaline$", "/7-about.png"}};
    for (const auto& box : boxes) {
        for (const char* keys : box.keys)
            Keys(QString::fromLatin1(keys));
        const QString shown = WindowShown(QString::fromLatin1(box.title));
        ASSERT_FALSE(shown.isEmpty()) << box.title << " did not appear";
        EXPECT_FALSE(Photograph(folder + QString::fromLatin1(box.picture), shown).isEmpty())
            << box.title;
        Run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), shown});
        Keys(QStringLiteral("Escape"));
        // The next keys go to the main window only once the box has gone.
        ASSERT_TRUE(WindowGone(QString::fromLatin1(box.title))) << box.title << " stayed";
        Run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    }

    const std::vector<std::pair<QString, QString>> tabs = {
        {QStringLiteral("alt+s"), QStringLiteral("1-shapes")},
        {QStringLiteral("alt+c"), QStringLiteral("2-sections")},
        {QStringLiteral("alt+r"), QStringLiteral("3-rows")},
        {QStringLiteral("alt+d"), QStringLiteral("4-row-order")},
        {QStringLiteral("alt+p"), QStringLiteral("5-options")},
        {QStringLiteral("alt+t"), QStringLiteral("6-tools")}};
    std::set<QByteArray> seen;
    for (const auto& [keys, name] : tabs) {
        Keys(keys);
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        // Each mnemonic brings up a tab that looks like none before it.
        picture = Photograph(path, window, seen);
        ASSERT_FALSE(picture.isEmpty()) << keys.toStdString() << " changed nothing";
        seen.insert(picture);
        const QImage image(path);
        EXPECT_GE(image.width(), 300) << name.toStdString();
        EXPECT_GE(image.height(), 500) << name.toStdString();
    }

    // Ctrl+Q quits; nothing changed, so nothing is asked.
    Keys(QStringLiteral("ctrl+q"));
    ASSERT_TRUE(program.waitForFinished(15000)) << "the program did not end on Ctrl+Q";
    EXPECT_EQ(program.exitCode(), 0);
}

// The design's scale, one and a half times it, and a 12-point font where 9 points are usual.
INSTANTIATE_TEST_SUITE_P(Desktops, Screenshots,
                         ::testing::Values(Desktop{"100", "QT_SCALE_FACTOR", "1"},
                                           Desktop{"150", "QT_SCALE_FACTOR", "1.5"},
                                           Desktop{"12pt", "QT_FONT_DPI", "128"}),
                         [](const auto& test) { return std::string("At") + test.param.folder; });

}  // namespace
}  // namespace tess::test
