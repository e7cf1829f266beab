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
#include <QTimer>
#include <set>

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
        // Message boxes are shown, photographed and answered with their default button.
        QObject::connect(&m_boxes, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || m_answering) return;
            m_answering = true;
            Photograph(*box, m_boxNames.empty() ? QStringLiteral("box") : m_boxNames.front());
            if (!m_boxNames.empty()) m_boxNames.pop_front();
            box->defaultButton()->click();
            m_answering = false;
        });
        m_boxes.start(50);
    }
    void TearDown() override {
        m_boxes.stop();
        BesideVisio::TearDown();
    }
    static QString Folder() { return QStringLiteral(TESSALINE_SCREENSHOTS "/wine"); }

    /// Saves what the screen shows of a window, its frame included, once Wine has painted it;
    /// returns a digest of the picture.
    QByteArray Photograph(QWidget& window, const QString& name) {
        QTest::qWait(500);
        const QRect frame = window.frameGeometry();
        const QImage picture = window.screen()
                                   ->grabWindow(0, frame.x(), frame.y(), frame.width(),
                                                frame.height())
                                   .toImage();
        EXPECT_TRUE(picture.save(Folder() + QLatin1Char('/') + name + QStringLiteral(".png")))
            << name.toStdString();
        // Something was drawn: a window's picture has far more than a few colours.
        std::set<QRgb> colours;
        for (int y = 0; y < picture.height(); y += 3)
            for (int x = 0; x < picture.width(); x += 3) colours.insert(picture.pixel(x, y));
        EXPECT_GT(colours.size(), 16u) << name.toStdString();
        ++m_taken;
        return QCryptographicHash::hash(
            QByteArray(reinterpret_cast<const char*>(picture.constBits()), picture.sizeInBytes()),
            QCryptographicHash::Sha1);
    }
    void ShowBoxesAs(std::initializer_list<QString> names) {
        TheDialogs().SetScripted(false);
        m_boxNames.assign(names);
    }

    QTimer m_boxes;
    std::deque<QString> m_boxNames;
    bool m_answering = false;
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
    driver.Then(QStringLiteral("frmAbout"), [this](QDialog& about) {
        Photograph(about, QStringLiteral("7-about"));
        about.accept();
    });
    Action(Window(), "mnuAbout")->trigger();

    // A copy that ends well, then one whose refusals go through the copy-error dialogs.
    ShowBoxesAs({QStringLiteral("8-clone-complete")});
    Click(QStringLiteral("cmdCopy"));
    Action(Window(), "mnuUndo")->trigger();
    Window().findChild<QAbstractButton*>(QStringLiteral("chkShapeSection_%1").arg(kUserBox))
        ->setChecked(false);
    driver.Then(QStringLiteral("frmCopyError"), [this](QDialog& error) {
        Photograph(error, QStringLiteral("9-copy-error"));
        ClickIn(error, QStringLiteral("cmdDetails"));
        ClickIn(error, QStringLiteral("cmdOK"));
    });
    driver.Then(QStringLiteral("frmCopyErrorDetails"), [this](QDialog& details) {
        Photograph(details, QStringLiteral("10-copy-error-details"));
        ClickIn(details, QStringLiteral("cmdOK"));
    });
    driver.Then(QStringLiteral("frmCopyError"),
                [](QDialog& error) { ClickIn(error, QStringLiteral("cmdOK")); });
    ShowBoxesAs({QStringLiteral("11-clone-complete-after-refusals")});
    Click(QStringLiteral("cmdCopy"));
    EXPECT_TRUE(driver.Done());

    // A second copy's message.
    ShowBoxesAs({QStringLiteral("12-already-running")});
    ui::DesktopProgram second({}, Services());
    app::Startup(second).Main();

    EXPECT_EQ(m_taken, 12u) << "a dialog or message did not appear";
}

}  // namespace
}  // namespace tess::test
