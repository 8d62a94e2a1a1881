#include "shell/datawatch.h"

#include "app/appstate.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace remindo {

DataFileWatch::DataFileWatch(AppState& state, std::function<bool()> busy, std::function<void()> reload)
    : state_(state), busy_(std::move(busy)), reload_(std::move(reload))
{
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    deadline_.setSingleShot(true);
    deadline_.setInterval(kMostWaitMs);
    connect(&settle_, &QTimer::timeout, this, [this] { Check(); });
    connect(&deadline_, &QTimer::timeout, this, [this] { Check(); });
    // The folder too: a file replaced by rename drops the file's own watch.
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &DataFileWatch::Changed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &DataFileWatch::Changed);
    Watch();
}

void DataFileWatch::Changed()
{
    // Every change restarts the settle; under a steady writer only the
    // deadline, started by the first of them, ends the wait.
    if (!deadline_.isActive())
        deadline_.start();
    settle_.start();
}

void DataFileWatch::Watch()
{
    const QString path = QFile::decodeName(state_.dataFile().Path().c_str());
    const QString file = QFile::decodeName(state_.dataFile().Target().c_str());
    // The link's folder (the link may be pointed elsewhere), and the file it
    // names with that file's folder.
    QSet<QString> folders{QFileInfo(path).absolutePath(), QFileInfo(file).absolutePath()};
    for (const QString& gone : watcher_.directories())
        if (!folders.contains(gone))
            watcher_.removePath(gone);
    for (const QString& gone : watcher_.files())
        if (gone != file)
            watcher_.removePath(gone);
    for (const QString& folder : folders)
        if (!watcher_.directories().contains(folder) && QFileInfo(folder).isDir())
            watcher_.addPath(folder);
    if (!watcher_.files().contains(file) && QFileInfo::exists(file))
        watcher_.addPath(file);
}

ReloadAnswer DataFileWatch::Check()
{
    settle_.stop();
    deadline_.stop();
    Watch();
    const ReloadAnswer answer = state_.session().OtherVersion();
    if (answer == ReloadAnswer::Unchanged)
        readAgain_ = false;
    if (answer != ReloadAnswer::Reloaded)
        return answer;
    if (busy_()) {
        settle_.start(); // again once the window has closed
        return ReloadAnswer::Reloaded;
    }
    // A writer that rewrites the file in place may pause half way: a file
    // that does not read whole is read once more after the settle before
    // the load calls it damaged (and keeps a copy of it).
    if (!readAgain_ && !state_.session().ReadsWhole()) {
        readAgain_ = true;
        settle_.start();
        return ReloadAnswer::Reloaded;
    }
    readAgain_ = false;
    reload_();
    return ReloadAnswer::Reloaded;
}

} // namespace remindo
