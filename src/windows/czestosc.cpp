#include "windows/czestosc.h"

#include "app/appstate.h"
#include "engine/occurrence.h"
#include "windows/repeat.h"
#include "windows/wprowadzane.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWindow>

namespace remindo {

namespace {

namespace lc = layout::czestosc;

// Which one in the month, in the form that goes with the weekday: "w ostatni
// piątek", "w ostatnią środę".
const char* const kKtoreMeskie[] = {"pierwszy", "drugi", "trzeci", "czwarty", "każdy", "ostatni"};
const char* const kKtoreZenskie[] = {"pierwszą", "drugą", "trzecią", "czwartą", "każdą", "ostatnią"};
const char* const kJakie[] = {"niedzielę", "poniedziałek", "wtorek", "środę", "czwartek", "piątek", "sobotę"};

bool Zenski(int weekdayIndex) { return weekdayIndex == 0 || weekdayIndex == 3 || weekdayIndex == 6; }

QWidget* MakePanel(QWidget* parent, const char* name, const char* picture)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setGeometry(ToQRect(lc::kWindow));
    auto* image = new ClickArea(panel, ToQRect(lc::kWindow), false);
    LoadJpegResource(QLatin1String(picture), image);
    return panel;
}

ClickArea* MakeButton(QWidget* panel, const char* name, layout::Rect place, const QString& hint = {})
{
    auto* b = new ClickArea(panel, ToQRect(place), true, hint);
    b->setObjectName(QLatin1String(name));
    b->raise();
    return b;
}

QComboBox* MakeList(QWidget* panel, const char* name, layout::Rect place, const char* const* texts,
                    int count, const char* spoken)
{
    const FramelessCombo fc =
        MakeFramelessCombo(panel, ToQRect(place), layout::ComboWidth(place), 3, QString::fromUtf8(spoken));
    fc.combo->setObjectName(QLatin1String(name));
    for (int i = 0; i < count; ++i)
        fc.combo->addItem(QString::fromUtf8(texts[i]));
    return fc.combo;
}

} // namespace

QString TFCzestosc::KtoreText(int nthIndex, int weekdayIndex)
{
    if (nthIndex < 0 || nthIndex >= 6)
        return QString();
    return QString::fromUtf8((Zenski(weekdayIndex) ? kKtoreZenskie : kKtoreMeskie)[nthIndex]);
}

void TFCzestosc::KtoreFollowJakie(int weekdayIndex)
{
    for (int i = 0; i < KtoreBox_->count(); ++i)
        KtoreBox_->setItemText(i, KtoreText(i, weekdayIndex));
}

QString TFCzestosc::JakieText(int weekdayIndex)
{
    return weekdayIndex >= 0 && weekdayIndex < 7 ? QString::fromUtf8(kJakie[weekdayIndex]) : QString();
}

TFCzestosc::TFCzestosc(AppState& state, TFWprowadzane& editor, QWidget* parent)
    : PictureWindow(QSize(lc::kWindow.w, lc::kWindow.h), QString(), kPlain, parent), state_(state),
      editor_(editor), values_(editor.Values())
{
    setObjectName(QStringLiteral("TFCzestosc"));
    setWindowTitle(QStringLiteral("Remindo"));

    // ---- every X days
    PCoXDni_ = MakePanel(this, "PCoXDni", "tlo_czestosc_a");
    ECoIleDni_ = new QLineEdit(QStringLiteral("0"), PCoXDni_);
    ECoIleDni_->setObjectName(QStringLiteral("ECoIleDni"));
    ECoIleDni_->setGeometry(ToQRect(lc::kCoIleDni));
    ECoIleDni_->setFrame(false);
    ECoIleDni_->setAlignment(Qt::AlignCenter);
    ECoIleDni_->setContextMenuPolicy(Qt::NoContextMenu);
    ECoIleDni_->setMaxLength(9);
    QPalette ep = ECoIleDni_->palette();
    ep.setColor(QPalette::Base, Qt::white);
    ep.setColor(QPalette::Text, kValueTextColour);
    ECoIleDni_->setPalette(ep);
    ECoIleDni_->installEventFilter(this);
    ECoIleDni_->setAccessibleName(QStringLiteral("Zdarzenie występuje co (dni)"));

    auto* less = MakeButton(PCoXDni_, "LMniejDni", lc::kMniejDni);
    less->setAccessibleName(QStringLiteral("Mniej dni"));
    auto* more = MakeButton(PCoXDni_, "LWiecejDni", lc::kWiecejDni);
    more->setAccessibleName(QStringLiteral("Więcej dni"));
    stepper_ = new RepeatStepper(less, more, this);
    // LMniejDniMouseDown / LWiecejDniMouseDown: start only when the value
    // may move, and then from the number typed in the field.
    stepper_->onPress = [this](RepeatStepper::Direction d) {
        const bool room = d == RepeatStepper::kLess ? values_.EveryXDays > kMinDays
                                                    : values_.EveryXDays < kMaxDays;
        if (!room)
            return false;
        int32_t typed = 0;
        if (ReadTyped(typed))
            values_.EveryXDays = typed;
        else
            ShowDays(values_.EveryXDays); // a text that is no number gives way to the value
        return true;
    };
    // TMniejDniTimer / TWiecejDniTimer: one day a step, none past a bound
    // (a typed number may already lie there).
    stepper_->onStep = [this](RepeatStepper::Direction d) {
        if (d == RepeatStepper::kLess ? values_.EveryXDays <= kMinDays : values_.EveryXDays >= kMaxDays)
            return;
        values_.EveryXDays += d;
        ShowDays(values_.EveryXDays);
    };
    connect(MakeButton(PCoXDni_, "LAnuluj", lc::kAnuluj, QStringLiteral("Anuluj")), &ClickArea::clicked,
            this, &TFCzestosc::LAnulujClick);
    connect(MakeButton(PCoXDni_, "LZapisz", lc::kZapisz, QStringLiteral("Wprowadź")),
            &ClickArea::clicked, this, &TFCzestosc::LZapiszClick);

    // ---- given weekday of the month
    PWOkresloneDni_ = MakePanel(this, "PWOkresloneDni", "tlo_czestosc_b");
    KtoreBox_ = MakeList(PWOkresloneDni_, "KtoreBox", lc::kKtorePanel, kKtoreMeskie, 6, "Który w miesiącu");
    JakieBox_ = MakeList(PWOkresloneDni_, "JakieBox", lc::kJakiePanel, kJakie, 7, "Dzień tygodnia");
    KtoreFollowJakie(JakieBox_->currentIndex());
    connect(JakieBox_, &QComboBox::currentIndexChanged, this, &TFCzestosc::KtoreFollowJakie);
    // Both lists write through at once, also when the dialog is cancelled.
    connect(KtoreBox_, &QComboBox::activated, this, [this](int i) { values_.NthIndex = i; });
    connect(JakieBox_, &QComboBox::activated, this, [this](int i) { values_.WeekdayIndex = i; });
    // The lists' arrows: Tab reaches the lists themselves.
    const auto arrow = [this](const char* name, layout::Rect place, QComboBox* list) {
        ClickArea* a = MakeButton(PWOkresloneDni_, name, place);
        a->setAccessibleName(list->accessibleName());
        a->setFocusPolicy(Qt::NoFocus);
        connect(a, &ClickArea::clicked, this, [list] { DropDownCombo(list); });
    };
    arrow("LRozwinListaKtory", lc::kRozwinListaKtory, KtoreBox_);
    arrow("LRozwinListaJaki", lc::kRozwinListaJaki, JakieBox_);
    connect(MakeButton(PWOkresloneDni_, "LAnulujWOkD", lc::kAnulujWOkD, QStringLiteral("Anuluj")),
            &ClickArea::clicked, this, &TFCzestosc::LAnulujWOkDClick);
    connect(MakeButton(PWOkresloneDni_, "OkWOD", lc::kOkWOD, QStringLiteral("Wprowadź")),
            &ClickArea::clicked, this, &TFCzestosc::OkWODClick);

    PWOkresloneDni_->hide();
    EnableEscape([this] { PCoXDni_->isVisible() ? LAnulujClick() : LAnulujWOkDClick(); });
    editor.SetDialog(this);
}

void TFCzestosc::Open(int mode)
{
    setFixedSize(lc::kWindow.w, lc::kWindow.h);
    move(editor_.pos() + QPoint(31, 140));
    PCoXDni_->move(0, 0);
    KtoreBox_->setCurrentIndex(values_.NthIndex);
    JakieBox_->setCurrentIndex(values_.WeekdayIndex);
    ShowDays(values_.EveryXDays);
    PCoXDni_->setVisible(mode == kEveryXDays);
    PWOkresloneDni_->setVisible(mode != kEveryXDays);
    values_.RecurrenceAccepted = false;

    // Modal to the editor (and, through it, to the list window): the
    // reminder window stays free.
    winId();
    if (editor_.windowHandle())
        windowHandle()->setTransientParent(editor_.windowHandle());
    setWindowModality(Qt::WindowModal);
    show();
    raise();
    activateWindow();
    if (mode == kEveryXDays) {
        // Selected, so that the first digit typed replaces the number.
        ECoIleDni_->setFocus();
        ECoIleDni_->selectAll();
    }
}

void TFCzestosc::ShowDays(int32_t days) { ECoIleDni_->setText(QString::number(days)); }

bool TFCzestosc::ReadTyped(int32_t& days) const
{
    bool ok = false;
    const int v = ECoIleDni_->text().toInt(&ok);
    if (ok)
        days = v;
    return ok;
}

bool TFCzestosc::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != ECoIleDni_ || event->type() != QEvent::KeyPress)
        return PictureWindow::eventFilter(watched, event);
    // Enter confirms and Tab moves on, as on every other stop. Of the keys
    // that type a character, digits, backspace and the decimal comma pass
    // ("." is typed as ","); every other character goes.
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        LZapiszClick();
        return true;
    }
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab ||
        key->key() == Qt::Key_Backtab)
        return false;
    const QChar c = text.at(0);
    if (c.isDigit() && c.unicode() < 128)
        return false;
    if (key->key() == Qt::Key_Backspace || c == QLatin1Char('\b'))
        return false;
    if (c == QLatin1Char(',') || c == QLatin1Char('.')) {
        ECoIleDni_->insert(QStringLiteral(","));
        return true;
    }
    return true;
}

void TFCzestosc::LZapiszClick()
{
    // Only a whole number the editor offers is taken; anything else would
    // reach the engine as a one-off, as no rule at all, or as a rule the
    // editor cannot show.
    int32_t days = 0;
    if (!ReadTyped(days) || days < kMinDays || days > kMaxDays) {
        state_.messages().ShowWarning(kInformationBox, kIconInfo, "Podaj liczbę dni od 2 do 365.");
        ECoIleDni_->setFocus();
        ECoIleDni_->selectAll();
        return;
    }
    values_.CoIle = Recurrence::Every(days).Code();
    values_.EveryXDays = days;
    Finish(true);
}

void TFCzestosc::LAnulujClick() { Finish(false); }
void TFCzestosc::OkWODClick() { Finish(true); }
void TFCzestosc::LAnulujWOkDClick() { Finish(false); }

void TFCzestosc::closeEvent(QCloseEvent* e)
{
    // The editor always hears an answer, so that its kind list goes back.
    e->ignore();
    if (isVisible())
        Finish(false);
}

void TFCzestosc::Finish(bool accepted)
{
    values_.RecurrenceAccepted = accepted;
    hide();
    setWindowModality(Qt::NonModal);
    emit closed(accepted);
}

} // namespace remindo
