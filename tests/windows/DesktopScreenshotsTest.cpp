// The desktop program as a person sees it on Windows: beside the stand-in Visio under Wine on a
// virtual X server, every tab and dialog photographed from the screen with the frame and caption
// Wine draws, into the build's screenshots/wine folder for people to look at.
#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <set>
#include <utility>

#include "tests/windows/BesideVisio.h"
#include "ui/DialogDriver.h"

namespace tess::test {
namespace {

class Screenshots : public BesideVisio {
protected:
    void SetUp() override {
        // Wine's null display driver, which the other tests run on, draws nothing.
        if (!qEnvironmentVariableIsSet("TESSALINE_WINE_DISPLAY"))
            GTEST_SKIP() << "run through cmake/wine-run.sh with TESSALINE_WINE_DISPLAY=1";
        BesideVisio::SetUp();
        QDir().mkpath(Folder());
        TheDialogs().SetScripted(false);  // message boxes are shown, to be photographed
    }
    static QString Folder() { return QStringLiteral(TESSALINE_SCREENSHOTS "/wine"); }

    /// What the screen shows of a window, its frame included.
    static QImage Grab(QWidget& window) {
        const QRect frame = window.frameGeometry();
        return window.screen()
            ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
            .toImage();
    }
    /// How many colours a picture has, sampled: a window drawn has far more than a few.
    static size_t Colours(const QImage& picture) {
        std::set<QRgb> colours;
        for (int y = 0; y < picture.height(); y += 3)
            for (int x = 0; x < picture.width(); x += 3) colours.insert(picture.pixel(x, y));
        return colours.size();
    }
    /// The window once Wine has painted it: drawn, and the same in two grabs 100 ms apart (or
    /// the last grab after ten seconds).
    static QImage Painted(QWidget& window) {
        QImage before, picture;
        for (int tries = 0; tries < 100; ++tries) {
            QTest::qWait(100);
            before = std::exchange(picture, Grab(window));
            if (picture == before && Colours(picture) > 16) break;
        }
        return picture;
    }

    /// Saves what the screen shows of a window, its frame included, once Wine has painted it;
    /// returns a digest of the picture.
    QByteArray Photograph(QWidget& window, const QString& name) {
        const QImage picture = Painted(window);
        EXPECT_TRUE(picture.save(Folder() + QLatin1Char('/') + name + QStringLiteral(".png")))
            << name.toStdString();
        EXPECT_GT(Colours(picture), 16u) << name.toStdString();
        ++m_taken;
        return QCryptographicHash::hash(
            QByteArray(reinterpret_cast<const char*>(picture.constBits()), picture.sizeInBytes()),
            QCryptographicHash::Sha1);
    }
    /// The next window of that name photographed, then answered by action.
    void PhotographNext(DialogDriver& driver, const QString& form, const QString& name,
                    std::function<void(QDialog&)> action) {
        driver.Then(form, [this, name, action = std::move(action)](QDialog& window) {
            Photograph(window, name);
            action(window);
        });
    }
    /// The next message box photographed and answered with its default button.
    void PhotographMessage(DialogDriver& driver, const QString& name) {
        PhotographNext(driver, QStringLiteral("msgBox"), name, [](QDialog& box) {
            static_cast<QMessageBox&>(box).defaultButton()->click();
        });
    }

    size_t m_taken = 0;
};

TEST_F(Screenshots, EveryTabAndDialogUnderWine) {
    ASSERT_TRUE(Start({}));
    Choose({kUserBox, kScratchBox});
    const QStringList tabs = {QStringLiteral("1-shapes"),  QStringLiteral("2-sections"),
                              QStringLiteral("3-rows"),    QStringLiteral("4-row-order"),
                              QStringLiteral("5-options"), QStringLiteral("6-tools")};
    std::set<QByteArray> pictures;
    for (int tab = 0; tab < tabs.size(); ++tab) {
        Window().TabStrip()->setCurrentIndex(tab);
        pictures.insert(Photograph(Window(), tabs[tab]));
    }
    EXPECT_EQ(pictures.size(), static_cast<size_t>(tabs.size())) << "a tab did not come up";

    DialogDriver driver;
    PhotographNext(driver, QStringLiteral("frmAbout"), QStringLiteral("7-about"),
               [](QDialog& about) { about.accept(); });
    Action(Window(), "mnuAbout")->trigger();

    // A copy that ends well, then one whose refusals go through the copy-error dialogs.
    PhotographMessage(driver, QStringLiteral("8-clone-complete"));
    Click(QStringLiteral("cmdCopy"));
    Action(Window(), "mnuUndo")->trigger();
    Window().findChild<QAbstractButton*>(QStringLiteral("chkShapeSection_%1").arg(kUserBox))
        ->setChecked(false);
    PhotographNext(driver, QStringLiteral("frmCopyError"), QStringLiteral("9-copy-error"),
               [](QDialog& error) {
                   ClickIn(error, QStringLiteral("cmdDetails"));
                   ClickIn(error, QStringLiteral("cmdOK"));
               });
    PhotographNext(driver, QStringLiteral("frmCopyErrorDetails"),
               QStringLiteral("10-copy-error-details"),
               [](QDialog& details) { ClickIn(details, QStringLiteral("cmdOK")); });
    driver.Then(QStringLiteral("frmCopyError"),
                [](QDialog& error) { ClickIn(error, QStringLiteral("cmdOK")); });
    PhotographMessage(driver, QStringLiteral("11-clone-complete-after-refusals"));
    Click(QStringLiteral("cmdCopy"));

    // A second copy's message.
    PhotographMessage(driver, QStringLiteral("12-already-running"));
    ui::DesktopProgram second({}, Services());
    app::Startup(second).Main();
    EXPECT_TRUE(driver.Done());

    EXPECT_EQ(m_taken, 12u) << "a dialog or message did not appear";
}

}  // namespace
}  // namespace tess::test
