#pragma once
// Sounds: a WAV file played in the background, never blocking and never
// reporting a failure (no audio device simply means silence).
#include <QString>

namespace brumaria {

// Starts playing `strArchivo` and returns at once. A file that cannot be
// read gives the system beep instead.
void Sonido(const QString& strArchivo);

// The file actually handed to the audio engine for `strArchivo`: the file
// itself when it already ends in enough silence, else a cached copy with
// silence appended (the engine cuts the tail of short clips). Empty when
// the file is not a PCM WAV that can be read.
QString strArchivoReproducible(const QString& strArchivo);

// Milliseconds of silence that a clip must end with to play whole.
inline constexpr int kSilencioFinalMs = 300;

} // namespace brumaria
