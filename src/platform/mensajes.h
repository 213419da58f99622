#pragma once
// The one way the program shows a message box. The window installs a real
// dialog; tests install a recorder that scripts the answer.
#include <QString>
#include <functional>

namespace brumaria {

inline const QString kTituloPrograma = QStringLiteral("Brumaria");

enum class Icono { Ninguno, Critico, Pregunta, Exclamacion, Informacion };
enum class Botones { Aceptar, SiNo };
enum class Respuesta { Aceptar, Si, No };

struct Mensaje {
    QString texto;
    QString titulo;
    Icono icono = Icono::Ninguno;
    Botones botones = Botones::Aceptar;
};

using ManejadorMensajes = std::function<Respuesta(const Mensaje&)>;

// A box is as wide as its longest word: a damaged path of 256 letters, or
// a peer's alert of one long word, would stretch it across the screen. The
// box may break a word after every `intMaximo` letters of it.
inline constexpr int kPalabraMaxima = 60;
QString strPartirPalabras(const QString& texto, int intMaximo);

// Shows the box modally and returns the button pressed.
Respuesta MsgBox(const QString& texto, const QString& titulo, Icono icono,
                 Botones botones = Botones::Aceptar);

// Replaces the handler and returns the previous one. With no handler
// installed a box is written to stderr and answered with Aceptar / No.
ManejadorMensajes InstalarManejadorMensajes(ManejadorMensajes manejador);

} // namespace brumaria
