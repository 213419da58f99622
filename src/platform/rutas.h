#pragma once
// Where the program finds its own files and where it keeps the player's.
#include <QString>

namespace brumaria {

// The folder that holds the program and the files shipped beside it
// (imagenes/, alerta.wav, ayuda/), without a trailing separator.
QString strRutaPrograma();

// The folder for Config.dat and the default history file: the program's
// folder when it is writable, else the user's configuration folder.
QString strRutaDatos();

// The user's configuration folder, for what belongs to him and not to the
// game's options (the size of each window), created on first use.
QString strRutaConfigUsuario();

// Points all three folders at `ruta` (tests use a temporary folder). An empty
// string restores the real locations.
void FijarRutaPrograma(const QString& ruta);

// Joins a folder and a relative path with the platform's separator.
QString UnirRuta(const QString& carpeta, const QString& relativa);

} // namespace brumaria
