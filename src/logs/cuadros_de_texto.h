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
    // Across the whole status bar, until a panel is written again.
    virtual void MostrarAviso(const QString& texto) = 0;
};

class ModCuadrosDeTexto {
public:
    explicit ModCuadrosDeTexto(const ModOpciones& opciones) : opciones_(opciones) {}

    void FijarPaneles(PanelesTexto* paneles) { paneles_ = paneles; }

    // One finished line, without its line end.
    void EscribirEnHistorial(const QString& strTexto);
    void EscribirEnChat(const QString& strTexto);
    // A history line the player must see even with the pane hidden (the
    // address a waiting host reads out to his friend): then `strBreve`, or
    // the line, goes across the status bar too.
    void EscribirAviso(const QString& strTexto, const QString& strBreve = {});
    // At start-up: the warning the first line would bring, when the history
    // file is on and cannot be written, taken as given (empty otherwise).
    QString strComprobarArchivo();

private:
    const ModOpciones& opciones_;
    PanelesTexto* paneles_ = nullptr;
    QString rutaFallida_;     // the history path last reported as unwritable
    bool blnAvisado_ = false; // rutaFallida_ holds a reported path (it may be empty)
};

} // namespace brumaria
