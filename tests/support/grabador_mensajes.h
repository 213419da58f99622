#pragma once
// Records every message box instead of showing it, and answers from a script.
#include "platform/mensajes.h"

#include <QList>
#include <deque>

namespace brumaria::prueba {

class GrabadorMensajes {
public:
    GrabadorMensajes();  // installs itself
    ~GrabadorMensajes(); // restores the previous handler

    // Answers for the next SiNo boxes, in order; when empty SiNo boxes get
    // `respuestaPorDefecto`.
    void Responder(Respuesta r) { guion_.push_back(r); }
    Respuesta respuestaPorDefecto = Respuesta::No;

    const QList<Mensaje>& mensajes() const { return mensajes_; }
    void Limpiar() { mensajes_.clear(); }
    // How many boxes had this text.
    int Contar(const QString& texto) const;

private:
    QList<Mensaje> mensajes_;
    std::deque<Respuesta> guion_;
    ManejadorMensajes previo_;
};

} // namespace brumaria::prueba
