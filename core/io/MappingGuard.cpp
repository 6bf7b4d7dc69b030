#include "io/MappingGuard.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <utility>

namespace kesh {

namespace {

struct Slot {
    std::atomic<uintptr_t> begin{0};
    std::atomic<uintptr_t> end{0};
    std::atomic<bool> tripped{false};
    std::atomic<bool> taken{false};
};

constexpr int kSlots = 16;
Slot g_slots[kSlots];
struct sigaction g_previous {};
uintptr_t g_pageSize = 4096;

void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
    for (Slot& slot : g_slots) {
        if (address < slot.begin.load() || address >= slot.end.load())
            continue;
        // The file ends before this page: read zeros here from now on.
        void* page = reinterpret_cast<void*>(address / g_pageSize * g_pageSize);
        if (::mmap(page, g_pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
            MAP_FAILED) {
            slot.tripped.store(true);
            return;
        }
    }
    // Not ours: whoever handled it before does, or the default ends the
    // program when the faulting instruction runs again.
    if ((g_previous.sa_flags & SA_SIGINFO) && g_previous.sa_sigaction) {
        g_previous.sa_sigaction(signal, info, context);
        return;
    }
    ::sigaction(SIGBUS, &g_previous, nullptr);
}

void InstallHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        g_pageSize = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &g_previous);
    });
}

} // namespace

MappingGuard::MappingGuard(const void* address, size_t size) {
    InstallHandler();
    for (int i = 0; i < kSlots; ++i) {
        bool expected = false;
        if (!g_slots[i].taken.compare_exchange_strong(expected, true))
            continue;
        const auto begin = reinterpret_cast<uintptr_t>(address);
        g_slots[i].tripped.store(false);
        g_slots[i].end.store(begin + size);
        g_slots[i].begin.store(begin);
        m_slot = i;
        return;
    }
}

MappingGuard::~MappingGuard() {
    Disarm();
}

MappingGuard::MappingGuard(MappingGuard&& other) noexcept
    : m_slot(std::exchange(other.m_slot, -1)) {}

MappingGuard& MappingGuard::operator=(MappingGuard&& other) noexcept {
    if (this != &other) {
        Disarm();
        m_slot = std::exchange(other.m_slot, -1);
    }
    return *this;
}

bool MappingGuard::tripped() const {
    return armed() && g_slots[m_slot].tripped.load();
}

void MappingGuard::Disarm() {
    if (m_slot < 0)
        return;
    Slot& slot = g_slots[m_slot];
    slot.begin.store(0);
    slot.end.store(0);
    slot.taken.store(false);
    m_slot = -1;
}

} // namespace kesh
