#include "ui/AboutBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVersionNumber>
#include <algorithm>

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
    label->setMouseTracking(true);
    return label;
}

/// A rule between the box's parts: a line, not a control, so it has no name for assistive
/// tools to read out.
QFrame* Rule(QWidget* parent, const QString& name) {
    auto* rule = new QFrame(parent);
    rule->setObjectName(name);
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
    setMouseTracking(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // The design's arrangement: the picture on the left; on the right the title and notice, a
    // rule, the two lines with their links, a rule, the legal warning and a rule above OK. The
    // texts share one left edge and keep the box's margins on every side; the box is as tall as
    // its texts need at the desktop's font, and never narrower than the design.
    auto* picture = Named(new QLabel, QStringLiteral("pctAboutSplash"), Res(101));
    picture->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    picture->setMouseTracking(true);

    const QString title = ReplacePlaceHolder(
        Res(202), BuildText(QStringLiteral(TESSALINE_VERSION)), QStringLiteral("%s"), -1);
    auto* lblTitle = Named(new QLabel(title), QStringLiteral("lblTitle"), title);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    m_link1 = Named(new LinkLabel(Res(1501), desktop), QStringLiteral("lblMarketingMessageLink1"),
                    Res(1501));
    m_link2 = Named(new LinkLabel(Res(1502), desktop), QStringLiteral("lblMarketingMessageLink2"),
                    Res(1502));

    auto* text = new QVBoxLayout;
    text->setSpacing(Twips(90));
    text->addWidget(lblTitle);
    text->addWidget(Text(this, 203, QStringLiteral("lblDescription")));
    text->addWidget(Rule(this, QStringLiteral("Frame2")));
    text->addLayout(LinkLine(Text(this, 1503, QStringLiteral("lblMarketingMessage1")), m_link1));
    text->addLayout(LinkLine(Text(this, 1504, QStringLiteral("lblMarketingMessage2")), m_link2));
    text->addWidget(Rule(this, QStringLiteral("Frame3")));
    text->addWidget(Text(this, 206, QStringLiteral("lblDisclaimer")));
    text->addWidget(Rule(this, QStringLiteral("Frame1")));
    auto* ok = Named(new QPushButton(Res(204)), QStringLiteral("cmdOK"), Res(204));
    ok->setDefault(true);
    ok->setMinimumWidth(Twips(1500));
    text->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(Twips(120));
    layout->addWidget(picture, 0, Qt::AlignTop);
    layout->addLayout(text, 1);
    // The picture as tall as the texts beside it, in the design's proportions.
    const QSize design(Twips(960), Twips(3435));
    picture->setFixedWidth(design.width());
    const int width = std::max(Twips(7590), layout->sizeHint().width());
    const int textHeight = text->heightForWidth(width - design.width() - layout->spacing() -
                                                layout->contentsMargins().left() -
                                                layout->contentsMargins().right());
    const QSize shown = design.scaled(design.width(), std::max(textHeight, 1), Qt::KeepAspectRatio);
    picture->setPixmap(OwnIcon("about-splash").pixmap(shown));
    setFixedSize(width, layout->heightForWidth(width));
}

QHBoxLayout* AboutBox::LinkLine(QLabel* message, QLabel* link) {
    // Each line keeps its words and its link together; the box grows to the right instead.
    message->setWordWrap(false);
    link->setMouseTracking(true);
    auto* line = new QHBoxLayout;
    line->setSpacing(Twips(60));
    line->addWidget(message);
    line->addWidget(link);
    line->addStretch();
    return line;
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
