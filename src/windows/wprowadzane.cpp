#include "windows/wprowadzane.h"

#include "app/appstate.h"
#include "engine/occurrence.h"
#include "store/codec.h"
#include "windows/dane.h"
#include "windows/datepicker.h"

#include <QAbstractTextDocumentLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace remindo {

namespace {

namespace lw = layout::wprowadzane;

using KindEntry = TFWprowadzane::KindEntry;

// The kind list: each entry's text at start, its kind, and the days before
// it sets when chosen (every X days sets its own).
const struct {
    const char* text;
    RecurrenceKind kind;
    int32_t daysBefore;
} kKindList[TFWprowadzane::kEntries] = {
    {"Zdarzenie jednorazowe", RecurrenceKind::OneOff, 1},
    {"Zdarzenie codzienne", RecurrenceKind::Daily, 0},
    {"Zdarzenie cotygodniowe", RecurrenceKind::Weekly, 2},
    {"Zdarzenie comiesięczne", RecurrenceKind::Monthly, 4},
    {"Zdarzenie coroczne", RecurrenceKind::Yearly, 6},
    {"Zdarzenie występujące co X dni", RecurrenceKind::EveryXDays, 0},
    {"Zdarzenie występujące w określone dni miesiąca", RecurrenceKind::DaysOfMonth, 3},
};

constexpr int kMaxTimesADay = 8;

StepperValue* ValueLabel(QWidget* parent, const char* name, layout::Rect place, const QString& spoken)
{
    auto* l = new StepperValue(parent, ToQRect(place));
    l->setObjectName(QLatin1String(name));
    l->setAccessibleName(spoken);
    return l;
}

} // namespace

bool TFWprowadzane::MemoMeasure::Within() const
{
    return !plus && unstorable == 0 && chars <= kMaxTextLength && lines <= kMaxLines;
}

bool TFWprowadzane::MemoMeasure::NoWorseThan(const MemoMeasure& before) const
{
    return !plus && unstorable <= before.unstorable && chars <= std::max(kMaxTextLength, before.chars) &&
           lines <= std::max(kMaxLines, before.lines);
}

QString TFWprowadzane::EveryXText(int32_t days)
{
    return QStringLiteral("Zdarzenie występuje co %1 dni").arg(days);
}

QString TFWprowadzane::WeekdayRuleText(int nthIndex, int weekdayIndex)
{
    return QStringLiteral("Zdarzenie występuje w ") + TFCzestosc::KtoreText(nthIndex, weekdayIndex)
           + QLatin1Char(' ') + TFCzestosc::JakieText(weekdayIndex) + QStringLiteral(" miesiąca");
}

KindEntry TFWprowadzane::EntryForCode(int32_t c)
{
    // Every X days up to the dialog's most, and the weekday rules its lists offer.
    const Recurrence rec = DecodeRecurrence(c);
    if ((rec.kind == RecurrenceKind::EveryXDays && rec.every > TFCzestosc::kMaxDays) ||
        (rec.kind == RecurrenceKind::DaysOfMonth && !rec.IsWeekdayRule()))
        return KindEntry::Unknown;
    for (int e = 0; e < kEntries; ++e)
        if (kKindList[e].kind == rec.kind)
            return KindEntry(e);
    return KindEntry::Unknown;
}

TFWprowadzane::TFWprowadzane(AppState& state, TFDane& list, QWidget* parent)
    : PictureWindow(QSize(lw::kWindow.w, lw::kWindow.h), QStringLiteral("tlo_wprowadzane"), kPlain,
                    parent),
      state_(state), list_(list)
{
    setObjectName(QStringLiteral("TFWprowadzane"));
    setWindowTitle(QStringLiteral("Remindo"));
    Background()->setObjectName(QStringLiteral("ImWprowadzane"));
    connect(Background(), &ClickArea::clicked, this, &TFWprowadzane::HidePicker);

    MTresc_ = new QPlainTextEdit(this);
    MTresc_->setObjectName(QStringLiteral("MTresc"));
    MTresc_->setGeometry(ToQRect(lw::kTresc));
    MTresc_->setFrameShape(QFrame::NoFrame);
    MTresc_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Two lines need no scroll bar; a longer text from elsewhere is reached with one.
    MTresc_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MTresc_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    MTresc_->setTabChangesFocus(true);
    MTresc_->setAccessibleName(QStringLiteral("Treść komunikatu"));
    MTresc_->document()->setDocumentMargin(1);
    QPalette mp = MTresc_->palette();
    mp.setColor(QPalette::Base, Qt::white);
    mp.setColor(QPalette::Text, kValueTextColour);
    MTresc_->setPalette(mp);
    MTresc_->viewport()->installEventFilter(this);
    connect(MTresc_, &QPlainTextEdit::textChanged, this, &TFWprowadzane::MemoChanged);
    LTrescUwaga_ = new QLabel(this);
    LTrescUwaga_->setObjectName(QStringLiteral("LTrescUwaga"));
    LTrescUwaga_->setGeometry(ToQRect(lw::kTrescUwaga));
    QPalette hp = LTrescUwaga_->palette();
    hp.setColor(QPalette::WindowText, QColor(layout::glowny::kInkRed.r, layout::glowny::kInkRed.g,
                                             layout::glowny::kInkRed.b));
    LTrescUwaga_->setPalette(hp);
    LTrescUwaga_->hide();

    LWybData_ = AddClickArea(ToQRect(lw::kWybData));
    LWybData_->setObjectName(QStringLiteral("LWybData"));
    LWybData_->setAccessibleName(QStringLiteral("Data pierwszego wystąpienia"));
    QPalette dp = LWybData_->palette();
    dp.setColor(QPalette::WindowText, kValueTextColour);
    LWybData_->setPalette(dp);
    connect(LWybData_, &ClickArea::clicked, this, &TFWprowadzane::LRozwinKalendarzClick);
    auto* rozwinKalendarz = AddClickArea(ToQRect(lw::kRozwinKalendarz));
    rozwinKalendarz->setObjectName(QStringLiteral("LRozwinKalendarz"));
    rozwinKalendarz->setAccessibleName(QStringLiteral("Rozwiń kalendarz"));
    rozwinKalendarz->setFocusPolicy(Qt::NoFocus); // Tab reaches the date itself
    connect(rozwinKalendarz, &ClickArea::clicked, this, &TFWprowadzane::LRozwinKalendarzClick);

    const FramelessCombo kinds =
        MakeFramelessCombo(this, ToQRect(lw::kCzestoscPanel), layout::ComboWidth(lw::kCzestoscPanel), 3,
                           QStringLiteral("Częstotliwość zdarzenia"));
    CzestoscBox_ = kinds.combo;
    CzestoscBox_->setObjectName(QStringLiteral("CzestoscBox"));
    for (const auto& entry : kKindList)
        CzestoscBox_->addItem(QString::fromUtf8(entry.text));
    // Shown when the rule is one that no entry stands for.
    CzestoscBox_->setPlaceholderText(QStringLiteral("Zdarzenie o nieznanej regule powtarzania"));
    connect(CzestoscBox_, &QComboBox::activated, this, &TFWprowadzane::CzestoscBoxChange);
    for (const auto& [name, place] : {std::pair{"LCzestosc", lw::kCzestosc}, std::pair{"LRozwinListe", lw::kRozwinListe}}) {
        auto* area = AddClickArea(ToQRect(place));
        area->setObjectName(QLatin1String(name));
        area->setAccessibleName(QStringLiteral("Częstotliwość zdarzenia"));
        area->setFocusPolicy(Qt::NoFocus); // Tab reaches the list box itself
        connect(area, &ClickArea::clicked, this, &TFWprowadzane::LRozwinListeClick);
    }

    LDniPrzed_ = ValueLabel(this, "LDniPrzed", lw::kDniPrzed, QStringLiteral("Dni przed terminem"));
    LIleRazyDziennie_ =
        ValueLabel(this, "LIleRazyDziennie", lw::kIleRazyDziennie, QStringLiteral("Razy dziennie"));
    // Typed numbers, held to the ranges shown: the kind's limit of days
    // before (saving holds a value from elsewhere to it) and 1 to 8.
    connect(LDniPrzed_, &StepperValue::typed, this, [this](int64_t v) {
        ilePrzed_ = int32_t(v);
        ShowValues();
    });
    connect(LIleRazyDziennie_, &StepperValue::typed, this, [this](int64_t v) {
        ile_ = int32_t(v);
        ShowValues();
    });
    connect(LDniPrzed_, &StepperValue::stepped, this,
            [this](int d) { d > 0 ? LWiecejDniPrzedClick() : LMniejDniPrzedClick(); });
    connect(LIleRazyDziennie_, &StepperValue::stepped, this,
            [this](int d) { d > 0 ? LWiecejrazyClick() : LMniejRazyClick(); });
    const auto button = [this](const char* name, layout::Rect place, void (TFWprowadzane::*handler)(),
                               const QString& hint = {}) {
        auto* area = AddClickArea(ToQRect(place), true, hint);
        area->setObjectName(QLatin1String(name));
        connect(area, &ClickArea::clicked, this, handler);
        return area;
    };
    // Steppers have no hint; a screen reader still names them.
    auto* lessDays = button("LMniejDniPrzed", lw::kMniejDniPrzed, &TFWprowadzane::LMniejDniPrzedClick);
    lessDays->setAccessibleName(QStringLiteral("Mniej dni przed"));
    auto* moreDays = button("LWiecejDniPrzed", lw::kWiecejDniPrzed, &TFWprowadzane::LWiecejDniPrzedClick);
    moreDays->setAccessibleName(QStringLiteral("Więcej dni przed"));
    auto* lessTimes = button("LMniejRazy", lw::kMniejRazy, &TFWprowadzane::LMniejRazyClick);
    lessTimes->setAccessibleName(QStringLiteral("Rzadziej w ciągu dnia"));
    auto* moreTimes = button("LWiecejrazy", lw::kWiecejRazy, &TFWprowadzane::LWiecejrazyClick);
    moreTimes->setAccessibleName(QStringLiteral("Częściej w ciągu dnia"));
    auto* cancel = button("LAnuluj", lw::kAnuluj, &TFWprowadzane::LAnulujClick, QStringLiteral("Anuluj"));
    auto* save = button("LZapisz", lw::kZapisz, &TFWprowadzane::LZapiszClick, QStringLiteral("Wprowadź"));

    ImPtaszek_ = new TickBox(this, ToQRect(lw::kPtaszek).topLeft(), true);
    ImPtaszek_->setObjectName(QStringLiteral("ImPtaszek"));
    ImPtaszek_->setAccessibleName(QStringLiteral("Ostrzegaj również po upływie terminu"));
    ImPtaszek_->SetAutoFlip(false);
    connect(ImPtaszek_, &ClickArea::clicked, this, &TFWprowadzane::ImPtaszekClick);
    ImPtaszek2_ = new TickBox(this, ToQRect(lw::kPtaszek2).topLeft(), false);
    ImPtaszek2_->setObjectName(QStringLiteral("ImPtaszek2"));
    ImPtaszek2_->setAccessibleName(QStringLiteral("Zablokuj zdarzenie"));
    ImPtaszek2_->SetAutoFlip(false);
    connect(ImPtaszek2_, &ClickArea::clicked, this, &TFWprowadzane::ImPtaszek2Click);

    // FormCreate: the picker's month grid is set up and moved to today.
    picker_ = new DatePicker(state.formats(), state.clock(), this);
    picker_->SetTodayHint(QStringLiteral("Dzisiaj"));
    picker_->move(ToQRect(lw::kKalendarz).topLeft());
    connect(picker_, &DatePicker::stepped, this, [this](Date d) {
        data_ = d;
        ShowDate();
    });
    connect(picker_, &DatePicker::todayClicked, this, [this] { // LdzisiajClick
        picker_->GoToday();
        data_ = picker_->Value();
        ShowDate();
    });
    connect(picker_, &DatePicker::gridPressed, this, &TFWprowadzane::ImCalendarMouseDown);
    connect(picker_, &DatePicker::backgroundClicked, this, &TFWprowadzane::HidePicker);
    data_ = picker_->Value();
    picker_->SetReturnFocus(LWybData_);

    std::vector<QWidget*> order{MTresc_, LWybData_};
    for (QWidget* stop : picker_->Stops())
        order.push_back(stop);
    for (QWidget* w : std::initializer_list<QWidget*>{CzestoscBox_, LDniPrzed_, lessDays, moreDays, ImPtaszek_,
                                                      LIleRazyDziennie_, lessTimes, moreTimes, ImPtaszek2_, cancel,
                                                      save})
        order.push_back(w);
    SetReadingOrder(order);
    // Escape folds an open picker away first, then cancels.
    EnableEscape([this] { picker_->IsOpen() ? HidePicker() : LAnulujClick(); });
    list.SetEditor(this);
}

void TFWprowadzane::SetDialog(TFCzestosc* dialog)
{
    if (dialog_)
        disconnect(dialog_, nullptr, this, nullptr);
    dialog_ = dialog;
    if (dialog_)
        connect(dialog_, &TFCzestosc::closed, this, &TFWprowadzane::RecurrenceClosed);
}

// ------------------------------------------------------------------ opening

void TFWprowadzane::Open(int mode)
{
    picker_->Close();
    picker_->move(ToQRect(lw::kKalendarz).topLeft());
    setFixedSize(lw::kWindow.w, lw::kWindow.h);
    move(list_.pos() + QPoint(6, 42));

    const Komunikaty& list = state_.list();
    const int32_t sel = list.SelectedIndex;
    mode_ = mode == kEdit && sel >= 0 && sel < list.ReminderCount() ? kEdit : kNew;
    LTrescUwaga_->hide();
    if (mode_ == kNew) {
        picker_->GoToday();
        data_ = picker_->Value();
        SetMemo(QString(), 0);
        values_.CoIle = Recurrence{RecurrenceKind::OneOff}.Code();
        ilePrzed_ = 1;
        values_.EveryXDays = 2;
        czyPo_ = 1;
        blok_ = 0;
        ile_ = 1;
        CzestoscBox_->setItemText(int(KindEntry::EveryXDays), QStringLiteral("Zdarzenie występuje co X dni"));
        SelectEntry(KindEntry::OneOff);
        values_.NthIndex = 0;
        values_.WeekdayIndex = 0;
    } else {
        const Komunikat& r = list[sel];
        data_ = r.Data;
        picker_->SetDate(data_);
        values_.CoIle = r.CoIle;
        ilePrzed_ = r.IlePrzed;
        czyPo_ = r.CzyPo;
        blok_ = r.Blok;
        ile_ = r.Ile;
        values_.EveryXDays = 2;
        const Recurrence rec = DecodeRecurrence(r.CoIle);
        const KindEntry entry = EntryForCode(r.CoIle);
        if (entry == KindEntry::EveryXDays) {
            values_.EveryXDays = rec.every;
            CzestoscBox_->setItemText(int(entry), EveryXText(rec.every));
        } else if (entry == KindEntry::WeekdayOfMonth) {
            values_.NthIndex = int(rec.k) - 1;
            values_.WeekdayIndex = rec.w - 1;
            CzestoscBox_->setItemText(int(entry), WeekdayRuleText(values_.NthIndex, values_.WeekdayIndex));
        }
        // A code no entry stands for shows as unknown and is kept.
        SelectEntry(entry);
        std::vector<std::string> lines;
        TextToLines(r.Tresc, lines);
        QStringList shown;
        for (const std::string& line : lines)
            shown << QString::fromStdString(Utf8FromCp1250(line));
        // The reminder's own text, whole, whatever it holds: one from
        // elsewhere may break the field's limits and is then shortened by
        // the user before it can be stored again.
        const QString own = shown.join(QLatin1Char('\n'));
        SetMemo(own, int(own.size()));
    }
    ShowDate();
    ShowValues();

    // Modal to the list window only: the reminder window stays free.
    winId();
    if (list_.windowHandle())
        windowHandle()->setTransientParent(list_.windowHandle());
    setWindowModality(Qt::WindowModal);
    show();
    raise();
    activateWindow();
    MTresc_->setFocus();
}

void TFWprowadzane::SelectEntry(KindEntry entry)
{
    entry_ = entry;
    CzestoscBox_->setCurrentIndex(int(entry));
}

QString TFWprowadzane::DateLabel() const { return LWybData_->text(); }

void TFWprowadzane::ShowDate() { LWybData_->setText(DateCaption(data_, state_.formats())); }

void TFWprowadzane::ShowValues()
{
    LDniPrzed_->Show(ilePrzed_, 0, std::max(ilePrzed_, DaysBeforeLimit()));
    LIleRazyDziennie_->Show(ile_, 1, std::max<int32_t>(ile_, kMaxTimesADay));
    ImPtaszek_->SetTicked(czyPo_ != 0);
    ImPtaszek2_->SetTicked(blok_ != 0);
}

bool TFWprowadzane::RuleUnknown() const { return EntryForCode(values_.CoIle) == KindEntry::Unknown; }

int32_t TFWprowadzane::DaysBeforeLimit() const
{
    const Recurrence rec = DecodeRecurrence(values_.CoIle);
    if (rec.every > 0) // every X days (1: no rule at all)
        return std::max(0, rec.every / 2 - 1);
    switch (rec.kind) {
    case RecurrenceKind::Yearly: return 10;
    case RecurrenceKind::Monthly: return 6;
    case RecurrenceKind::Weekly: return 3;
    case RecurrenceKind::Daily: return 0;
    case RecurrenceKind::OneOff: return 6;
    default: break;
    }
    // A weekday rule: "every" such weekday comes each week, so it allows
    // less. Read from the code itself, which the dialog's lists may have
    // left behind when it was cancelled.
    return rec.k == kEveryWeekdayOfMonth ? 3 : 6;
}

// ------------------------------------------------------------------ the kind

void TFWprowadzane::CzestoscBoxChange(int index)
{
    const auto entry = KindEntry(index);
    czyPo_ = 0;
    ImPtaszek_->SetTicked(false);
    if (index >= 0 && entry < KindEntry::EveryXDays) {
        values_.CoIle = Recurrence{kKindList[index].kind}.Code();
        ilePrzed_ = kKindList[index].daysBefore;
        entry_ = entry;
        ShowValues();
        MTresc_->setFocus();
        return;
    }
    if (!dialog_) {
        SelectEntry(entry_);
        return;
    }
    entryBefore_ = entry_;
    pendingEntry_ = entry;
    dialog_->Open(entry == KindEntry::EveryXDays ? TFCzestosc::kEveryXDays : TFCzestosc::kWeekdayOfMonth);
}

void TFWprowadzane::RecurrenceClosed(bool accepted)
{
    const KindEntry entry = pendingEntry_;
    pendingEntry_ = KindEntry::Unknown;
    if (entry == KindEntry::Unknown)
        return;
    if (!accepted) {
        SelectEntry(entryBefore_);
    } else if (entry == KindEntry::EveryXDays) {
        CzestoscBox_->setItemText(int(entry), EveryXText(values_.EveryXDays));
        SelectEntry(entry);
        ilePrzed_ = std::min(DaysBeforeLimit(), 3);
    } else {
        CzestoscBox_->setItemText(int(entry), WeekdayRuleText(values_.NthIndex, values_.WeekdayIndex));
        SelectEntry(entry);
        values_.CoIle = Recurrence::WeekdayOfMonth(values_.NthIndex + 1, values_.WeekdayIndex + 1).Code();
        ilePrzed_ = kKindList[int(entry)].daysBefore;
    }
    ShowValues();
    activateWindow();
    MTresc_->setFocus();
}

// ------------------------------------------------------------------ steppers and ticks

void TFWprowadzane::LMniejDniPrzedClick()
{
    if (ilePrzed_ > 0)
        --ilePrzed_;
    ShowValues();
}

void TFWprowadzane::LWiecejDniPrzedClick()
{
    if (ilePrzed_ < DaysBeforeLimit())
        ++ilePrzed_;
    ShowValues();
}

void TFWprowadzane::LMniejRazyClick()
{
    if (ile_ > 1)
        --ile_;
    ShowValues();
}

void TFWprowadzane::LWiecejrazyClick()
{
    if (ile_ < kMaxTimesADay)
        ++ile_;
    ShowValues();
}

void TFWprowadzane::ImPtaszekClick()
{
    // A daily reminder has no "after": it comes again the next day.
    if (czyPo_ != 0)
        czyPo_ = 0;
    else if (DecodeRecurrence(values_.CoIle).kind != RecurrenceKind::Daily)
        czyPo_ = 1;
    ImPtaszek_->SetTicked(czyPo_ != 0);
}

void TFWprowadzane::ImPtaszek2Click()
{
    blok_ = blok_ ? 0 : 1;
    ImPtaszek2_->SetTicked(blok_ != 0);
}

// ------------------------------------------------------------------ the picker

void TFWprowadzane::LRozwinKalendarzClick()
{
    picker_->Toggle();
}

void TFWprowadzane::LRozwinListeClick()
{
    HidePicker();
    DropDownCombo(CzestoscBox_);
}

void TFWprowadzane::HidePicker() { picker_->Close(); }

void TFWprowadzane::ImCalendarMouseDown(QPoint gridPoint)
{
    picker_->PickAt(gridPoint);
    data_ = picker_->Value();
    ShowDate();
    // The picked day shows for a moment before the picker folds away.
    QTimer::singleShot(100, picker_, [this] { picker_->Close(); });
}

// ------------------------------------------------------------------ the memo

QStringList TFWprowadzane::WrapLines(const QString& text) const
{
    // The field's own breaking: its font, wrap option and document margin,
    // at its width without a scroll bar (a text within the limits needs none).
    const QTextDocument* doc = MTresc_->document();
    const qreal width = MTresc_->maximumViewportSize().width() - 2 * doc->documentMargin();
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        if (paragraph.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(paragraph, doc->defaultFont());
        layout.setTextOption(doc->defaultTextOption());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
    }
    return lines;
}

TFWprowadzane::MemoMeasure TFWprowadzane::Measure(const QString& text) const
{
    MemoMeasure m;
    m.plus = text.contains(QLatin1Char('+'));
    QString flat = text;
    flat.remove(QLatin1Char('\n'));
    const Cp1250Result cp = Cp1250FromUtf8(flat.toStdString());
    m.chars = int(cp.text.size());
    m.unstorable = int(cp.rejected.size());
    // A line break at the end counts: it puts the cursor on a line of its own.
    m.lines = text.isEmpty() ? 0 : int(WrapLines(text).size());
    return m;
}

void TFWprowadzane::SetMemo(const QString& text, int cursor)
{
    memoReverting_ = true;
    MTresc_->setPlainText(text);
    QTextCursor c = MTresc_->textCursor();
    c.setPosition(std::clamp(cursor, 0, int(text.size())));
    MTresc_->setTextCursor(c);
    memoReverting_ = false;
    memoAccepted_ = text;
    memoMeasure_ = Measure(text);
}

void TFWprowadzane::SayWhyRefused(const MemoMeasure& refused)
{
    QString why;
    if (refused.plus)
        why = QStringLiteral("Znaku „+” nie można użyć: oddziela wiersze komunikatu.");
    else if (refused.unstorable > memoMeasure_.unstorable)
        why = QStringLiteral("Tego znaku nie można zapisać w komunikacie.");
    else if (refused.lines > std::max(kMaxLines, memoMeasure_.lines))
        why = QStringLiteral("Komunikat ma najwyżej dwa wiersze.");
    else
        why = QStringLiteral("Komunikat ma najwyżej 160 znaków.");
    LTrescUwaga_->setText(why);
    LTrescUwaga_->show();
}

void TFWprowadzane::MemoChanged()
{
    if (memoReverting_)
        return;
    const QString text = MTresc_->toPlainText();
    const MemoMeasure now = Measure(text);
    if (now.Within() || now.NoWorseThan(memoMeasure_)) {
        memoAccepted_ = text;
        memoMeasure_ = now;
        LTrescUwaga_->hide();
        return;
    }
    // Typing that stops without a word looks like a broken keyboard.
    SayWhyRefused(now);
    // Refused. What went in between the unchanged head and tail is cut to
    // what still fits, so a paste stops at the limit and a key past it does
    // nothing; a piece with a character the file cannot hold goes as a whole.
    const QString before = memoAccepted_;
    const qsizetype most = std::min(before.size(), text.size());
    qsizetype head = 0;
    while (head < most && before[head] == text[head])
        ++head;
    qsizetype tail = 0;
    while (tail < most - head && before[before.size() - 1 - tail] == text[text.size() - 1 - tail])
        ++tail;
    const QString inserted = text.mid(head, text.size() - head - tail);
    const auto with = [&](qsizetype n) { return before.left(head) + inserted.left(n) + before.right(tail); };
    qsizetype fits = 0;
    if (!inserted.contains(QLatin1Char('+')) && Cp1250FromUtf8(inserted.toStdString()).ok()) {
        qsizetype hi = inserted.size();
        while (fits < hi) {
            const qsizetype mid = (fits + hi + 1) / 2;
            const MemoMeasure m = Measure(with(mid));
            if (m.Within() || m.NoWorseThan(memoMeasure_))
                fits = mid;
            else
                hi = mid - 1;
        }
    }
    if (fits > 0)
        SetMemo(with(fits), int(head + fits));
    else
        SetMemo(before, int(head));
}

QStringList TFWprowadzane::MemoLines() const
{
    QStringList lines = WrapLines(MTresc_->toPlainText());
    // A line break at the very end starts no stored line of its own.
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() == 1 && lines.first().isEmpty())
        lines.clear();
    return lines;
}

std::string TFWprowadzane::StoredText() const
{
    const QStringList lines = MemoLines();
    std::string tresc;
    for (int i = 0; i < std::min<int>(2, int(lines.size())); ++i)
        tresc += Cp1250FromUtf8(lines[i].toStdString()).text + '+';
    return tresc;
}

bool TFWprowadzane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == MTresc_->viewport() && event->type() == QEvent::MouseButtonPress)
        HidePicker(); // MTrescClick
    return PictureWindow::eventFilter(watched, event);
}

// ------------------------------------------------------------------ confirm and cancel

void TFWprowadzane::LZapiszClick()
{
    if (MTresc_->toPlainText().trimmed().isEmpty()) {
        state_.messages().ShowWarning(kInformationBox, kIconInfo, "Wprowadź treść komunikatu.");
        return;
    }
    const MemoMeasure memo = Measure(MTresc_->toPlainText());
    if (!memo.Within()) {
        state_.messages().ShowWarning(kInformationBox, kIconInfo,
                                      memo.plus || memo.unstorable > 0
                                          ? "Treść zawiera znaki, których nie można zapisać.\rUsuń je lub zastąp innymi."
                                          : "Treść komunikatu jest za długa.\rSkróć ją do dwóch wierszy i 160 znaków.");
        return;
    }
    ilePrzed_ = std::clamp(ilePrzed_, 0, DaysBeforeLimit());
    if (DecodeRecurrence(values_.CoIle).kind == RecurrenceKind::Daily)
        czyPo_ = 0;
    std::string tresc = StoredText();

    const int32_t sel = state_.list().SelectedIndex;
    if (mode_ == kEdit && sel >= 0 && sel < state_.list().ReminderCount())
        state_.session().UpdateReminder(std::move(tresc), data_, values_.CoIle, ilePrzed_, czyPo_, blok_, ile_);
    else
        state_.session().AddReminder(std::move(tresc), data_, values_.CoIle, ilePrzed_, czyPo_, blok_, ile_);
    Finish();
}

void TFWprowadzane::LAnulujClick() { Finish(); }

void TFWprowadzane::closeEvent(QCloseEvent* e)
{
    e->ignore();
    LAnulujClick();
}

void TFWprowadzane::Finish()
{
    if (dialog_ && dialog_->IsOpen())
        return; // the dialog answers first
    picker_->Close();
    hide();
    setWindowModality(Qt::NonModal);
    emit closed();
}

} // namespace remindo
