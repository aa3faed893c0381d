#include "store/store_map.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>

#include "util/file_io.h"

namespace vorlin {
namespace {

// The live mappings, read by the signal handler: a slot is free when its end is 0.
struct Region {
  std::atomic<uintptr_t> begin{0};
  std::atomic<uintptr_t> end{0};
  std::atomic<bool> cut{false};
};
constexpr size_t kSlots = 64;
std::array<Region, kSlots> gRegions;
std::mutex gSlotsMutex;  // taken by (un)registration only, never by the handler
struct sigaction gPrevious {};

void OnBusError(int signal, siginfo_t* info, void* context) {
  const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
  for (Region& r : gRegions) {
    const uintptr_t begin = r.begin.load(std::memory_order_acquire);
    const uintptr_t end = r.end.load(std::memory_order_acquire);
    if (address < begin || address >= end) continue;
    const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t from = address & ~(page - 1);
    // Zero pages in place of the vanished ones; the faulting read then runs again.
    if (::mmap(reinterpret_cast<void*>(from), end - from, PROT_READ,
               MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
      r.cut.store(true);
      return;
    }
    break;
  }
  // Not a store's page: what would have happened without this handler.
  if ((gPrevious.sa_flags & SA_SIGINFO) != 0 && gPrevious.sa_sigaction != nullptr) {
    gPrevious.sa_sigaction(signal, info, context);
    return;
  }
  if (gPrevious.sa_handler != SIG_DFL && gPrevious.sa_handler != SIG_IGN) {
    gPrevious.sa_handler(signal);
    return;
  }
  ::signal(SIGBUS, SIG_DFL);
  ::raise(SIGBUS);
}

void InstallHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &gPrevious);
  });
}

// Returns the slot, or nullptr when all are taken (the mapping then goes unguarded: no crash
// unless the file is also cut short).
Region* Register(uintptr_t begin, uintptr_t end) {
  std::lock_guard lock(gSlotsMutex);
  for (Region& r : gRegions) {
    if (r.end.load() != 0) continue;
    r.begin.store(begin, std::memory_order_release);
    r.end.store(end, std::memory_order_release);
    return &r;
  }
  return nullptr;
}

void Unregister(Region* r) {
  if (r == nullptr) return;
  std::lock_guard lock(gSlotsMutex);
  r->end.store(0, std::memory_order_release);
  r->begin.store(0, std::memory_order_release);
  r->cut.store(false);
}

}  // namespace

bool MapStoreFile(std::string_view storeName, StoreMap& out) {
  Fd in(::open(FsPath(storeName).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (in.fd < 0 || ::fstat(in.fd, &st) != 0) return false;
  if (!S_ISREG(st.st_mode)) {
    errno = EINVAL;
    return false;
  }
  out = StoreMap();
  if (st.st_size == 0) return true;
  const auto size = static_cast<size_t>(st.st_size);
  InstallHandler();
  // Populated at once: one pass of the kernel instead of a fault for every page.
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, in.fd, 0);
  if (map == MAP_FAILED) return false;
  const auto begin = reinterpret_cast<uintptr_t>(map);
  Region* slot = Register(begin, begin + size);
  out.bytes =
      std::shared_ptr<const char[]>(static_cast<const char*>(map), [size, slot](const char* p) {
        Unregister(slot);
        ::munmap(const_cast<char*>(p), size);
      });
  out.size = size;
  return true;
}

bool MappingCut(const char* bytes) {
  if (bytes == nullptr) return false;
  const auto begin = reinterpret_cast<uintptr_t>(bytes);
  std::lock_guard lock(gSlotsMutex);
  for (const Region& r : gRegions) {
    if (r.end.load() != 0 && r.begin.load() == begin) return r.cut.load();
  }
  return false;
}

}  // namespace vorlin
