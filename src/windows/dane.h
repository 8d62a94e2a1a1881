#pragma once
// The reminder list window `TFDane`: one line per reminder, with new, edit
// and delete, and save or cancel for the whole list. It is the store's view
// of the list: the store's edits refill its lines.

#include "store/reminders.h"
#include "windows/chrome.h"

#include <string>
#include <vector>

class QFontMetrics;
class QListWidget;

namespace remindo {

class AppState;
class TFWprowadzane;

class TFDane final : public PictureWindow, public ReminderListView {
    Q_OBJECT
public:
    explicit TFDane(AppState& state, QWidget* parent = nullptr);
    ~TFDane() override;

    // Shows the window, centred, modeless (the tray menu's "open list").
    void Open();
    void SetEditor(TFWprowadzane* editor) { editor_ = editor; }
    TFWprowadzane* Editor() const { return editor_; }

    // ReminderListView: the store refills the lines and selects a row.
    void SetItems(const std::vector<std::string>& items) override;
    void SelectRow(int row) override;

    QListWidget* Lista() const { return Lista_; }
    // A line as the list shows it: the reminder's text, cut at a word with
    // "…" where it does not fit beside the date, and the date it comes next.
    QString ShownText(int row) const;
    QString ShownDate(int row) const;
    // The longest start of `text` that fits `width` with "…" after it, cut
    // at a word where one lies in its last third; the text itself if it fits.
    static QString CutAtWord(const QString& text, const QFontMetrics& metrics, int width);
    bool DeleteConfirmed() const { return deleteConfirmed_; }

    // The handlers, as the buttons call them.
    void LNowyWpisClick();
    void LEdytujWpisClick(); // also ListaDblClick
    void LUsunWpisClick();
    void LZapiszClick();
    void LAnulujClick();

    // Before the program ends: edits still pending are saved ("Tak") or
    // dropped ("Nie") after the window's question; false ("Anuluj", or a
    // save that failed) keeps the program running.
    bool AskBeforeEnd();
    // AskBeforeEnd's question is on the screen now.
    bool EndQuestionStands() const { return endQuestionStands_; }

signals:
    void closed();

protected:
    void showEvent(QShowEvent* e) override; // FormShow
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int ListaSelection() const;
    void CloseWindow();

    int TextWidth() const;

    AppState& state_;
    TFWprowadzane* editor_ = nullptr;
    int dateWidth_ = 0; // the widest date of the list
    QListWidget* Lista_ = nullptr;
    bool deleteConfirmed_ = false;
    bool endQuestionStands_ = false;
};

} // namespace remindo
