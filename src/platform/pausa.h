#pragma once
// The cooperative wait: lets the event loop run while a procedure waits
// for a flag, without spinning.

namespace brumaria {

// Waits `milisegundos` with a local event loop (no CPU while idle), then
// delivers every pending event, and returns.
void Pausa(int milisegundos);

// Delivers every pending event and returns at once.
void CederEventos();

} // namespace brumaria
