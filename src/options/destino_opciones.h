#pragma once
// The window that new options are applied to when the options dialog is
// accepted (attack input, colours, grid, markers, pictures).

namespace brumaria {

class DestinoOpciones {
public:
    virtual ~DestinoOpciones() = default;
    virtual void AplicarOpciones() = 0;
};

} // namespace brumaria
