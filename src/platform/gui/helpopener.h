#pragma once
// Opening a page in whatever the desktop uses to show it. Windows reach the
// desktop only through this interface; tests give them a recorder.

#include <QUrl>

class QWidget;

namespace remindo {

class HelpOpener {
public:
    virtual ~HelpOpener() = default;
    // `owner` is the window help was asked from. False when no program could
    // be asked to show the page; a page or browser that fails afterwards is
    // not known here.
    virtual bool OpenUrl(const QUrl& url, QWidget* owner) = 0;
};

// The desktop's default handler (QDesktopServices).
class DesktopHelpOpener final : public HelpOpener {
public:
    bool OpenUrl(const QUrl& url, QWidget* owner) override;
};

} // namespace remindo
