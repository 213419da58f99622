// Playing by keyboard alone. The window's buttons share access keys with the
// menu bar ("&Agua" and "&Atacar" with "&Ayuda"); while a button is usable
// its key wins, and the menus stay reachable through F10. The opponent's
// board has a square cursor that attacks under every input method.
#include "ui/main/frm_principal.h"

#include "match/partida.h"

#include "ui/main/frm_principal_interno.h"
#include "ui/main/tablero.h"
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>

namespace brumaria {

namespace {

// Sees every key before the shortcuts do; `boton` names the button an
// Alt+letter belongs to right now, or null to leave the key alone.
class FiltroTeclasBotones : public QObject {
public:
    FiltroTeclasBotones(QObject* padre, std::function<QPushButton*(const QKeyEvent&)> boton)
        : QObject(padre), boton_(std::move(boton)) {}

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::ShortcutOverride && e->type() != QEvent::KeyPress)
            return QObject::eventFilter(o, e);
        auto* k = static_cast<QKeyEvent*>(e);
        QPushButton* b = boton_(*k);
        if (!b) return QObject::eventFilter(o, e);
        // Claiming the override turns the shortcut into a plain key press,
        // which lands here next and presses the button once.
        e->accept();
        if (e->type() == QEvent::KeyPress && !k->isAutoRepeat()) b->click();
        return true;
    }

private:
    std::function<QPushButton*(const QKeyEvent&)> boton_;
};

QChar TeclaDeAcceso(const QString& texto) {
    const qsizetype i = texto.indexOf(u'&');
    return i >= 0 && i + 1 < texto.size() ? texto.at(i + 1).toUpper() : QChar();
}

} // namespace

void FrmPrincipal::CrearTeclado() {
    tableroOrdenador->FijarCursorTeclado(true);
    connect(tableroOrdenador, &Tablero::casillaTecleada, this, [this](int f, int c) {
        if (blnTurno()) Apuntar(f, c);
    });

    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [this] {
        for (QAction* a : menuBar()->actions())
            if (a->isVisible() && a->isEnabled()) {
                menuBar()->setActiveAction(a);
                return;
            }
    });

    auto boton = [this](const QKeyEvent& k) -> QPushButton* {
        if (k.modifiers() != Qt::AltModifier || QApplication::activeWindow() != this ||
            QApplication::activeModalWidget() || QApplication::activePopupWidget())
            return nullptr;
        const QString texto = k.text().isEmpty() ? QKeySequence(k.key()).toString() : k.text();
        if (texto.size() != 1) return nullptr;
        for (QPushButton* b : {cmdAgua, cmdTocado, cmdHundido, cmdAtacar})
            if (b->isEnabled() && b->isVisible() && TeclaDeAcceso(b->text()) == texto.at(0).toUpper())
                return b;
        return nullptr;
    };
    qApp->installEventFilter(new FiltroTeclasBotones(this, boton));
}

void FrmPrincipal::Apuntar(int intFila, int intColumna) {
    int x1, y1, x2, y2, x3, y3, x4, y4;
    CoordenadasDisparo(intFila, intColumna, x1, y1, x2, y2, x3, y3, x4, y4);
    tableroOrdenador->MostrarDisparo(QLine(x1, y1, x2, y2), QLine(x3, y3, x4, y4));
    tableroOrdenador->unsetCursor();
    partida_->TurnoJugador2(intFila, intColumna);
}

void FrmPrincipal::HabilitarRespuestas(bool blnHabilitar) {
    QWidget* foco = QApplication::focusWidget();
    const bool blnFocoEnRespuestas = foco == cmdAgua || foco == cmdTocado || foco == cmdHundido;
    for (QPushButton* b : {cmdAgua, cmdTocado, cmdHundido})
        b->setEnabled(blnHabilitar);
    // The keyboard player's focus follows the game between the board and
    // the answers; a focus elsewhere (the chat line) is left alone.
    if (blnHabilitar && (foco == tableroOrdenador || !foco || foco == this))
        cmdAgua->setFocus(Qt::OtherFocusReason);
    else if (!blnHabilitar && blnFocoEnRespuestas && intMetodo() != 3)
        tableroOrdenador->setFocus(Qt::OtherFocusReason);
}

} // namespace brumaria
