#pragma once
// The real message box behind MsgBox, installed once by the application.

namespace brumaria {

// Makes MsgBox show a modal QMessageBox (Spanish buttons, plain text).
void InstalarMensajesQt();

} // namespace brumaria
