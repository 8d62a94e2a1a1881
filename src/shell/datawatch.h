#pragma once
// Notices when another program replaces the data file (by rename, as
// remindo-data, editors and sync tools do) or rewrites it, and reads it again
// when no edit is pending, so that the list shown is the file's. With the
// data file a link of the user's own, the file it names is watched. With edits
// pending nothing is read: their save keeps the other version beside the
// file (AppState::SaveList).

#include "store/filestamp.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <functional>

namespace remindo {

class AppState;

class DataFileWatch final : public QObject {
    Q_OBJECT
public:
    // `busy`: a window is open whose work a reload would pull from under it
    // (the editor, a question); the reload waits for it. `reload` reads the
    // file again.
    DataFileWatch(AppState& state, std::function<bool()> busy, std::function<void()> reload);

    // Looks now: reloads, or says why not.
    ReloadAnswer Check();
    // Changes settle for this long before a look (an editor may write in steps).
    static constexpr int kSettleMs = 300;
    // A writer that never stops (a sync tool) gets a look at least this often.
    static constexpr int kMostWaitMs = 2000;

private:
    void Watch();
    void Changed();

    AppState& state_;
    std::function<bool()> busy_;
    std::function<void()> reload_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    QTimer deadline_; // from the first change on; not restarted by the later ones
    bool readAgain_ = false; // found half written: one more look after the settle
};

} // namespace remindo
