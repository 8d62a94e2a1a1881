#pragma once
// The reminder editor `TFWprowadzane`: text, first date (picked in the
// drop-down month grid), recurrence kind, days before, warn-after, times a
// day and the block, for a new reminder or the selected one. It works on
// copies of the fields and writes them to the list only when confirmed.

#include "dates/date.h"
#include "windows/chrome.h"
#include "windows/czestosc.h"

#include <QString>

#include <cstdint>
#include <string>

class QComboBox;
class QLabel;
class QPlainTextEdit;

namespace remindo {

class AppState;
class DatePicker;
class TFDane;

class TFWprowadzane final : public PictureWindow {
    Q_OBJECT
public:
    enum Mode { kNew = 1, kEdit = 2 };
    static constexpr int kMaxTextLength = 160; // stored Windows-1250 characters, line breaks aside
    static constexpr int kMaxLines = 2;        // as the field breaks them
    // The kind list's entries in its order; Unknown selects none (a rule
    // from elsewhere that no entry stands for).
    enum class KindEntry { Unknown = -1, OneOff, Daily, Weekly, Monthly, Yearly, EveryXDays, WeekdayOfMonth };
    static constexpr int kEntries = 7;

    // Registers itself with the list window, which opens it.
    TFWprowadzane(AppState& state, TFDane& list, QWidget* parent = nullptr);

    // Fills the form for `mode` (kEdit works on the list's SelectedIndex) and
    // shows it over the list window, which it keeps from input until it closes.
    void Open(int mode);
    bool IsOpen() const { return isVisible(); }

    RecurrenceValues& Values() { return values_; }
    void SetDialog(TFCzestosc* dialog);
    TFCzestosc* Dialog() const { return dialog_; }

    // The working copy, for tests and the dialog.
    int Mode() const { return mode_; }
    Date Data() const { return data_; }
    int32_t CoIle() const { return values_.CoIle; }
    int32_t IlePrzed() const { return ilePrzed_; }
    int32_t CzyPo() const { return czyPo_; }
    int32_t Blok() const { return blok_; }
    int32_t Ile() const { return ile_; }
    // The highest days-before value the current kind allows.
    int32_t DaysBeforeLimit() const;
    // True when no entry of the kind list stands for the rule (a code from elsewhere).
    bool RuleUnknown() const;

    // What the memo's limits look at in a text: its stored characters, the
    // lines the field breaks it into, the characters Windows-1250 cannot
    // hold, and "+" (the stored line end).
    struct MemoMeasure {
        int chars = 0;
        int lines = 0;
        int unstorable = 0;
        bool plus = false;
        bool Within() const;
        // An edit of a text opened from elsewhere that breaks the limits is
        // taken while it makes nothing worse, so the text can be shortened.
        bool NoWorseThan(const MemoMeasure& before) const;
    };
    MemoMeasure Measure(const QString& text) const;

    // The lines of a text as the memo breaks them (a line break at the end
    // gives an empty last line), the lines stored from the memo,
    // and the text that would be stored.
    QStringList WrapLines(const QString& text) const;
    QStringList MemoLines() const;
    std::string StoredText() const;

    QPlainTextEdit* Memo() const { return MTresc_; }
    // The line under the memo that says why it took no more; hidden while
    // nothing was refused.
    QLabel* MemoHint() const { return LTrescUwaga_; }
    QComboBox* KindBox() const { return CzestoscBox_; }
    DatePicker* Picker() const { return picker_; }
    QString DateLabel() const;

    // The kind list's entry 5 text for X days, and entry 6's for a weekday rule.
    static QString EveryXText(int32_t days);
    static QString WeekdayRuleText(int nthIndex, int weekdayIndex);

    // The entry of the kind list that stands for a code.
    static KindEntry EntryForCode(int32_t coIle);

signals:
    void closed();

private:
    void LZapiszClick();
    void LAnulujClick();
    void CzestoscBoxChange(int index);
    void RecurrenceClosed(bool accepted);
    void LMniejDniPrzedClick();
    void LWiecejDniPrzedClick();
    void LMniejRazyClick();
    void LWiecejrazyClick();
    void ImPtaszekClick();
    void ImPtaszek2Click();
    void LRozwinKalendarzClick();
    void LRozwinListeClick();
    void HidePicker(); // ImKalendarzClick, ImWprowadzaneClick, MTrescClick
    void ImCalendarMouseDown(QPoint gridPoint);
    void ShowDate();   // LWybData (and the picker's LData) from the working date
    void ShowValues(); // LDniPrzed, LIleRazyDziennie and both ticks
    void SelectEntry(KindEntry entry);
    void MemoChanged();
    void SetMemo(const QString& text, int cursor); // taken as it is
    void SayWhyRefused(const MemoMeasure& refused);
    void Finish();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override; // the desktop's close: as cancel

    AppState& state_;
    TFDane& list_;
    TFCzestosc* dialog_ = nullptr;
    RecurrenceValues values_;

    int mode_ = kNew;
    Date data_;
    int32_t ilePrzed_ = 1;
    int32_t czyPo_ = 1;
    int32_t blok_ = 0;
    int32_t ile_ = 1;
    KindEntry entry_ = KindEntry::OneOff;        // the kind list's entry for the working rule
    KindEntry entryBefore_ = KindEntry::OneOff;  // the entry before a change that opened the dialog
    KindEntry pendingEntry_ = KindEntry::Unknown; // the entry whose dialog is open

    QPlainTextEdit* MTresc_ = nullptr;
    QString memoAccepted_; // the memo's last text taken
    MemoMeasure memoMeasure_;
    bool memoReverting_ = false;
    QLabel* LTrescUwaga_ = nullptr;
    ClickArea* LWybData_ = nullptr;
    DatePicker* picker_ = nullptr;
    QComboBox* CzestoscBox_ = nullptr;
    StepperValue* LDniPrzed_ = nullptr;
    StepperValue* LIleRazyDziennie_ = nullptr;
    TickBox* ImPtaszek_ = nullptr;
    TickBox* ImPtaszek2_ = nullptr;
};

} // namespace remindo
