// The status bar, the history and chat panes and the View menu.
#include "ui/main/frm_principal.h"

#include "core/modprincipal.h"
#include "options/opciones.h"
#include "platform/anuncios.h"
#include "platform/mensajes.h"

#include "ui/main/frm_principal_interno.h"
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <array>

namespace brumaria {

using namespace ventana;

bool FrmPrincipal::eventFilter(QObject* o, QEvent* e) {
    if (o == txtMensaje && (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut))
        cmdChatEnviar->setDefault(e->type() == QEvent::FocusIn);
    if (e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        for (int i = 0; i < 10; ++i) {
            if (o == lblColumnaO[i]) {
                lblColumnaO_Click(i);
                return true;
            }
            if (o == lblFilaO[i]) {
                lblFilaO_Click(i);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(o, e);
}

// ------------------------------------------------- turn display (the cycle)

void FrmPrincipal::EscribirEstado(int intPanel, const QString& texto) {
    if (intPanel < 1 || intPanel > 3) return;
    // The answer and the turn are what a player who cannot see the board
    // must hear, a repeated "Agua" as much as a new turn; the network
    // panel speaks through its boxes.
    if (intPanel <= 2) anunciador_->Anunciar(texto);
    statusBar()->clearMessage(); // the panels are in use again
    Parpadeo& p = parpadeos_[intPanel - 1];
    if (p.restantes > 0) {
        p.texto = texto; // what a running blink puts back
        if (p.apagado) return;
    }
    stbPanel[intPanel - 1]->setText(texto);
}

QString FrmPrincipal::LeerEstado(int intPanel) const {
    if (intPanel < 1 || intPanel > 3) return {};
    const Parpadeo& p = parpadeos_[intPanel - 1];
    return p.restantes > 0 ? p.texto : stbPanel[intPanel - 1]->text();
}

namespace {
// Appends one line without rewriting the pane. The first line goes into the
// document's first block, so a leading empty line still counts as one.
void AnadirLinea(QPlainTextEdit* panel, bool& blnVacio, const QString& linea) {
    QTextCursor c(panel->document());
    c.movePosition(QTextCursor::End);
    if (!blnVacio) c.insertBlock();
    blnVacio = false;
    c.insertText(linea);
    panel->moveCursor(QTextCursor::End);
    panel->ensureCursorVisible();
    // Lines start at the left edge: show their beginning, not the caret.
    panel->horizontalScrollBar()->setValue(0);
}
} // namespace

void FrmPrincipal::AnadirLineaHistorial(const QString& linea) {
    AnadirLinea(txtHistorial, blnHistorialVacio_, linea);
}

void FrmPrincipal::AnadirLineaChat(const QString& linea) {
    AnadirLinea(txtChat, blnChatVacio_, linea);
}

void FrmPrincipal::MostrarAviso(const QString& texto) {
    anunciador_->Anunciar(texto);
    statusBar()->showMessage(texto);
}

void FrmPrincipal::ParpadearSTB(int intPanel, int intVeces) {
    if (intPanel < 1 || intPanel > 3 || intVeces <= 0 || principal_.blnCerrando) return;
    Parpadeo& p = parpadeos_[intPanel - 1];
    if (p.restantes > 0) {
        // Already blinking: blink on for as long as the longer request.
        p.restantes = qMax(p.restantes, intVeces);
        return;
    }
    if (!p.reloj) {
        p.reloj = new QTimer(this);
        p.reloj->setSingleShot(true);
        connect(p.reloj, &QTimer::timeout, this, [this, intPanel] { PasoParpadeo(intPanel); });
    }
    p.texto = stbPanel[intPanel - 1]->text();
    p.restantes = intVeces;
    p.apagado = true;
    stbPanel[intPanel - 1]->clear();
    p.reloj->start(intParpadeoApagadoMs);
}

void FrmPrincipal::PasoParpadeo(int intPanel) {
    Parpadeo& p = parpadeos_[intPanel - 1];
    if (p.apagado || principal_.blnCerrando) {
        stbPanel[intPanel - 1]->setText(p.texto);
        p.apagado = false;
        if (principal_.blnCerrando) {
            p.restantes = 0;
            return;
        }
        p.reloj->start(intParpadeoEncendidoMs);
        return;
    }
    if (--p.restantes > 0) {
        p.apagado = true;
        stbPanel[intPanel - 1]->clear();
        p.reloj->start(intParpadeoApagadoMs);
    }
}

void FrmPrincipal::DisponerHistorial(int intModo) {
    if (intModo < 0 || intModo > 2) return;
    intModoHistorial_ = intModo;
    const bool v = intModo != 0;
    for (QWidget* w : std::initializer_list<QWidget*>{lblHistorial, txtHistorial}) {
        w->setVisible(v);
        w->setEnabled(v);
    }
    if (!v) return;
    Colocar(lblHistorial, Twips(120, 180, kAnchoPanelLateral, 240));
    Colocar(txtHistorial, Twips(120, 420, kAnchoPanelLateral, intModo == 1 ? 1680 : 4200));
}

void FrmPrincipal::DisponerChat(int intModo) {
    if (intModo < 0 || intModo > 2) return;
    intModoChat_ = intModo;
    const bool v = intModo != 0;
    for (QWidget* w :
         std::initializer_list<QWidget*>{lblChat, txtChat, txtMensaje, cmdChatEnviar}) {
        w->setVisible(v);
        w->setEnabled(v);
    }
    if (!v) return;
    if (intModo == 1) {
        Colocar(lblChat, Twips(120, 2220, kAnchoPanelLateral, 240));
        Colocar(txtChat, Twips(120, 2460, kAnchoPanelLateral, 1800));
    } else {
        Colocar(lblChat, Twips(120, 180, kAnchoPanelLateral, 240));
        Colocar(txtChat, Twips(120, 420, kAnchoPanelLateral, 3840));
    }
    Colocar(txtMensaje, Twips(120, 4380, kAnchoPanelLateral - 840, 375));
    Colocar(cmdChatEnviar, Twips(120 + kAnchoPanelLateral - 780, 4380, 780, 375));
}

void FrmPrincipal::mnuVerBarraDeEstado_Click() {
    RegistroOpciones& o = opciones_.Opciones;
    // The action toggled its own tick before we got here; undo that first.
    const bool blnEstaba = !mnuVerBarraDeEstado->isChecked();
    if (blnEstaba) {
        mnuVerBarraDeEstado->setChecked(false);
        statusBar()->hide();
        intAlto_ -= kAltoBarraEstado;
        o.blnVerBarraDeEstado = false;
    } else {
        mnuVerBarraDeEstado->setChecked(true);
        statusBar()->show();
        intAlto_ += kAltoBarraEstado;
        o.blnVerBarraDeEstado = true;
    }
    AplicarTamaño();
}

void FrmPrincipal::mnuVerChat_Click() {
    AlternarPanelLateral(
        mnuVerChat, mnuVerHistorial, opciones_.Opciones.blnVerChat,
        [this](int m) { DisponerChat(m); }, [this](int m) { DisponerHistorial(m); });
}

void FrmPrincipal::mnuVerHistorial_Click() {
    AlternarPanelLateral(
        mnuVerHistorial, mnuVerChat, opciones_.Opciones.blnVerHistorial,
        [this](int m) { DisponerHistorial(m); }, [this](int m) { DisponerChat(m); });
}

// Shows or hides one side pane; the other pane takes the whole frame or
// shares it, and the window widens or narrows only when the frame itself
// appears or disappears.
void FrmPrincipal::AlternarPanelLateral(QAction* propio, QAction* otro, bool& blnVer,
                                        const std::function<void(int)>& disponerPropio,
                                        const std::function<void(int)>& disponerOtro) {
    // The action toggled its own tick before we got here.
    const bool blnEstaba = !propio->isChecked();
    if (blnEstaba) {
        disponerPropio(0);
        if (otro->isChecked())
            disponerOtro(2);
        else
            intAncho_ -= kAnchoLateral;
    } else if (otro->isChecked()) {
        disponerOtro(1);
        disponerPropio(1);
    } else {
        disponerPropio(2);
        intAncho_ += kAnchoLateral;
    }
    propio->setChecked(!blnEstaba);
    blnVer = !blnEstaba;
    AplicarTamaño();
}

} // namespace brumaria
