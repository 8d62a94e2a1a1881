#pragma once
// The sync window `TFSynchronizacja`: the CalDAV account (server, user,
// password, calendar name), "Synchronizuj teraz" and the last result. ✔
// keeps the account (the password in the desktop's keyring only; it is never
// shown back) and syncs; ✖ and Escape close.

#include "windows/chrome.h"

#include <string>

class QLabel;
class QLineEdit;

namespace remindo {

class SyncService;

class TFSynchronizacja final : public PictureWindow {
    Q_OBJECT
public:
    explicit TFSynchronizacja(SyncService& service, QWidget* parent = nullptr);

    // Fills the fields from the account kept and shows the window modelessly.
    void Open();

    QLineEdit* Field(int row) const { return fields_[row]; } // 0 server .. 3 calendar
    ClickArea* LSynchronizuj() const { return LSynchronizuj_; }
    ClickArea* LZapisz() const { return LZapisz_; }
    QLabel* LWynik() const { return LWynik_; }
    QLabel* LUwaga() const { return LUwaga_; }

private:
    void Refresh();
    // Keeps the account when the fields differ from it (or a password was
    // typed), then runs `then`; a failure stays on the window's warning line.
    void KeepThen(std::function<void()> then);
    void LSynchronizujClick();
    void LZapiszClick();

    SyncService& service_;
    QLineEdit* fields_[4] = {};
    ClickArea* LSynchronizuj_ = nullptr;
    ClickArea* LAnuluj_ = nullptr;
    ClickArea* LZapisz_ = nullptr;
    QLabel* LWynik_ = nullptr;
    QLabel* LUwaga_ = nullptr;
    std::string failure_; // the last save's, until the next opening
};

} // namespace remindo
