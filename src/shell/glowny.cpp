#include "shell/glowny.h"

#include "platform/core/apppaths.h"
#include "platform/gui/desktop.h"
#include "platform/sound/reminder_sound.h"
#include "store/atomicfile.h"
#include "store/codec.h"
#include "windows/help.h"

#include <QApplication>
#include <QKeyEvent>

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

std::string Number(int32_t index)
{
    return std::to_string(index + 1);
}

// The text as the field shows it: each stored line on a line of its own,
// without the blanks that hang at a line's end (the editor keeps them where
// it wrapped; here they would push a full line into a second one) and
// without the empty line after the last line end.
QString DisplayText(const std::string& cp1250Text)
{
    QString text = QString::fromUtf8(Utf8FromCp1250(cp1250Text));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        qsizetype end = line.size();
        while (end > 0 && line[end - 1].isSpace())
            --end;
        line.truncate(end);
    }
    while (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines.join(QLatin1Char('\n'));
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

    timerek_.setSingleShot(true);
    timerek_.setInterval(kStartDelayMs);
    connect(&timerek_, &QTimer::timeout, this, &TFGlowny::TimerekTimer);
    connect(&badawczy_, &QTimer::timeout, this, &TFGlowny::TBadawczyTimer);
    connect(&ukryj_, &QTimer::timeout, this, &TFGlowny::TAutomatycznieUkryjTimer);
    // Minutes and seconds apart: nothing gains from the precise timer's wake-ups.
    badawczy_.setTimerType(Qt::CoarseTimer);
    ukryj_.setTimerType(Qt::CoarseTimer);
    slide_.setTimerType(Qt::PreciseTimer);
    connect(&slide_, &QTimer::timeout, this, &TFGlowny::SlideStep);

    // Every event loop ends, the modal ones too; quit() would first ask each
    // window to close, and an open dialog would refuse.
    endProgram_ = [] { QCoreApplication::exit(0); };

    Fill(kBlue, QString());
    FormCreate();
}

TFGlowny::~TFGlowny()
{
    if (state_.timers == this)
        state_.timers = nullptr;
    state_.presenter.SetTarget(nullptr);
}

void TFGlowny::FormCreate()
{
    state_.settingsFile.PrepareSettings(state_.settings);
    state_.log.SetMode(state_.settings.LogMode);
    SetIntervals(ExaminationIntervalMs(state_.settings), AutoHideIntervalMs(state_.settings));
    state_.DataChanged = false;
    state_.list.SelectedIndex = -1;
    state_.list.items.clear();
    state_.engine.Start(); // PassTime and DataAkt
    if (state_.settings.LogMode == 1 || state_.settings.LogMode == 2)
        state_.log.SetFolder(
            DiagnosticLog::PrepareLogFolder(ProgramFolder(), InstalledProgramFolder(), StateFolder()));
    state_.presenter.SetTarget(this);
    state_.timers = this;
    // Also with LogMode 2: the list is loaded, so that a save from the list
    // window can never replace the stored reminders with an empty list.
    timerek_.start();
}

// ------------------------------------------------------------ the timers

void TFGlowny::SetIntervals(int examinationMs, int autoHideMs)
{
    // setInterval restarts a running timer; one whose interval stays the
    // same keeps counting.
    if (badawczy_.interval() != examinationMs)
        badawczy_.setInterval(examinationMs);
    if (ukryj_.interval() != autoHideMs)
        ukryj_.setInterval(autoHideMs);
}

void TFGlowny::TimerekTimer()
{
    timerek_.stop();
    LoadFromFile();
    DiagnosticLog& log = state_.log;
    const bool detail = state_.settings.LogDetail > 0;
    if (state_.settings.LogMode == 2) {
        // The test mode examines nothing; the list is there for the list window.
        log.FlushLog();
        emit dataLoaded();
        return;
    }
    if (detail) {
        log.WriteLog("Uruchomiono timer badawczy");
        log.WriteLog("Badawczy interval: " + std::to_string(badawczy_.interval()));
    }
    log.FlushLog();
    badawczy_.start();
    emit dataLoaded();
}

void TFGlowny::ReloadFromFile()
{
    // A file that went away leaves the list as it is; the next save makes it again.
    if (!FileExists(state_.dataFile.Path()))
        return;
    LoadFromFile();
    state_.log.FlushLog();
}

void TFGlowny::LoadFromFile()
{
    DiagnosticLog& log = state_.log;
    const bool detail = state_.settings.LogDetail > 0;
    log.WriteLog(Cp("Rozpoczęto wczytywanie danych"));
    const int result = state_.ReloadDataFile();
    switch (result) {
    case kLoaded:
        if (state_.list.ReminderCount() > 0) {
            state_.list.RefreshView();
            if (detail)
                log.WriteLog(Cp("Wczytano ") + std::to_string(state_.list.ReminderCount()) + Cp(" zdarzeń"));
            state_.engine.PreparationPass();
        } else {
            state_.list.items.clear();
            state_.list.RefreshView();
        }
        break;
    case kDamagedHeader:
    case kDamagedReminder:
        state_.list.items.clear();
        log.WriteLog("Plik jest uszkodzony");
        if (detail)
            log.WriteLog("Plik uszkodzony");
        state_.list.RefreshView();
        break;
    case kMissing:
        state_.list.items.clear();
        state_.SaveList();
        if (detail)
            log.WriteLog("Brak pliku - utworzono nowy");
        log.WriteLog("Utworzono nowy plik");
        state_.list.RefreshView();
        break;
    default:
        break;
    }
}

void TFGlowny::TBadawczyTimer()
{
    badawczy_.stop();
    state_.engine.ExaminationPass();
    badawczy_.start();
}

void TFGlowny::StartAutoHideTimer()
{
    // Each reminder stands for the whole time, also one that took the place
    // of the blue panel while an earlier countdown still ran.
    ukryj_.start();
    countdownOfReminder_ = true;
}

bool TFGlowny::ReminderStanding() const
{
    return standing_ && isVisible();
}

void TFGlowny::TAutomatycznieUkryjTimer()
{
    ukryj_.stop();
    if (!isVisible())
        return;
    HideReminderWindow();
    // The panel without a tray has a countdown of its own, and no reminder to name.
    if (countdownOfReminder_ && state_.settings.LogDetail > 0) {
        state_.log.WriteLog(Cp("Komunikat nr ") + Number(state_.engineState.CurrentReminderIndex) +
                            Cp(" nie został zablokowany"));
        state_.log.FlushLog();
    }
}

// ------------------------------------------------------ show and hide

void TFGlowny::Fill(int32_t kind, const QString& text)
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
    picture_ = blue && noTrayPanel_ ? QStringLiteral("komniebieski_bez_ikony") : ReminderPicture(kind);
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

void TFGlowny::ShowReminderWindow(int32_t kind, const std::string& cp1250Text)
{
    const WorkArea area = services_.desktop.GetWorkArea();
    workRight_ = area.right;
    workBottom_ = area.bottom;
    MoveToStep(kSlideFirst);

    Fill(kind, DisplayText(cp1250Text));

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
        if (state_.settings.SoundOn)
            services_.sound.Play(state_.settings.Volume);
    });
}

void TFGlowny::ShowNoTrayPanel()
{
    noTrayPanel_ = true;
    ShowReminderWindow(kBlue, std::string());
    noTrayPanel_ = false;
    // Nobody asked for it, and without an icon nothing else would take it down.
    ukryj_.start();
    countdownOfReminder_ = false;
}

void TFGlowny::HideReminderWindow()
{
    ukryj_.stop();
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

void TFGlowny::SlideTo(int fromStep, int toStep, std::function<void()> done)
{
    // A slide under way gives way to the new one, its ending dropped.
    slide_.stop();
    slideStep_ = fromStep;
    slideEnd_ = toStep;
    slideDone_ = std::move(done);
    if (slideStepMs_ <= 0) {
        while (slideDone_)
            SlideStep();
        return;
    }
    // The first position at once, the others every step: the event loop
    // keeps running between the moves.
    SlideStep();
    if (slideDone_)
        slide_.start(slideStepMs_);
}

void TFGlowny::SlideStep()
{
    MoveToStep(slideStep_);
    if (isVisible())
        repaint();
    if (slideStep_ == slideEnd_) {
        slide_.stop();
        auto done = std::move(slideDone_);
        slideDone_ = nullptr;
        if (done)
            done();
        return;
    }
    slideStep_ += slideEnd_ > slideStep_ ? 1 : -1;
}

// ------------------------------------------------------------ the buttons

bool TFGlowny::ActOnShownReminder()
{
    HideReminderWindow();
    // The reminder shown may have been deleted, or the list reloaded, since:
    // then the window only goes away and nothing is written.
    if (!state_.CurrentReminderValid())
        return false;
    if (!state_.DataChanged && state_.FileChangedElsewhere()) {
        // Another program's version first, then this reminder if it is still there.
        const Komunikat shown = state_.list[state_.engineState.CurrentReminderIndex];
        LoadFromFile();
        state_.engineState.CurrentReminderIndex = IndexOfSameReminder(state_.list, shown);
        return state_.CurrentReminderValid();
    }
    return true;
}

void TFGlowny::LogAndFlush(const std::string& cp1250Line)
{
    if (state_.settings.LogMode == 1 && state_.settings.LogDetail > 0) {
        state_.log.WriteLog(cp1250Line);
        state_.log.FlushLog();
    }
}

void TFGlowny::LPozniejClick()
{
    if (!ActOnShownReminder())
        return;
    // "Later" gives the showing back: it does not use up one of the day's
    // times, and the reminder comes again once the showing gap has passed.
    Komunikat& k = state_.list[state_.engineState.CurrentReminderIndex];
    k.ShownToday = std::max(0, k.ShownToday - 1);
    LogAndFlush(Cp("Komunikat nr ") + Number(state_.engineState.CurrentReminderIndex) + Cp(" - pokaz później"));
}

void TFGlowny::LNiePrzypominajClick()
{
    if (!ActOnShownReminder())
        return;
    const int32_t i = state_.engineState.CurrentReminderIndex;
    LogAndFlush(Cp("Komunikat nr ") + Number(i) + Cp(" został zablokowany"));
    state_.SaveReminderChange(i, [](Komunikat& k) { k.Blok = 1; });
}

void TFGlowny::LNieDzisClick()
{
    if (!ActOnShownReminder())
        return;
    const int32_t i = state_.engineState.CurrentReminderIndex;
    LogAndFlush(Cp("Komunikat nr ") + Number(i) + Cp(" został zablokowany dziś"));
    state_.SaveReminderChange(i, [today = state_.engineState.DataAkt](Komunikat& k) {
        k.BlokDzis = 1;
        k.BlokDzisData = today;
    });
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
    OpenHelp(this, services_.help);
}

void TFGlowny::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_F1) {
        e->accept();
        OpenHelp(this, services_.help);
        return;
    }
    PictureWindow::keyPressEvent(e);
}

// ------------------------------------------------------------ the tray menu

bool TFGlowny::NoWindowOpen() const
{
    if (isVisible())
        return false;
    for (const MenuWindow* w : {&menuWindows_.dane, &menuWindows_.ustawienia, &menuWindows_.kalendarz,
                                &menuWindows_.about})
        if (w->widget && w->widget->isVisible())
            return false;
    return true;
}

void TFGlowny::OpenMenuWindow(const MenuWindow& w)
{
    if (NoWindowOpen() && w.open)
        w.open();
}

void TFGlowny::CoolTrayClick()
{
    ShowReminderWindow(kBlue, std::string());
    if (state_.settings.LogDetail > 3)
        state_.log.WriteLog("Pokazano okno niebieskie");
}

void TFGlowny::WprowadzDaneClick()
{
    OpenMenuWindow(menuWindows_.dane);
}

void TFGlowny::Kalendarz1Click()
{
    OpenMenuWindow(menuWindows_.kalendarz);
}

void TFGlowny::DajUstawieniaClick()
{
    OpenMenuWindow(menuWindows_.ustawienia);
}

void TFGlowny::AboutClick()
{
    OpenMenuWindow(menuWindows_.about);
}

void TFGlowny::PomocClick()
{
    OpenHelp(this, services_.help);
}

void TFGlowny::CloseAppClick()
{
    // One click ends the program, whatever windows stand open; edits that
    // wait in the list window get its question first, whose Anuluj keeps
    // the program running.
    if (beforeEnd_ && !beforeEnd_())
        return;
    emit quitRequested();
    if (endProgram_)
        endProgram_();
}

namespace {

const struct {
    std::string_view name;
    void (TFGlowny::*handler)();
    MenuWindow MenuWindows::*window; // the window it opens, if any
} kActions[] = {
    {"dane", &TFGlowny::WprowadzDaneClick, &MenuWindows::dane},
    {"kalendarz", &TFGlowny::Kalendarz1Click, &MenuWindows::kalendarz},
    {"ustawienia", &TFGlowny::DajUstawieniaClick, &MenuWindows::ustawienia},
    {"o-programie", &TFGlowny::AboutClick, &MenuWindows::about},
    {"pomoc", &TFGlowny::PomocClick, nullptr},
    {"zakoncz", &TFGlowny::CloseAppClick, nullptr},
};

} // namespace

bool TFGlowny::KnownAction(std::string_view name)
{
    for (const auto& a : kActions)
        if (a.name == name)
            return true;
    return false;
}

bool TFGlowny::OpensWindow(std::string_view name)
{
    for (const auto& a : kActions)
        if (a.name == name)
            return a.window != nullptr;
    return false;
}

Activation TFGlowny::ActivateAction(std::string_view name)
{
    for (const auto& a : kActions) {
        if (a.name != name)
            continue;
        if (!a.window) {
            (this->*a.handler)();
            return {true, nullptr};
        }
        if (QWidget* inTheWay = WindowInTheWay(name)) {
            services_.desktop.BringToFront(*inTheWay);
            return {true, inTheWay};
        }
        // Not the menu's NoWindowOpen: the blue panel gives way.
        if (isVisible() && kind_ == kBlue)
            HideReminderWindow();
        const MenuWindow& w = menuWindows_.*a.window;
        if (w.widget && w.widget->isVisible())
            services_.desktop.BringToFront(*w.widget); // open already: it comes forward
        else if (w.open)
            w.open();
        return {true, nullptr};
    }
    return {};
}

QWidget* TFGlowny::WindowInTheWay(std::string_view name) const
{
    // A modal box or editor stands in front of its window: that one first.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    const MenuWindow* asked = nullptr;
    for (const auto& a : kActions)
        if (a.name == name && a.window)
            asked = &(menuWindows_.*a.window);
    for (const MenuWindow* w : {&menuWindows_.dane, &menuWindows_.kalendarz, &menuWindows_.ustawienia,
                                &menuWindows_.about})
        if (w->widget && w->widget->isVisible())
            return w == asked ? nullptr : w->widget;
    // A reminder waits for its answer; the blue panel only tells.
    if (ReminderStanding())
        return const_cast<TFGlowny*>(this);
    return nullptr;
}

void TFGlowny::RaiseOpenWindow()
{
    if (QWidget* w = WindowInTheWay({}))
        services_.desktop.BringToFront(*w);
    else if (isVisible())
        services_.desktop.BringToFront(*this);
}

} // namespace remindo
