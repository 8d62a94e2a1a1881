#pragma once
// The list window, the editor and the recurrence dialog on a program state
// of their own (a temporary data folder, a fixed clock and Polish formats),
// with helpers that click them at their painted places.

#include "windows/chrome_support.h"

#include "app/staterig.h"

#include "dates/datetools.h"
#include "engine/interfaces.h"
#include "app/appstate.h"
#include "store/codec.h"
#include "store/fixedformats.h"
#include "windows/czestosc.h"
#include "windows/dane.h"
#include "windows/datepicker.h"
#include "windows/layout.h"
#include "windows/repeat.h"
#include "windows/wprowadzane.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace remindo::test {

namespace lw = remindo::layout::wprowadzane;
namespace ld = remindo::layout::dane;
namespace lc = remindo::layout::czestosc;

inline Date D(int y, int m, int d) { return DateFromYmd(y, m, d); }

inline QRect Place(layout::Rect r) { return QRect(r.x, r.y, r.w, r.h); }

// The three windows a rig works with, and whatever keeps them alive.
struct EditingWindows {
    TFDane* dane = nullptr;
    TFWprowadzane* editor = nullptr;
    TFCzestosc* dialog = nullptr;
    std::shared_ptr<void> owner;
};

struct EditingRig : StateRig {
    // Made before the windows, so that every stepper of theirs runs on it.
    std::unique_ptr<ManualRepeatTimers> timers = std::make_unique<ManualRepeatTimers>();

private:
    EditingWindows made_; // declared after the state, so it goes first

public:
    TFDane& dane;
    TFWprowadzane& editor;
    TFCzestosc& dialog;

    // The windows made here, or by `make` (the program's own wiring) on the rig's state.
    explicit EditingRig(Date today = D(2026, 12, 8),
                        const std::function<EditingWindows(AppState&)>& make = {})
        : StateRig(today), made_(make ? make(state) : OwnWindows(state)), dane(*made_.dane),
          editor(*made_.editor), dialog(*made_.dialog)
    {
        // Again after the windows: the program's own wiring installs its box.
        state.messages.SetTarget(&box);
        QDir().mkpath(QFileInfo(QString::fromStdString(state.dataFile.Path())).path());
        state.engineState.DataAkt = today;
        state.engineState.PassTime = clock.Now();
    }

    static EditingWindows OwnWindows(AppState& state)
    {
        struct Owned {
            TFDane dane;
            TFWprowadzane editor;
            TFCzestosc dialog;
            explicit Owned(AppState& s) : dane(s), editor(s, dane), dialog(s, editor) {}
        };
        auto owned = std::make_shared<Owned>(state);
        return {&owned->dane, &owned->editor, &owned->dialog, owned};
    }

    // Adds a reminder straight to the list (as a load would) and saves the file.
    void Seed(const char* utf8Text, Date data, int32_t coIle, int32_t ilePrzed = 1, int32_t czyPo = 0,
              int32_t blok = 0, int32_t ile = 1)
    {
        state.list.AddReminder(Cp(utf8Text), data, coIle, ilePrzed, czyPo, blok, ile,
                               state.engineState.DataAkt);
    }
    bool SaveFile() { return state.dataFile.SaveDataFile(state.list); }

    bool OpenList()
    {
        dane.Open();
        return QTest::qWaitForWindowExposed(&dane);
    }

    void ClickDane(layout::Rect r) { ClickOn(dane, Place(r)); }
    void ClickEditor(layout::Rect r) { ClickOn(editor, Place(r)); }
    void ClickDialog(layout::Rect r) { ClickOn(dialog, Place(r)); }
    // A picker control, by name, through the editor's window.
    void ClickPicker(const char* control)
    {
        ClickAt(editor, DatePicker::PlaceOf(control).center() + editor.Picker()->pos());
    }

    // Selects row `row` of the list with a click on its line.
    void ClickRow(int row)
    {
        QListWidget* lista = dane.Lista();
        const QRect r = lista->visualItemRect(lista->item(row));
        ClickAt(dane, lista->viewport()->mapTo(&dane, r.center()));
    }

    // Types into the memo key by key; letters beyond ASCII come as the text
    // of a key the keyboard has no code for, as a compose key gives them.
    static void Type(QWidget* w, const QString& text)
    {
        for (const QChar c : text) {
            if (c == QLatin1Char('\n'))
                QTest::keyClick(w, Qt::Key_Return);
            else if (c.unicode() < 128)
                QTest::keyClick(w, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    void TypeText(const QString& text) { Type(editor.Memo(), text); }

    // Opens a drop-down list with a click on its painted arrow and picks
    // entry `entry` from it as the keyboard does.
    static void Choose(QWidget& window, layout::Rect arrow, QComboBox* combo, int entry)
    {
        ClickOn(window, Place(arrow));
        QTRY_VERIFY(combo->view()->isVisible());
        combo->view()->setCurrentIndex(combo->model()->index(entry, 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QTRY_VERIFY(!combo->view()->isVisible());
    }
    void ChooseKind(int entry) { Choose(editor, layout::wprowadzane::kRozwinListe, editor.KindBox(), entry); }

    QString Label(QWidget& w, const char* name) { return w.findChild<QLabel*>(QLatin1String(name))->text(); }
    QString LastMessage() const
    {
        return box.shown.empty() ? QString() : QString::fromStdString(box.shown.back().text);
    }
    QStringList Lines() const
    {
        QStringList out;
        for (int i = 0; i < dane.Lista()->count(); ++i)
            out << dane.Lista()->item(i)->text();
        return out;
    }
    void SetDays(const QString& typed)
    {
        dialog.CoIleDniField()->selectAll();
        dialog.CoIleDniField()->del();
        QTest::keyClicks(dialog.CoIleDniField(), typed);
    }
};

} // namespace remindo::test
