#include "store/SaveFaults.h"

#include <atomic>

namespace {
std::atomic<SaveFaults*> g_installed{nullptr};
}  // namespace

SaveFaults* SaveFaults::current() { return g_installed.load(std::memory_order_acquire); }

SaveFaults* SaveFaults::install(SaveFaults* faults) { return g_installed.exchange(faults, std::memory_order_acq_rel); }
