#include "shell/endsignals.h"

#include "shell/session.h"

#include <QSocketNotifier>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <pthread.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace remindo {

namespace {

sigset_t blocked; // written once, before any thread exists

void UnblockInChild()
{
    pthread_sigmask(SIG_UNBLOCK, &blocked, nullptr);
}

// The signals ignored since the start. A blocked signal is queued even when
// ignored, so these must stay out of the block; /proc tells without asking
// for a disposition, which would take sigaction().
std::uint64_t IgnoredAtStart()
{
    std::FILE* f = std::fopen("/proc/self/status", "re");
    if (!f)
        return 0;
    char line[256];
    unsigned long long mask = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "SigIgn: %llx", &mask) == 1)
            break;
    std::fclose(f);
    return mask;
}

} // namespace

int BlockEndSignals()
{
    sigemptyset(&blocked);
    const std::uint64_t ignored = IgnoredAtStart();
    bool any = false;
    for (const EndSignal& s : kEndSignals)
        if (((ignored >> (s.number - 1)) & 1) == 0) {
            sigaddset(&blocked, s.number);
            any = true;
        }
    if (!any)
        return -1;
    const int fd = ::signalfd(-1, &blocked, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd < 0) {
        sigemptyset(&blocked);
        return -1;
    }
    static bool registered = false;
    if (!registered)
        registered = pthread_atfork(nullptr, nullptr, UnblockInChild) == 0;
    pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
    return fd;
}

void UnblockEndSignals()
{
    pthread_sigmask(SIG_UNBLOCK, &blocked, nullptr);
}

EndSignalReader::EndSignalReader(int fd, QObject* parent) : QObject(parent), fd_(fd)
{
    if (fd_ < 0)
        return;
    notifier_ = new QSocketNotifier(qintptr(fd_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &EndSignalReader::Read);
}

EndSignalReader::~EndSignalReader()
{
    delete notifier_;
    if (fd_ >= 0)
        ::close(fd_);
}

void EndSignalReader::Read()
{
    // All that waits is read before any is acted on: acting may ask a
    // question, whose event loop reads the next signal itself.
    std::vector<int> got;
    signalfd_siginfo info;
    while (::read(fd_, &info, sizeof info) == ssize_t(sizeof info))
        got.push_back(int(info.ssi_signo));
    for (const int s : got)
        emit received(s);
}

} // namespace remindo
