#include "ui/AboutBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QVersionNumber>
#include <algorithm>
#include <cstdlib>

#include "ui/Controls.h"
#include "ui/DesktopProgram.h"
#include "ui/Resources.h"
#include "ui/WindowHelpers.h"

namespace tess::ui {
namespace {

const QColor kLinkBlue(0x00, 0x00, 0xFF);
const QColor kLinkHover(0x00, 0x00, 0x99);

/// A link label as assistive tools see it: a link with a press action that opens it.
class LinkLabelAccessible : public QAccessibleWidget {
public:
    explicit LinkLabelAccessible(LinkLabel* label)
        : QAccessibleWidget(label, QAccessible::Link) {}
    QString text(QAccessible::Text kind) const override {
        const auto* label = static_cast<const LinkLabel*>(widget());
        if (kind == QAccessible::Name || kind == QAccessible::Value) return label->text();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) static_cast<LinkLabel*>(widget())->Open();
    }
};

QAccessibleInterface* LinkLabelAccessibility(const QString& className, QObject* object) {
    if (className == QLatin1String(LinkLabel::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new LinkLabelAccessible(static_cast<LinkLabel*>(object));
    return nullptr;
}

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel* Text(QWidget* parent, int id, const QString& name) {
    auto* label = Named(new QLabel(Res(id), parent), name, Res(id));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QFrame* Rule(QWidget* parent, const QString& name) {
    auto* rule = Named(new QFrame(parent), name);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    return rule;
}

}  // namespace

QString ReplacePlaceHolder(QString text, const QString& value, const QString& placeholder,
                           int count) {
    if (placeholder.isEmpty()) return text;
    qsizetype from = 0;
    for (int done = 0; count < 0 || done < count; ++done) {
        const qsizetype at = text.indexOf(placeholder, from);
        if (at < 0) break;
        text.replace(at, placeholder.size(), value);
        from = at + value.size();
    }
    return text;
}

QString BuildText(const QString& version) {
    const QVersionNumber number = QVersionNumber::fromString(version);
    return QStringLiteral("Build %1.%2.%3")
        .arg(number.majorVersion())
        .arg(number.minorVersion())
        .arg(number.microVersion());
}

LinkLabel::LinkLabel(const QString& caption, desktop::IDesktopServices& desktop, QWidget* parent)
    : QLabel(caption, parent), m_desktop(desktop) {
    static const bool installed = [] {
        QAccessible::installFactory(LinkLabelAccessibility);
        return true;
    }();
    (void)installed;
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setTextFormat(Qt::PlainText);
    ShowBlue();
}

void LinkLabel::Open() const {
    m_desktop.OpenURL(QStringLiteral("http://") + text());
}

void LinkLabel::ShowBlue() {
    SetTextColour(this, kLinkBlue);
    QFont underlined = font();
    underlined.setUnderline(false);
    setFont(underlined);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Open();
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        Open();
        return;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    // Under the pointer the link darkens and is underlined; moving on over the box makes it
    // blue again.
    SetTextColour(this, kLinkHover);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QLabel::enterEvent(event);
}

AboutBox::AboutBox(desktop::IDesktopServices& desktop, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(Res(201));
    setAccessibleName(Res(201));
    setModal(true);
    setFixedSize(Twips(7590), Twips(4665));
    setMouseTracking(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* picture = Named(new QLabel(this), QStringLiteral("pctAboutSplash"), Res(101));
    Place(picture, 90, 105, 960, 3435);
    picture->setPixmap(OwnIcon("about-splash").pixmap(picture->size()));
    picture->setAlignment(Qt::AlignCenter);

    const QString title = ReplacePlaceHolder(
        Res(202), BuildText(QStringLiteral(TESSALINE_VERSION)), QStringLiteral("%s"), -1);
    auto* lblTitle = Named(new QLabel(title, this), QStringLiteral("lblTitle"), title);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    Place(lblTitle, 1155, 120, 6330, 240);
    // The notice takes two lines at the usual font sizes: it keeps the room down to the rule.
    Place(Text(this, 203, QStringLiteral("lblDescription")), 1155, 420, 6330, 400);
    Place(Rule(this, QStringLiteral("Frame2")), 1155, 840, 6330, 55);
    auto* message1 = Text(this, 1503, QStringLiteral("lblMarketingMessage1"));
    Place(message1, 1200, 960, 4215, 255);
    m_link1 = Named(new LinkLabel(Res(1501), desktop, this),
                    QStringLiteral("lblMarketingMessageLink1"), Res(1501));
    Place(m_link1, 5475, 960, 1575, 255);
    auto* message2 = Text(this, 1504, QStringLiteral("lblMarketingMessage2"));
    Place(message2, 1200, 1320, 2655, 255);
    m_link2 = Named(new LinkLabel(Res(1502), desktop, this),
                    QStringLiteral("lblMarketingMessageLink2"), Res(1502));
    Place(m_link2, 3855, 1320, 1935, 255);
    Place(Rule(this, QStringLiteral("Frame3")), 1155, 1680, 6330, 55);
    Place(Rule(this, QStringLiteral("Frame1")), 1155, 3120, 6330, 55);
    auto* disclaimer = Text(this, 206, QStringLiteral("lblDisclaimer"));
    Place(disclaimer, 1155, 3240, 6330, 780);
    auto* ok = Named(new QPushButton(Res(204), this), QStringLiteral("cmdOK"), Res(204));
    ok->setDefault(true);
    Place(ok, 6000, 4200, 1500, 345);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    const int extra = std::max(FitOnOneLine(message1, m_link1), FitOnOneLine(message2, m_link2));
    if (extra > 0) Widen(extra);
    FitHeight(disclaimer);
}

int AboutBox::FitOnOneLine(QLabel* message, QLabel* link) {
    // The design's widths suit an 8-point font; where the desktop's font is larger, each line
    // keeps its words together and the box grows to the right instead.
    message->setWordWrap(false);
    message->resize(std::max(message->width(), message->sizeHint().width()), message->height());
    link->move(std::max(link->x(), message->geometry().right() + Twips(60)), link->y());
    link->resize(std::max(link->width(), link->sizeHint().width()), link->height());
    return link->geometry().right() + 1 - Twips(7485);
}

void AboutBox::Widen(int extra) {
    const int rightEdge = Twips(7485);
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect place = child->geometry();
        if (qobject_cast<QPushButton*>(child)) child->move(place.x() + extra, place.y());
        else if (std::abs(place.right() + 1 - rightEdge) <= 1)
            child->resize(place.width() + extra, place.height());
    }
    setFixedSize(width() + extra, height());
}

void AboutBox::Display(QWidget* parent, const ProgramServices& services) {
    AboutBox box(services.desktop, parent);
    SetIcon(box, true, services.prompt);
    box.exec();
}

void AboutBox::mouseMoveEvent(QMouseEvent* event) {
    m_link1->ShowBlue();
    m_link2->ShowBlue();
    QDialog::mouseMoveEvent(event);
}

}  // namespace tess::ui
