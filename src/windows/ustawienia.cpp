#include "windows/ustawienia.h"

#include "app/appstate.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace remindo {

namespace {

namespace lu = layout::ustawienia;

struct FieldPlaces {
    layout::Rect value, less, more;
    const char* name;
    const char* spoken; // the line's caption, for a screen reader
};

const FieldPlaces& PlacesOf(int f)
{
    static const FieldPlaces places[4] = {
        {lu::kPokazCo, lu::kPokazCoMniej, lu::kPokazCoWiecej, "LPokazCo", "Komunikat pokaż co (minut)"},
        {lu::kBadajCo, lu::kBadajCoMniej, lu::kBadajCoWiecej, "LBadajCo", "Badaj zdarzenia co (minut)"},
        {lu::kUkryjPo, lu::kUkryjPoMniej, lu::kUkryjPoWiecej, "LUkryjPo",
         "Okno komunikatu ukryj po (sekundach)"},
        {lu::kDzwiek, lu::kDzwiekMniej, lu::kDzwiekWiecej, "LDzwiek", "Poziom głośności dźwięku"},
    };
    return places[std::clamp(f, 1, 4) - 1];
}

// Step, lowest value a less tick leaves and highest a more tick reaches.
struct StepRule {
    int step;
    int64_t min;
    int64_t max;
};

StepRule RuleOf(int f)
{
    switch (f) {
    case TFUstawienia::kBadajCo: return {1, 3, kMaxBadajCo};
    case TFUstawienia::kUkryjPo: return {5, 15, kMaxUkryjPo};
    case TFUstawienia::kDzwiek: return {1, 1, kMaxVolumeLevel};
    default: return {1, 3, kMaxPokazCo};
    }
}

constexpr int kVolumePerLevel = 3000;

} // namespace

TFUstawienia::TFUstawienia(AppState& state, QWidget* parent)
    : PictureWindow(QSize(lu::kWindow.w, lu::kWindow.h), QStringLiteral("tlo_ustawienia"), kPlain,
                    parent),
      state_(state)
{
    setObjectName(QStringLiteral("TFUstawienia"));
    setWindowTitle(QStringLiteral("Remindo - ustawienia"));
    AddDragBar(ToQRect(lu::kListwa));

    std::vector<QWidget*> order;
    for (int f = kPokazCo; f <= kDzwiek; ++f) {
        const FieldPlaces& p = PlacesOf(f);
        auto* label = new StepperValue(this, ToQRect(p.value));
        label->setObjectName(QLatin1String(p.name));
        label->setAccessibleName(QString::fromUtf8(p.spoken));
        label->setFont(WindowFont());
        const StepRule rule = RuleOf(f);
        label->SetTypedRange(rule.min, rule.max);
        const auto field = static_cast<Field>(f);
        connect(label, &StepperValue::typed, this, [this, field](int64_t v) { Show(field, v); });
        connect(label, &StepperValue::stepped, this, [this, field](int direction) {
            Step(field, direction > 0 ? RepeatStepper::kMore : RepeatStepper::kLess);
        });
        values_[f - 1] = label;
        order.push_back(label);
        order.push_back(AddArrow(static_cast<Field>(f), RepeatStepper::kLess, "Mniej", "mniej"));
        order.push_back(AddArrow(static_cast<Field>(f), RepeatStepper::kMore, "Wiecej", "więcej"));
    }

    // The tick flips only the dialog's copy: ✔ puts it in force, ✖ drops it.
    ImPtaszek2_ = new TickBox(this, QPoint(lu::kPtaszek2.x, lu::kPtaszek2.y), state_.settings().SoundOn);
    ImPtaszek2_->setObjectName(QStringLiteral("ImPtaszek2"));
    ImPtaszek2_->setAccessibleName(QStringLiteral("Komunikatom towarzyszy dźwięk"));
    // The tick's line stands above the volume's.
    order.insert(order.end() - 3, ImPtaszek2_);

    LAnuluj_ = AddClickArea(ToQRect(lu::kAnuluj), true, QStringLiteral("Anuluj"));
    LAnuluj_->setObjectName(QStringLiteral("LAnuluj"));
    connect(LAnuluj_, &ClickArea::clicked, this, &TFUstawienia::LAnulujClick);
    LZapisz_ = AddClickArea(ToQRect(lu::kZapisz), true, QStringLiteral("Zapisz"));
    LZapisz_->setObjectName(QStringLiteral("LZapisz"));
    connect(LZapisz_, &ClickArea::clicked, this, &TFUstawienia::LZapiszClick);
    order.push_back(LAnuluj_);
    order.push_back(LZapisz_);
    SetReadingOrder(order);
    EnableEscape([this] { LAnulujClick(); });
}

ClickArea* TFUstawienia::AddArrow(Field f, RepeatStepper::Direction d, const char* suffix, const char* spoken)
{
    ClickArea* arrow = AddClickArea(d == RepeatStepper::kLess ? LessPlace(f) : MorePlace(f));
    arrow->setObjectName(QLatin1String(PlacesOf(f).name) + QLatin1String(suffix));
    arrow->setAccessibleName(QString::fromUtf8(PlacesOf(f).spoken) + QStringLiteral(": ") +
                             QString::fromUtf8(spoken));
    RepeatStepper::RepeatWhileHeld(arrow);
    connect(arrow, &ClickArea::pressed, this, [this, f, d] { Step(f, d); });
    return arrow;
}

QRect TFUstawienia::LessPlace(Field f) { return ToQRect(PlacesOf(f).less); }
QRect TFUstawienia::MorePlace(Field f) { return ToQRect(PlacesOf(f).more); }

StepperValue* TFUstawienia::ValueLabel(Field f) const
{
    return values_[std::clamp(static_cast<int>(f), 1, 4) - 1];
}

int TFUstawienia::Shown(Field f) const
{
    return ValueLabel(f)->text().toInt();
}

void TFUstawienia::Show(Field f, int64_t value)
{
    StepperValue* label = ValueLabel(f);
    const QString text = QString::number(value);
    // A large stored value keeps all its digits inside the painted field.
    QFont font = WindowFont();
    for (int px = 11; px >= 6; --px) {
        font = WindowFont(px);
        if (QFontMetrics(font).horizontalAdvance(text) <= label->width())
            break;
    }
    label->setFont(font);
    const StepRule rule = RuleOf(f);
    label->Show(value, rule.min, std::max(value, rule.max));
}

void TFUstawienia::Open()
{
    const Settings& s = state_.settings();
    Show(kPokazCo, s.PokazCo);
    Show(kUkryjPo, EffectiveUkryjPo(s));
    Show(kBadajCo, EffectiveBadajCo(s));
    Show(kDzwiek, std::max(1, s.Volume / kVolumePerLevel));
    ImPtaszek2_->SetTicked(s.SoundOn);
    CenterOnScreen();
    show();
    raise();
    activateWindow();
}

void TFUstawienia::Step(Field f, RepeatStepper::Direction d)
{
    activeField_ = f;
    const int64_t value = Shown(f);
    const StepRule rule = RuleOf(f);
    // Never past what the timer or the volume can hold; a value stored
    // above that may be lowered but not raised.
    if (d == RepeatStepper::kMore ? value + rule.step <= rule.max : value > rule.min)
        Show(f, value + d * rule.step);
}

void TFUstawienia::LZapiszClick()
{
    Settings s = state_.settings();
    s.PokazCo = Shown(kPokazCo);
    s.BadajCo = Shown(kBadajCo);
    s.UkryjPo = Shown(kUkryjPo);
    s.Volume = static_cast<uint16_t>(Shown(kDzwiek) * kVolumePerLevel);
    s.SoundOn = ImPtaszek2_->IsTicked();
    if (state_.SetSettings(s)) {
        hide();
        return;
    }
    state_.messages().ShowWarning(kInformationBox, kIconInfo,
                                  "Wystąpiły problemy z zapisem pliku ini.\rSpróbuj zapisać ponownie.");
}

void TFUstawienia::LAnulujClick()
{
    hide();
}

} // namespace remindo
