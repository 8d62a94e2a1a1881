#pragma once
// The about window `TFAbout`: one picture with the program's name and
// version and a painted tick that closes it. It has no drag bar.

#include "windows/chrome.h"

namespace remindo {

class TFAbout final : public PictureWindow {
    Q_OBJECT
public:
    explicit TFAbout(QWidget* parent = nullptr);

    // Shown modelessly, centred on the screen.
    void Open();
    ClickArea* LZapisz() const { return LZapisz_; }

private:
    void LZapiszClick() { hide(); }

    ClickArea* LZapisz_ = nullptr;
};

} // namespace remindo
