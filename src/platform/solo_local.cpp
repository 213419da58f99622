#include "platform/solo_local.h"

#include <atomic>

namespace brumaria {

namespace {
std::atomic<bool> g_blnSoloLocal{false};
} // namespace

void FijarSoloLocal(bool blnSoloLocal) { g_blnSoloLocal = blnSoloLocal; }
bool blnSoloLocal() { return g_blnSoloLocal; }

} // namespace brumaria
