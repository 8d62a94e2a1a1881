#include "windows/dane.h"

#include "app/appstate.h"
#include "engine/occurrence.h"
#include "store/codec.h"
#include "windows/wprowadzane.h"

#include <QEvent>
#include <QListWidget>
#include <QPainter>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QStyledItemDelegate>

#include <algorithm>

namespace remindo {

namespace {

namespace ld = layout::dane;

constexpr const char* kChangedQuestion = "Dane zostały zmienione.\rZapisać zmiany?";

constexpr int kDateRole = Qt::UserRole;
constexpr int kPad = 2;  // at each end of a line
constexpr int kGap = 8;  // between the text and the date

// The day a reminder comes next: a one-off's own date (passed or not), a
// rule's next occurrence from today on, and not before its first date.
Date NextDate(const Komunikat& k, Date today)
{
    if (DecodeRecurrence(k.CoIle).kind == RecurrenceKind::None)
        return k.Data;
    return NextOccurrence(k, today);
}

// Paints a line as the window shows it: the cut text, the date at the right.
class LineDelegate final : public QStyledItemDelegate {
public:
    explicit LineDelegate(TFDane& window) : QStyledItemDelegate(&window), window_(window) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        opt.text.clear();
        const QStyle* style = opt.widget ? opt.widget->style() : nullptr;
        if (style)
            style->drawControl(QStyle::CE_ItemViewItem, &opt, p, opt.widget);
        const bool selected = opt.state & QStyle::State_Selected;
        p->save();
        p->setFont(opt.font);
        p->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const QRect r = opt.rect.adjusted(kPad, 0, -kPad, 0);
        p->drawText(r, Qt::AlignRight | Qt::AlignVCenter, window_.ShownDate(index.row()));
        p->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, window_.ShownText(index.row()));
        p->restore();
    }

private:
    TFDane& window_;
};

} // namespace

TFDane::TFDane(AppState& state, QWidget* parent)
    : PictureWindow(QSize(ld::kWindow.w, ld::kWindow.h), QStringLiteral("tlo_dane"), kPlain, parent),
      state_(state)
{
    setObjectName(QStringLiteral("TFDane"));
    setWindowTitle(QStringLiteral("Remindo - dane"));
    Background()->setObjectName(QStringLiteral("ImDane"));
    AddDragBar(ToQRect(ld::kListwa));

    auto* pod = new QWidget(this);
    pod->setObjectName(QStringLiteral("PPodListe"));
    pod->setGeometry(ToQRect(ld::kPodListe));
    pod->setAutoFillBackground(true);
    QPalette pp = pod->palette();
    pp.setColor(QPalette::Window, Qt::white);
    pod->setPalette(pp);

    Lista_ = new QListWidget(pod);
    Lista_->setObjectName(QStringLiteral("Lista"));
    Lista_->setGeometry(2, 2, ld::kPodListe.w - 4, ld::kPodListe.h - 4);
    Lista_->setFrameShape(QFrame::NoFrame);
    Lista_->setSelectionMode(QAbstractItemView::SingleSelection);
    Lista_->setUniformItemSizes(true);
    Lista_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Lista_->setStyleSheet(QStringLiteral("QListWidget::item { height: 13px; padding: 0px; }"));
    QPalette lp = Lista_->palette();
    lp.setColor(QPalette::Base, Qt::white);
    lp.setColor(QPalette::Text, QColor(46, 98, 129));
    Lista_->setPalette(lp);
    Lista_->viewport()->installEventFilter(this);
    Lista_->setItemDelegate(new LineDelegate(*this));

    const auto button = [this](const char* name, layout::Rect place, const char* hint,
                               void (TFDane::*handler)()) {
        auto* area = AddClickArea(ToQRect(place), true, QString::fromUtf8(hint));
        area->setObjectName(QLatin1String(name));
        connect(area, &ClickArea::clicked, this, handler);
        return area;
    };
    auto* add = button("LNowyWpis", ld::kNowyWpis, "Nowe zdarzenie", &TFDane::LNowyWpisClick);
    auto* remove = button("LUsunWpis", ld::kUsunWpis, "Usuń zdarzenie", &TFDane::LUsunWpisClick);
    auto* edit = button("LEdytujWpis", ld::kEdytujWpis, "Edytuj zdarzenie", &TFDane::LEdytujWpisClick);
    auto* save = button("LZapisz", ld::kZapisz, "Zapisz zmiany", &TFDane::LZapiszClick);
    auto* cancel = button("LAnuluj", ld::kAnuluj, "Anuluj", &TFDane::LAnulujClick);
    Lista_->setAccessibleName(QStringLiteral("Lista zdarzeń"));
    // The buttons' column, the list, then cross and tick; the keyboard
    // starts in the list (Open).
    SetReadingOrder({add, edit, remove, Lista_, cancel, save});

    EnableHelpKey();
    // From the keyboard: the arrows move in the list, Enter edits, Escape cancels.
    connect(Lista_, &QListWidget::activated, this, &TFDane::LEdytujWpisClick);
    EnableEscape([this] { LAnulujClick(); });
    // Delete and Insert are the delete and new buttons, wherever the keyboard is.
    for (const auto& [key, handler] : {std::pair{Qt::Key_Delete, &TFDane::LUsunWpisClick},
                                       std::pair{Qt::Key_Insert, &TFDane::LNowyWpisClick}}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, handler);
    }
    CenterOnScreen();
    state_.session().SetView(this);
}

TFDane::~TFDane()
{
    state_.session().SetView(nullptr);
}

void TFDane::Open()
{
    // The lines follow the list as it is now (the reminder window may have
    // changed it since the last opening).
    state_.session().RefreshView();
    CenterOnScreen();
    show();
    raise();
    activateWindow();
    Lista_->setFocus(Qt::OtherFocusReason);
}

void TFDane::showEvent(QShowEvent* e)
{
    PictureWindow::showEvent(e);
    if (state_.list().ReminderCount() == 0)
        Lista_->clear();
}

void TFDane::SetItems(const std::vector<std::string>& items)
{
    // Each line holds the reminder's whole text (the list shows as much as
    // fits) and the date it comes next.
    Lista_->clear();
    const Komunikaty& list = state_.list();
    const bool whole = int(items.size()) == list.ReminderCount();
    const QFontMetrics metrics(Lista_->font());
    dateWidth_ = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        const Komunikat* k = whole ? &list[int(i)] : nullptr;
        auto* line = new QListWidgetItem(
            QString::fromStdString(Utf8FromCp1250(k ? TextToListLine(k->Tresc) : items[i])));
        line->setSizeHint(QSize(0, 13));
        if (k) {
            const QString date = QString::fromStdString(
                Utf8FromCp1250(state_.formats().ShortDate(NextDate(*k, state_.engineState().DataAkt))));
            line->setData(kDateRole, date);
            dateWidth_ = std::max(dateWidth_, metrics.horizontalAdvance(date));
        }
        Lista_->addItem(line);
    }
}

QString TFDane::CutAtWord(const QString& text, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const QString ellipsis = QStringLiteral("…");
    const int room = width - metrics.horizontalAdvance(ellipsis);
    qsizetype lo = 0;
    qsizetype hi = text.size();
    while (lo < hi) { // the longest start within the room
        const qsizetype mid = (lo + hi + 1) / 2;
        if (metrics.horizontalAdvance(text.left(mid)) <= room)
            lo = mid;
        else
            hi = mid - 1;
    }
    qsizetype cut = lo;
    const qsizetype space = text.lastIndexOf(QLatin1Char(' '), lo);
    if (lo < text.size() && text[lo] != QLatin1Char(' ') && space >= lo * 2 / 3)
        cut = space;
    QString shown = text.left(cut);
    while (shown.endsWith(QLatin1Char(' ')))
        shown.chop(1);
    return shown + ellipsis;
}

int TFDane::TextWidth() const
{
    return Lista_->viewport()->width() - 2 * kPad - (dateWidth_ > 0 ? dateWidth_ + kGap : 0);
}

QString TFDane::ShownText(int row) const
{
    const QListWidgetItem* line = Lista_->item(row);
    if (!line)
        return {};
    return CutAtWord(line->text().trimmed(), QFontMetrics(Lista_->font()), TextWidth());
}

QString TFDane::ShownDate(int row) const
{
    const QListWidgetItem* line = Lista_->item(row);
    return line ? line->data(kDateRole).toString() : QString();
}

void TFDane::SelectRow(int row)
{
    if (row >= 0 && row < Lista_->count()) {
        Lista_->setCurrentRow(row);
        return;
    }
    Lista_->clearSelection();
    Lista_->setCurrentRow(-1);
}

int TFDane::ListaSelection() const
{
    const QList<QListWidgetItem*> selected = Lista_->selectedItems();
    return selected.isEmpty() ? -1 : Lista_->row(selected.first());
}

bool TFDane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Lista_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        LEdytujWpisClick(); // ListaDblClick
        return true;
    }
    return PictureWindow::eventFilter(watched, event);
}

void TFDane::LNowyWpisClick()
{
    if (editor_)
        editor_->Open(TFWprowadzane::kNew);
}

void TFDane::LEdytujWpisClick()
{
    state_.session().Select(ListaSelection());
    if (state_.list().SelectedIndex >= 0) {
        if (editor_)
            editor_->Open(TFWprowadzane::kEdit);
        return;
    }
    state_.messages().ShowWarning(kInformationBox, kIconInfo,
                                  Lista_->count() == 0
                                      ? "Nie masz jeszcze czego edytować.\rDodaj nową pozycję."
                                      : "Zaznacz pozycję na liście.");
}

void TFDane::LUsunWpisClick()
{
    state_.session().Select(ListaSelection());
    if (state_.list().SelectedIndex < 0) {
        state_.messages().ShowWarning(kInformationBox, kIconInfo,
                                      Lista_->count() == 0
                                          ? "Nie masz jeszcze czego usuwać.\rDodaj nową pozycję."
                                          : "Zaznacz pozycję na liście.");
        return;
    }
    if (!deleteConfirmed_) {
        const int answer = state_.messages().ShowWarning(kQuestionBox, kIconQuestion,
                                                         "Tego nie można cofnąć.\rCzy rzeczywiście usunąć?");
        deleteConfirmed_ = true;
        if (answer != kAnswerTak)
            return;
    }
    state_.session().DeleteSelected();
}

void TFDane::LZapiszClick()
{
    if (state_.session().Save())
        CloseWindow();
}

void TFDane::LAnulujClick()
{
    // Only edits that wait get the question.
    const int answer = state_.session().DataChanged()
                           ? state_.messages().ShowWarning(kQuestionBox, kIconQuestion, kChangedQuestion)
                           : kAnswerZamknij;
    if (state_.session().Cancel(answer))
        CloseWindow();
}

bool TFDane::AskBeforeEnd()
{
    if (!state_.session().DataChanged())
        return true;
    int answer;
    {
        const QScopedValueRollback standing(endQuestionStands_, true);
        answer = state_.messages().ShowWarning(kQuestionBox, kIconQuestion, kChangedQuestion);
    }
    return state_.session().End(answer);
}

void TFDane::CloseWindow()
{
    hide();
    emit closed();
}

} // namespace remindo
