#include "windows/dane.h"

#include "app/appstate.h"
#include "store/codec.h"
#include "windows/wprowadzane.h"

#include <QEvent>
#include <QListWidget>

namespace remindo {

namespace {

namespace ld = layout::dane;

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

    const auto button = [this](const char* name, layout::Rect place, const char* hint,
                               void (TFDane::*handler)()) {
        auto* area = AddClickArea(ToQRect(place), true, QString::fromUtf8(hint));
        area->setObjectName(QLatin1String(name));
        connect(area, &ClickArea::clicked, this, handler);
    };
    button("LNowyWpis", ld::kNowyWpis, "Nowe zdarzenie", &TFDane::LNowyWpisClick);
    button("LUsunWpis", ld::kUsunWpis, "Usuń zdarzenie", &TFDane::LUsunWpisClick);
    button("LEdytujWpis", ld::kEdytujWpis, "Edytuj zdarzenie", &TFDane::LEdytujWpisClick);
    button("LZapisz", ld::kZapisz, "Zapisz zmiany", &TFDane::LZapiszClick);
    button("LAnuluj", ld::kAnuluj, "Anuluj", &TFDane::LAnulujClick);

    EnableHelpKey();
    CenterOnScreen();
    state_.list.SetView(this);
}

TFDane::~TFDane()
{
    state_.list.SetView(nullptr);
}

void TFDane::Open()
{
    // The lines follow the list as it is now (the reminder window may have
    // changed it since the last opening).
    state_.list.RefreshView();
    CenterOnScreen();
    show();
    raise();
    activateWindow();
}

void TFDane::showEvent(QShowEvent* e)
{
    PictureWindow::showEvent(e);
    if (state_.list.ReminderCount() == 0)
        Lista_->clear();
}

void TFDane::SetItems(const std::vector<std::string>& items)
{
    Lista_->clear();
    for (const std::string& item : items) {
        auto* line = new QListWidgetItem(QString::fromStdString(Utf8FromCp1250(item)));
        line->setSizeHint(QSize(0, 13));
        Lista_->addItem(line);
    }
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
    state_.list.SelectedIndex = ListaSelection();
    if (state_.list.SelectedIndex >= 0) {
        if (editor_)
            editor_->Open(TFWprowadzane::kEdit);
        return;
    }
    state_.messages.ShowWarning(kInformationBox, kIconInfo,
                                Lista_->count() == 0
                                    ? "Nie masz jeszcze czego edytować.\rDodaj nową pozycję."
                                    : "Zaznacz pozycję na liście.");
}

void TFDane::LUsunWpisClick()
{
    state_.list.SelectedIndex = ListaSelection();
    if (state_.list.SelectedIndex < 0) {
        state_.messages.ShowWarning(kInformationBox, kIconInfo,
                                    Lista_->count() == 0
                                        ? "Nie masz jeszcze czego usuwać.\rDodaj nową pozycję."
                                        : "Zaznacz pozycję na liście.");
        return;
    }
    if (!deleteConfirmed_) {
        const int answer = state_.messages.ShowWarning(kQuestionBox, kIconInfo,
                                                       "Tego nie można cofnąć.\rCzy rzeczywiście usunąć?");
        deleteConfirmed_ = true;
        if (answer != kAnswerTak)
            return;
    }
    state_.DeleteSelected();
    // A deletion waits for the save like any other change, so that cancel
    // can still bring the reminder back from the file.
    state_.DataChanged = true;
}

void TFDane::LZapiszClick()
{
    if (!state_.SaveList())
        return; // the store has said why; the changes stay pending
    if (state_.settings.LogDetail > 2)
        state_.log.WriteLog(Cp("Zapisano wprowadzone dane"));
    state_.engine.PreparationPass();
    state_.DataChanged = false;
    CloseWindow();
}

void TFDane::LAnulujClick()
{
    if (!state_.DataChanged) {
        CloseWindow();
        return;
    }
    const int answer =
        state_.messages.ShowWarning(kQuestionBox, kIconInfo, "Dane zostały zmienione.\rZapisać zmiany?");
    if (answer == kAnswerTak) {
        if (!state_.SaveList())
            return;
        state_.DataChanged = false;
        CloseWindow();
        state_.ReloadDataFile();
        state_.list.RefreshView();
        // Saved here as by the save button: what is due today is marked.
        state_.engine.PreparationPass();
    } else if (answer == kAnswerNie) {
        CloseWindow();
        state_.ReloadDataFile();
        state_.list.RefreshView();
        state_.DataChanged = false;
    }
}

void TFDane::CloseWindow()
{
    hide();
    emit closed();
}

} // namespace remindo
