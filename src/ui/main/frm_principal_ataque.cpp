// Naming the square to attack, in the three ways the options offer, and the
// answer buttons.
#include "ui/main/frm_principal.h"

#include "match/partida.h"
#include "options/opciones.h"
#include "platform/mensajes.h"

#include "ui/main/frm_principal_interno.h"
#include "ui/escala/escala_twips.h"

#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <array>

namespace brumaria {

using namespace ventana;

// ------------------------------------------------------------ attack input

int FrmPrincipal::intMetodo() const {
    return opciones_.Opciones.intMetodoAtaque;
}
bool FrmPrincipal::blnTurno() const {
    return partida_ && partida_->blnTurnoJugadorAtaque();
}

void FrmPrincipal::PrepararMetodo1() {
    for (QWidget* w :
         std::initializer_list<QWidget*>{lblLetra, txtColumna, lblNumero, txtFila, cmdAtacar})
        w->hide();
    for (int i = 0; i < 10; ++i) {
        lblFilaO[i]->unsetCursor();
        lblColumnaO[i]->unsetCursor();
    }
}

void FrmPrincipal::PrepararMetodo2() {
    PrepararMetodo1();
    for (int i = 0; i < 10; ++i) {
        lblFilaO[i]->setCursor(Qt::PointingHandCursor);
        lblColumnaO[i]->setCursor(Qt::PointingHandCursor);
    }
}

void FrmPrincipal::PrepararMetodo3() {
    PrepararMetodo1();
    if (!txtFila->font().fixedPitch()) {
        // Set here, not at start-up: looking up the fixed font costs time.
        const QFont fija = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        escala_->FijarFuente(txtColumna, fija);
        escala_->FijarFuente(txtFila, fija);
    }
    const bool blnActivo = blnTurno();
    for (QWidget* w :
         std::initializer_list<QWidget*>{lblLetra, txtColumna, lblNumero, txtFila, cmdAtacar}) {
        w->show();
        w->setEnabled(blnActivo);
    }
}

void FrmPrincipal::imgCeldaO_Click(int intFila, int intColumna) {
    if (intMetodo() != 1 || !blnTurno()) return;
    Apuntar(intFila, intColumna);
}

void FrmPrincipal::lblColumnaO_Click(int intIndice) {
    if (intMetodo() != 2 || !blnTurno()) return;
    QFont f = lblColumnaO[intIndice]->font();
    f.setBold(true);
    lblColumnaO[intIndice]->setFont(f);
}

void FrmPrincipal::lblFilaO_Click(int intIndice) {
    if (intMetodo() != 2 || !blnTurno()) return;
    QFont f = lblFilaO[intIndice]->font();
    f.setBold(true);
    lblFilaO[intIndice]->setFont(f);
    int intColumna = 0;
    for (int i = 0; i < 10; ++i)
        if (lblColumnaO[i]->font().bold()) intColumna = i;
    partida_->TurnoJugador2(intIndice, intColumna);
    for (int i = 0; i < 10; ++i) {
        for (QLabel* l : {lblColumnaO[i], lblFilaO[i]}) {
            QFont n = l->font();
            n.setBold(false);
            l->setFont(n);
        }
    }
}

namespace {
bool blnLetraValida(const QString& t) {
    if (t.size() != 1) return false;
    const ushort u = t.at(0).unicode();
    return (u >= 'A' && u <= 'J') || (u >= 'a' && u <= 'j');
}
bool blnNumeroValido(const QString& t) {
    for (int i = 1; i <= 10; ++i)
        if (t == QString::number(i)) return true;
    return false;
}
const QString kLetraNoValida =
    QStringLiteral("La letra introducida no es válida, vuelve a introducirla.");
const QString kNumeroNoValido =
    QStringLiteral("El número introducido no es válido, vuelve a introducirlo.");
} // namespace

void FrmPrincipal::txtColumna_Change(const QString& texto) {
    if (texto.isEmpty()) return;
    if (blnLetraValida(texto.left(1))) {
        txtFila->setFocus();
        return;
    }
    MsgBox(kLetraNoValida, QStringLiteral("Error"), Icono::Critico);
    txtColumna->clear();
}

void FrmPrincipal::txtFila_Change(const QString& texto) {
    if (texto.isEmpty() || blnNumeroValido(texto)) cmdAtacar->setDefault(true);
}

void FrmPrincipal::cmdAtacar_Click() {
    if (intMetodo() != 3 || !partida_) return;
    const QString letra = txtColumna->text();
    const QString numero = txtFila->text();
    if (!blnLetraValida(letra)) {
        MsgBox(kLetraNoValida, QStringLiteral("Error"), Icono::Critico);
        txtColumna->clear();
        txtColumna->setFocus();
        return;
    }
    if (!blnNumeroValido(numero)) {
        MsgBox(kNumeroNoValido, QStringLiteral("Error"), Icono::Critico);
        txtFila->clear();
        txtFila->setFocus();
        return;
    }
    const ushort u = letra.at(0).unicode();
    const int intColumna = (u >= 'a') ? u - 97 : u - 65;
    partida_->TurnoJugador2(numero.toInt() - 1, intColumna);
}

void FrmPrincipal::EntradaTeclado(bool blnHabilitar) {
    VaciarCajasAtaque();
    for (QWidget* w : std::initializer_list<QWidget*>{txtColumna, txtFila, cmdAtacar})
        w->setEnabled(blnHabilitar);
    cmdAtacar->setDefault(false);
    if (blnHabilitar) EnfocarColumna();
}

void FrmPrincipal::EnfocarColumna() {
    if (txtColumna->isVisible() && txtColumna->isEnabled()) txtColumna->setFocus();
}

void FrmPrincipal::VaciarCajasAtaque() {
    txtColumna->clear();
    txtFila->clear();
}

void FrmPrincipal::QuitarNegritaEtiquetas() {
    // Both boards: a column chosen on the opponent's labels must not carry
    // over into the next match.
    for (auto* arr : {&lblFila, &lblColumna, &lblFilaO, &lblColumnaO}) {
        for (QLabel* l : *arr) {
            QFont f = l->font();
            f.setBold(false);
            l->setFont(f);
        }
    }
}

} // namespace brumaria
