#include "shell/datawatch.h"

#include "app/appstate.h"

#include <QFile>
#include <QFileInfo>

namespace remindo {

DataFileWatch::DataFileWatch(AppState& state, std::function<bool()> busy, std::function<void()> reload)
    : state_(state), busy_(std::move(busy)), reload_(std::move(reload))
{
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] { Check(); });
    // The folder too: a file replaced by rename drops the file's own watch.
    connect(&watcher_, &QFileSystemWatcher::fileChanged, &settle_, qOverload<>(&QTimer::start));
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, &settle_, qOverload<>(&QTimer::start));
    Watch();
}

void DataFileWatch::Watch()
{
    const QString file = QFile::decodeName(state_.dataFile.Path().c_str());
    const QString folder = QFileInfo(file).absolutePath();
    if (!watcher_.directories().contains(folder) && QFileInfo(folder).isDir())
        watcher_.addPath(folder);
    if (!watcher_.files().contains(file) && QFileInfo::exists(file))
        watcher_.addPath(file);
}

ReloadAnswer DataFileWatch::Check()
{
    Watch();
    if (!state_.FileChangedElsewhere())
        return ReloadAnswer::Unchanged;
    if (state_.DataChanged)
        return ReloadAnswer::Pending;
    if (busy_()) {
        settle_.start(); // again once the window has closed
        return ReloadAnswer::Reloaded;
    }
    reload_();
    return ReloadAnswer::Reloaded;
}

} // namespace remindo
