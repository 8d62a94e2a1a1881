#pragma once
// The program's message box `TFWarning`: an information box with one close
// button or a question box with Tak, Nie and Anuluj, answered by mouse or by
// the letter keys T, N, A and Z.

#include "store/messages.h"
#include "windows/chrome.h"

#include <functional>
#include <string_view>

class QEventLoop;

namespace remindo {

class TFWarning final : public PictureWindow, public Messages {
    Q_OBJECT
public:
    explicit TFWarning(QWidget* parent = nullptr);
    ~TFWarning() override;

    // Fills the box, shows it modally and returns the answer when it closes
    // (also kept in WarningResult). `text` is UTF-8; "\r" starts a new line.
    int ShowWarning(int kind, int icon, std::string_view text) override;

    // The steps before showing: pictures, buttons for `kind`, text, icon, and
    // the preset answer Nie. Lets the box be shown without its modal loop.
    void Fill(int kind, int icon, const QString& text);

    int WarningResult() const { return result_; }
    bool IsModalOpen() const { return loop_ != nullptr; }
    QString Text() const;

    // Buttons on offer (the visibility of their panels).
    bool Offers(int answer) const;

    // Test seam: when set, it runs once the box is shown, from inside its
    // modal loop, and answers it through the window (a click at a button's
    // place, a key). A driver that leaves the box open gets it hidden, which
    // answers Nie, so no modal loop can outlive its driver.
    using Driver = std::function<void(TFWarning& box)>;
    static void SetDriver(Driver driver);

    // Where each control lies, for tests and the picture painter.
    static QRect PlaceOf(int answer);
    static QRect ClosePlace();

signals:
    void answered(int result);

protected:
    void keyPressEvent(QKeyEvent* e) override; // FormKeyDown
    void closeEvent(QCloseEvent* e) override; // the desktop's close
    void hideEvent(QHideEvent* e) override;

private:
    struct Button {
        QWidget* panel = nullptr;
        ClickArea* image = nullptr;
    };
    Button MakeButton(const char* panelName, const char* imageName, QRect place);
    void Answer(int result);
    void LCloseClick();

    QLabel* ImIkona_ = nullptr;
    QLabel* LTekstWarning_ = nullptr;
    ClickArea* LClose_ = nullptr;
    Button tak_, nie_, anuluj_, zamknij_;
    int result_ = kAnswerNie;
    QEventLoop* loop_ = nullptr;
};

} // namespace remindo
