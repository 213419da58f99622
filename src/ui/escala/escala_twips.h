#pragma once
// Windows laid out in twips at one design size that grow with their window.
// The twips layout stays the description: one uniform factor, the smaller of
// the width and height ratios, scales every placed child's geometry and font,
// and the whole is centred. A uniform factor keeps the boards square, and
// text that fits at the design size keeps fitting.
#include <QFont>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>

class QWidget;

namespace brumaria {

class EscalaTwips : public QObject {
public:
    // `lienzo` holds the placed children; its resizes are followed.
    // `diseño` gives the size the lienzo has at factor 1 (it may change, as
    // the main window's does when a side pane comes or goes).
    EscalaTwips(QWidget* lienzo, std::function<QSize()> diseño);

    // Takes every child's present geometry and font as its design (call once
    // the controls exist, before any scaling). A child marked with
    // MarcarBloque() is scaled as one piece; its children are its own affair,
    // as are those of scroll areas.
    void Registrar();
    static void MarcarBloque(QWidget* w);

    // A new design geometry for a placed child (in pixels at factor 1).
    void Colocar(QWidget* w, const QRect& diseño);

    // A new font for a placed child, given at its design size.
    void FijarFuente(QWidget* w, const QFont& diseño);

    // Recomputes the factor from the lienzo's size and applies it.
    void Aplicar();
    double factor() const { return factor_; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void Escalar(QWidget* w) const;
    QWidget* lienzo_;
    std::function<QSize()> diseño_;
    double factor_ = 1.0;
    QPoint desplazamiento_;
};

// The size of a top-level window, and whether it was maximised, kept from
// one run to the next in the user's configuration folder under `clave`.
// Restaurar() never makes the window smaller than its minimum size, and
// keeps the whole window, frame included, on its screen.
void RestaurarTamaño(QWidget& ventana, const QString& clave);
void GuardarTamaño(const QWidget& ventana, const QString& clave);

// A window's frame `marco` cut to fit `disponible` and moved inside it.
QRect EncajarEnPantalla(const QRect& marco, const QRect& disponible);

} // namespace brumaria
