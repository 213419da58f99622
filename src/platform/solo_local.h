#pragma once
// "Local only": the network talks to loopback addresses only and never
// broadcasts, and links are never opened. The test programs switch it on
// before anything else runs; a person can have it with `brumaria --solo-local`.

namespace brumaria {

void FijarSoloLocal(bool blnSoloLocal);
bool blnSoloLocal();

} // namespace brumaria
