#include "store/mappedfile.h"

#include <array>
#include <csignal>
#include <cstdint>
#include <mutex>

#include <sys/mman.h>
#include <unistd.h>

namespace remindo {
namespace {

// The mappings the bus-error handler may mend. The handler reads these
// without a lock, so they are atomics; slots are claimed under a mutex.
struct Slot {
    std::atomic<uintptr_t> begin{0};
    std::atomic<uintptr_t> end{0};
    std::atomic<bool> changed{false};
};
constexpr int kSlots = 8;
std::array<Slot, kSlots> slots;
std::mutex slotsMutex;
struct sigaction previous {};
uintptr_t pageSize = 4096;

void OnBusError(int signal, siginfo_t* info, void* context)
{
    const auto at = reinterpret_cast<uintptr_t>(info->si_addr);
    for (Slot& s : slots) {
        const uintptr_t begin = s.begin.load(std::memory_order_acquire);
        if (begin == 0 || at < begin || at >= s.end.load(std::memory_order_acquire))
            continue;
        // Zeros in place of the vanished page; the read then goes on.
        const uintptr_t page = at & ~(pageSize - 1);
        if (::mmap(reinterpret_cast<void*>(page), size_t(pageSize), PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1,
                   0) != MAP_FAILED) {
            s.changed.store(true, std::memory_order_release);
            return;
        }
        break;
    }
    // Not ours: as it would have been without us.
    if (previous.sa_flags & SA_SIGINFO) {
        if (previous.sa_sigaction) {
            previous.sa_sigaction(signal, info, context);
            return;
        }
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
        previous.sa_handler(signal);
        return;
    }
    ::signal(SIGBUS, SIG_DFL); // the fault comes again and ends the process
}

void InstallHandlerOnce()
{
    static const bool installed = [] {
        pageSize = uintptr_t(::sysconf(_SC_PAGESIZE));
        struct sigaction sa {};
        sa.sa_sigaction = OnBusError;
        sa.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&sa.sa_mask);
        return ::sigaction(SIGBUS, &sa, &previous) == 0;
    }();
    (void)installed;
}

} // namespace

MappedFile::~MappedFile() { Unmap(); }

bool MappedFile::Map(int fd, size_t size)
{
    Unmap();
    if (size == 0)
        return false;
    InstallHandlerOnce();
    std::lock_guard<std::mutex> lock(slotsMutex);
    int free = -1;
    for (int i = 0; i < kSlots && free < 0; ++i)
        if (slots[size_t(i)].begin.load() == 0)
            free = i;
    if (free < 0)
        return false;
    // The pages are put in place at once: one call instead of a fault each.
    void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (p == MAP_FAILED)
        return false;
    data_ = static_cast<const char*>(p);
    size_ = size;
    slot_ = free;
    Slot& s = slots[size_t(free)];
    s.changed.store(false);
    s.end.store(reinterpret_cast<uintptr_t>(p) + size);
    s.begin.store(reinterpret_cast<uintptr_t>(p), std::memory_order_release);
    return true;
}

bool MappedFile::Changed() const
{
    return slot_ >= 0 && slots[size_t(slot_)].changed.load(std::memory_order_acquire);
}

void MappedFile::Unmap()
{
    if (!data_)
        return;
    {
        std::lock_guard<std::mutex> lock(slotsMutex);
        slots[size_t(slot_)].begin.store(0, std::memory_order_release);
        slots[size_t(slot_)].end.store(0);
    }
    ::munmap(const_cast<char*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
    slot_ = -1;
}

} // namespace remindo
