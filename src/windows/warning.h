#pragma once
// The program's message box `TFWarning`: a dialog showing an information box
// with one close button or a question box with Tak, Nie and Anuluj,
// answered by mouse or by the letter keys T, N, A and Z.

#include "store/messages.h"
#include "windows/chrome.h"

#include <QDialog>

#include <functional>
#include <string_view>

class QLabel;

namespace remindo {

class TFWarning final : public QDialog, public Messages {
    Q_OBJECT
public:
    explicit TFWarning(QWidget* parent = nullptr);

    // Fills the box, shows it modally and returns the answer when it closes
    // (also kept in WarningResult). `text` is UTF-8; "\r" starts a new line.
    int ShowWarning(int kind, int icon, std::string_view text) override;

    // The steps before showing: pictures, buttons for `kind`, text, icon, the
    // button the keyboard starts on, and the preset answer Nie. Lets the box
    // be shown without its modal loop.
    void Fill(int kind, int icon, const QString& text);

    int WarningResult() const { return result_; }
    bool IsModalOpen() const { return modalOpen_; }
    QString Text() const;
    QLabel* Background() const { return ImWarning_; }

    // Buttons on offer.
    bool Offers(int answer) const;

    // Closed without an answer (Escape, the desktop's close): a question is
    // cancelled, as by its close mark, never answered the Nie that would
    // drop what it guards; an information box keeps the preset Nie.
    void reject() override;

    // Test seam: when set, it runs once the box is shown, from inside its
    // modal loop, and answers it through the window (a click at a button's
    // place, a key). A driver that leaves the box open gets it hidden, which
    // answers Nie, so no modal loop can outlive its driver.
    using Driver = std::function<void(TFWarning& box)>;
    static void SetDriver(Driver driver);

    // Where each control lies, for tests and the picture painter.
    static QRect PlaceOf(int answer);
    static QRect ClosePlace();

protected:
    void keyPressEvent(QKeyEvent* e) override; // FormKeyDown
    void showEvent(QShowEvent* e) override;

private:
    ClickArea* MakeButton(const char* name, int answer, const char* spoken);
    ClickArea* ButtonFor(int answer) const;
    void Answer(int result);
    void LCloseClick();

    QLabel* ImWarning_ = nullptr;
    QLabel* ImIkona_ = nullptr;
    QLabel* LTekstWarning_ = nullptr;
    ClickArea* LClose_ = nullptr;
    ClickArea *tak_ = nullptr, *nie_ = nullptr, *anuluj_ = nullptr, *zamknij_ = nullptr;
    int result_ = kAnswerNie;
    bool modalOpen_ = false;
};

} // namespace remindo
