#include "windows/glowny.h"

#include "platform/gui/desktop.h"
#include "platform/sound/reminder_sound.h"
#include "store/codec.h"
#include "windows/help.h"
#include "windows/layout.h"

#include <QKeyEvent>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace remindo {

namespace lg = layout::glowny;

namespace {

constexpr int kSlideFirst = 1; // top = bottom - 10: only the top strip inside
constexpr int kSlideLast = 9;  // top = bottom - 90: the whole window inside

// `start` (window pixels), unless at a fractional scale its place and its
// length, each rounded to device pixels, carry the window's end past `limit`
// (device pixels: off the screen, onto a panel); then one pixel earlier.
int KeepWithin(int start, int length, int limit, qreal ratio)
{
    return qRound(start * ratio) + qRound(length * ratio) <= limit ? start : start - 1;
}

QColor Colour(lg::Rgb c)
{
    return QColor(c.r, c.g, c.b);
}

// The text as the field shows it: each stored line on a line of its own,
// without the blanks that hang at a line's end (the editor keeps them where
// it wrapped; here they would push a full line into a second one) and
// without the empty lines after the last line end.
QString DisplayText(const std::string& cp1250Text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\\r\\n?|\\r"));
    static const QRegularExpression hanging(QStringLiteral("[^\\S\\n]+$"), QRegularExpression::MultilineOption |
                                                                           QRegularExpression::UseUnicodePropertiesOption);
    QString text = QString::fromUtf8(Utf8FromCp1250(cp1250Text)).replace(lineEnd, QStringLiteral("\n"));
    text.remove(hanging);
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

} // namespace

QColor ReminderTextColour(int32_t kind)
{
    if (kind == -1 || kind == 0)
        return Colour(lg::kInkRed);
    if (kind == 1)
        return Colour(lg::kInkYellow);
    return Colour(lg::kInkGreen);
}

QString ReminderPicture(int32_t kind)
{
    if (kind == TFGlowny::kBlue)
        return QStringLiteral("komniebieski");
    if (kind == -1 || kind == 0)
        return QStringLiteral("komczerwony");
    if (kind == 1)
        return QStringLiteral("komzolty");
    return QStringLiteral("komzielony");
}

QRect TFGlowny::PlaceOf(const char* control)
{
    const struct {
        const char* name;
        layout::Rect place;
    } places[] = {
        {"LKomunikat", lg::kKomunikat}, {"LPozniej", lg::kPozniej},
        {"LNieDzis", lg::kNieDzis},     {"LNiePrzypominaj", lg::kNiePrzypominaj},
        {"LPomoc", lg::kPomoc},         {"LClose", lg::kClose},
    };
    for (const auto& p : places)
        if (std::strcmp(p.name, control) == 0)
            return ToQRect(p.place);
    return {};
}

TFGlowny::TFGlowny(AppState& state, const ShellServices& services, QWidget* parent)
    : PictureWindow(QSize(lg::kWindow.w, lg::kWindow.h), QString(), kStaysOnTop | kOwnPlacement, parent),
      state_(state), services_(services)
{
    setObjectName(QStringLiteral("TFGlowny"));
    setWindowTitle(QStringLiteral("Remindo"));
    // Comes on top without taking the keyboard from whoever is typing; a
    // click on it makes it the active window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    Background()->setObjectName(QStringLiteral("ImKomunikat"));

    auto area = [this](const char* name, bool hand) {
        ClickArea* a = AddClickArea(PlaceOf(name), hand);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    SetAccessibleRole(QAccessible::AlertMessage);
    LKomunikat_ = area("LKomunikat", false);
    LKomunikat_->setWordWrap(true);
    LKomunikat_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LKomunikat_->setTextFormat(Qt::PlainText);
    LPozniej_ = area("LPozniej", true);
    LNieDzis_ = area("LNieDzis", true);
    LNiePrzypominaj_ = area("LNiePrzypominaj", true);
    LPomoc_ = area("LPomoc", true);
    LClose_ = area("LClose", true);
    LClose_->setCursor(Qt::ArrowCursor);
    const std::pair<ClickArea*, const char*> names[] = {
        {LPozniej_, "Przypomnij później"}, {LNieDzis_, "Przypomnij jutro"},
        {LNiePrzypominaj_, "Już więcej nie przypominaj"}, {LPomoc_, "Pomoc"}, {LClose_, "Zamknij"}};
    for (const auto& [a, name] : names)
        a->setAccessibleName(QString::fromUtf8(name));
    // Tab goes top to bottom: the blue panel's close strip before its link.
    setTabOrder(LClose_, LPomoc_);
    // Escape puts the window away as a click on the text or the strip does.
    EnableEscape([this] { (kind_ == kBlue ? LClose_ : LKomunikat_)->Press(); });
    // A click on the reminder counts only once it has come to rest and its
    // text has stood for a moment: a click meant for what was there before
    // (the blue panel's close strip lies over the buttons) must not block it.
    const auto settled = [this](void (TFGlowny::*handler)()) {
        return [this, handler] {
            if (!Sliding() && !settle_.isActive())
                (this->*handler)();
        };
    };
    connect(LKomunikat_, &ClickArea::clicked, this, settled(&TFGlowny::LKomunikatClick));
    connect(LPozniej_, &ClickArea::clicked, this, settled(&TFGlowny::LPozniejClick));
    connect(LNieDzis_, &ClickArea::clicked, this, settled(&TFGlowny::LNieDzisClick));
    connect(LNiePrzypominaj_, &ClickArea::clicked, this, settled(&TFGlowny::LNiePrzypominajClick));
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(LPomoc_, &ClickArea::clicked, this, &TFGlowny::LPomocClick);
    connect(LClose_, &ClickArea::clicked, this, &TFGlowny::LCloseClick);

    // The slide moves in steps of 10 pixels, each repainted at once (the
    // event loop runs between them). The animation's setters tell of values
    // too: only a running slide moves the window.
    connect(&slide_, &QVariantAnimation::valueChanged, this, [this](const QVariant& step) {
        if (Sliding())
            SlideStep(step.toInt());
    });

    Fill(kBlue, QString(), false);
}

// ------------------------------------------------------ show and hide

void TFGlowny::Fill(int32_t kind, const QString& text, bool withoutTray)
{
    kind_ = kind;
    const bool blue = kind == kBlue;
    standing_ = !blue;
    LKomunikat_->setVisible(!blue);
    LPozniej_->setVisible(!blue);
    LNieDzis_->setVisible(!blue);
    LNiePrzypominaj_->setVisible(!blue);
    LPomoc_->setVisible(blue);
    LClose_->setVisible(blue);
    picture_ = blue && withoutTray ? QStringLiteral("komniebieski_bez_ikony") : ReminderPicture(kind);
    SetBackground(picture_);
    if (!blue) {
        QPalette p = LKomunikat_->palette();
        p.setColor(QPalette::WindowText, ReminderTextColour(kind));
        LKomunikat_->setPalette(p);
    }
    LKomunikat_->setText(text);
    FitText();
    // Reached from the keyboard (the window manager's switching), every
    // showing starts on its first button: "Przypomnij później" changes
    // nothing for good, and the panel's strip only closes it. Only the
    // window's own focus moves; the keyboard stays where it is.
    (blue ? LClose_ : LPozniej_)->setFocus(Qt::OtherFocusReason);
    if (!blue && settle_.interval() > 0)
        settle_.start();
}

void TFGlowny::FitText()
{
    // The whole text in its field: the window's font, or for a text from
    // elsewhere with more lines than the field holds, a smaller step of it.
    for (int px = kTextPx; px >= kSmallestTextPx; --px) {
        LKomunikat_->setFont(WindowFont(px));
        if (LKomunikat_->heightForWidth(LKomunikat_->width()) <= LKomunikat_->height())
            return;
    }
}

QString TFGlowny::Text() const
{
    return LKomunikat_->text();
}

QFont TFGlowny::TextFont() const
{
    return LKomunikat_->font();
}

QColor TFGlowny::TextColour() const
{
    return LKomunikat_->palette().color(QPalette::WindowText);
}

bool TFGlowny::ReminderStanding() const
{
    return standing_ && isVisible();
}

QPoint TFGlowny::ShownPosition() const
{
    // The right edge one pixel inside the work area's, the bottom on its bottom.
    const qreal ratio = devicePixelRatioF();
    // A fractional scale rounds the work area's own edges too, by up to
    // half a device pixel either way: one device pixel is kept free there.
    const bool whole = ratio == std::floor(ratio);
    const auto edge = [ratio](int v) { return int(std::floor(v * ratio + 1e-9)); };
    return QPoint(KeepWithin(workRight_ - lg::kWindow.w - 1, lg::kWindow.w, edge(workRight_) - 1, ratio),
                  KeepWithin(workBottom_ - lg::kWindow.h, lg::kWindow.h, edge(workBottom_) - (whole ? 0 : 1), ratio));
}

void TFGlowny::ShowReminderWindow(int32_t kind, const std::string& cp1250Text, bool withoutTray)
{
    const WorkArea area = services_.desktop.GetWorkArea();
    workRight_ = area.right;
    workBottom_ = area.bottom;
    MoveToStep(kSlideFirst);

    Fill(kind, DisplayText(cp1250Text), withoutTray);

    setAccessibleDescription(Text());
    show();
    SlideTo(kSlideFirst + 1, kSlideLast, [this] {
        // A screen reader speaks the reminder as it comes.
        if (kind_ != kBlue) {
            QAccessibleEvent alert(this, QAccessible::Alert);
            QAccessible::updateAccessibility(&alert);
        }
        // On top, but the keyboard stays with the program the user types in.
        services_.desktop.Raise(*this);
        if (state_.settings().SoundOn)
            services_.sound.Play(state_.settings().Volume);
    });
}

void TFGlowny::HideReminderWindow()
{
    emit hiding();
    standing_ = false;
    SlideTo(kSlideLast, kSlideFirst, [this] {
        repaint();
        hide();
    });
}

void TFGlowny::MoveToStep(int step)
{
    services_.desktop.Move(*this, ShownPosition() + QPoint(0, 10 * (kSlideLast - step)));
}

void TFGlowny::SlideStep(int step)
{
    MoveToStep(step);
    if (isVisible())
        repaint();
}

void TFGlowny::SlideTo(int fromStep, int toStep, std::function<void()> done)
{
    // A slide under way gives way to the new one, its ending dropped.
    disconnect(slideDone_);
    slide_.stop();
    slide_.setStartValue(fromStep);
    slide_.setEndValue(toStep);
    slide_.setDuration(std::max(0, slideStepMs_) * std::abs(toStep - fromStep));
    // The first step at once and the last for certain: the animation tells
    // only of a value that changed. A slide of no time ends within start().
    SlideStep(fromStep);
    slideDone_ = connect(
        &slide_, &QVariantAnimation::finished, this,
        [this, toStep, done = std::move(done)] {
            SlideStep(toStep);
            done();
        },
        Qt::SingleShotConnection);
    slide_.start();
}

// ------------------------------------------------------------ the buttons

void TFGlowny::LPozniejClick()
{
    HideReminderWindow();
    state_.session().AnswerReminder(ReminderAnswer::Later);
}

void TFGlowny::LNiePrzypominajClick()
{
    HideReminderWindow();
    state_.session().AnswerReminder(ReminderAnswer::Never);
}

void TFGlowny::LNieDzisClick()
{
    HideReminderWindow();
    state_.session().AnswerReminder(ReminderAnswer::NotToday);
}

void TFGlowny::LKomunikatClick()
{
    HideReminderWindow();
}

void TFGlowny::LCloseClick()
{
    HideReminderWindow();
}

void TFGlowny::LPomocClick()
{
    OpenHelpPage();
}

void TFGlowny::OpenHelpPage()
{
    const DateTime now = state_.clock().Now();
    if (helpOpening_)
        return;
    if (lastHelp_) {
        const int64_t since = int64_t(now.date - lastHelp_->date) * 86400000 + (now.msecs - lastHelp_->msecs);
        if (since >= 0 && since < kHelpGapMs) // a clock set back counts as time enough
            return;
    }
    lastHelp_ = now;
    helpOpening_ = true; // its failure box may run the event loop, and more asks with it
    OpenHelp(this, services_.help);
    helpOpening_ = false;
}

void TFGlowny::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_F1) {
        e->accept();
        OpenHelpPage();
        return;
    }
    PictureWindow::keyPressEvent(e);
}

} // namespace remindo
