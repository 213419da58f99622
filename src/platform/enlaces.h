#pragma once
// Opens a link (mail or web address) with the desktop's own program.
#include <QUrl>
#include <functional>

class QString;

namespace brumaria {

// Returns whether the link was handed over; the callers ignore it.
using AbridorEnlaces = std::function<bool(const QUrl&)>;

// Replaces the opener and returns the previous one; an empty opener
// restores the desktop's (QDesktopServices). Tests install a recorder;
// in local-only mode and no opener installed nothing is opened at all.
AbridorEnlaces InstalarAbridorEnlaces(AbridorEnlaces abridor);

// Opens `destino` ("mailto:...", "https://..."). A link that cannot be
// opened fails silently.
void AbrirEnlace(const QString& destino);

} // namespace brumaria
