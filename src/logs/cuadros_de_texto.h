#pragma once
// The history and chat writers: every line shown in the side panes, and the
// history file beside them.
#include <QString>

namespace brumaria {

class ModOpciones;

// What the writers need from the window. Appending must be cheap (no
// rewrite of the whole pane text).
class PanelesTexto {
public:
    virtual ~PanelesTexto() = default;
    virtual void AnadirLineaHistorial(const QString& linea) = 0;         // and scroll to it
    virtual void AnadirLineaChat(const QString& linea) = 0;              // and scroll to it
    virtual void EscribirEstado(int intPanel, const QString& texto) = 0; // status panels 1..3
    virtual void ParpadearSTB(int intPanel, int intVeces) = 0;
};

class ModCuadrosDeTexto {
public:
    explicit ModCuadrosDeTexto(const ModOpciones& opciones) : opciones_(opciones) {}

    void FijarPaneles(PanelesTexto* paneles) { paneles_ = paneles; }

    // One finished line, without its line end.
    void EscribirEnHistorial(const QString& strTexto);
    void EscribirEnChat(const QString& strTexto);
    // A history line the player must see even with the pane hidden (the
    // address a waiting host reads out to his friend): then the network's
    // status panel holds it too, as a chat notice would, and blinks.
    void EscribirAviso(const QString& strTexto);

private:
    const ModOpciones& opciones_;
    PanelesTexto* paneles_ = nullptr;
    QString rutaFallida_;     // the history path last reported as unwritable
    bool blnAvisado_ = false; // rutaFallida_ holds a reported path (it may be empty)
};

} // namespace brumaria
