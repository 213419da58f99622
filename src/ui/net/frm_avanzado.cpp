#include "ui/net/frm_avanzado.h"

#include "platform/mensajes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brumaria {

namespace {

QStringList Lineas(const QPlainTextEdit* t) {
    return t->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

FrmAvanzado::FrmAvanzado(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAvanzado"));
    setWindowTitle(QStringLiteral("Avanzado: servidores para jugar con un código"));
    setModal(true);

    auto* explicacion = new QLabel(
        QStringLiteral("Casi nunca hace falta cambiar nada. Un servidor de retransmisión (TURN) "
                       "permite jugar cuando los routers de los dos no dejan conectar "
                       "directamente. Escribe cada servidor como nombre:puerto."),
        this);
    explicacion->setWordWrap(true);

    txtStun = new QPlainTextEdit(this);
    txtStun->setObjectName(QStringLiteral("txtStun"));
    txtTurn = new QLineEdit(this);
    txtTurn->setObjectName(QStringLiteral("txtTurn"));
    txtTurnUsuario = new QLineEdit(this);
    txtTurnUsuario->setObjectName(QStringLiteral("txtTurnUsuario"));
    txtTurnClave = new QLineEdit(this);
    txtTurnClave->setObjectName(QStringLiteral("txtTurnClave"));
    txtTurnClave->setEchoMode(QLineEdit::Password);
    txtNodosDht = new QPlainTextEdit(this);
    txtNodosDht->setObjectName(QStringLiteral("txtNodosDht"));
    for (QLineEdit* e : {txtTurn, txtTurnUsuario, txtTurnClave}) e->setMaxLength(kMaxTextoAjuste);
    for (QPlainTextEdit* t : {txtStun, txtNodosDht}) {
        t->setTabChangesFocus(true);
        t->setMaximumHeight(80);
    }

    auto* formulario = new QFormLayout;
    formulario->addRow(QStringLiteral("Servidores &STUN (uno por línea):"), txtStun);
    formulario->addRow(QStringLiteral("Servidor &TURN:"), txtTurn);
    formulario->addRow(QStringLiteral("&Usuario del TURN:"), txtTurnUsuario);
    formulario->addRow(QStringLiteral("&Contraseña del TURN:"), txtTurnClave);
    formulario->addRow(QStringLiteral("&Nodos de la red de encuentro (DHT):"), txtNodosDht);

    auto* botones = new QDialogButtonBox(this);
    QPushButton* aceptar = botones->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole);
    aceptar->setObjectName(QStringLiteral("cmdAceptar"));
    QPushButton* cancelar =
        botones->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    cancelar->setObjectName(QStringLiteral("cmdCancelar"));
    QPushButton* porDefecto =
        botones->addButton(QStringLiteral("Valores iniciales"), QDialogButtonBox::ResetRole);
    porDefecto->setObjectName(QStringLiteral("cmdValoresIniciales"));
    connect(botones, &QDialogButtonBox::accepted, this, &FrmAvanzado::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &FrmAvanzado::reject);
    connect(porDefecto, &QPushButton::clicked, this,
            [this] { Mostrar(AjustesInternet::PorDefecto()); });

    auto* capa = new QVBoxLayout(this);
    capa->addWidget(explicacion);
    capa->addLayout(formulario);
    capa->addWidget(botones);
    resize(480, 380);
    leidos_ = LeerAjustesInternet();
    Mostrar(leidos_);
}

void FrmAvanzado::Mostrar(const AjustesInternet& a) {
    txtStun->setPlainText(a.stun.join(QLatin1Char('\n')));
    txtTurn->setText(a.turn);
    txtTurnUsuario->setText(a.turnUsuario);
    txtTurnClave->setText(a.turnClave);
    txtNodosDht->setPlainText(a.nodosDht.join(QLatin1Char('\n')));
}

AjustesInternet FrmAvanzado::Leidos() const {
    // What the dialog does not show (dht_privada) stays as the file had it.
    AjustesInternet a = leidos_;
    a.stun = Lineas(txtStun);
    a.turn = txtTurn->text().trimmed();
    a.turnUsuario = txtTurnUsuario->text();
    a.turnClave = txtTurnClave->text();
    a.nodosDht = Lineas(txtNodosDht);
    return a;
}

void FrmAvanzado::accept() {
    if (!GuardarAjustesInternet(Leidos())) {
        MsgBox(QStringLiteral("No se han podido guardar los servidores en ") +
                   strRutaAjustesInternet() + QLatin1Char('.'),
               QStringLiteral("Error"), Icono::Critico);
        return;
    }
    QDialog::accept();
}

} // namespace brumaria
