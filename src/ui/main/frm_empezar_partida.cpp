#include "ui/main/frm_empezar_partida.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/help/ayuda.h"

namespace brumaria {

namespace {
template <typename T> T* Control(T* w, const char* nombre, int ayuda) {
    w->setObjectName(QLatin1String(nombre));
    w->setProperty("ayudaEmergente", ayuda);
    return w;
}
} // namespace

FrmEmpezarPartida::FrmEmpezarPartida(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmEmpezarPartida"));
    setWindowTitle(QStringLiteral("Empezar la partida"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setModal(true);

    fraQuienEmpieza = new QGroupBox(QStringLiteral("¿Quien empieza la partida?"), this);
    fraQuienEmpieza->setObjectName(QStringLiteral("fraQuienEmpieza"));
    optAlAzar =
        Control(new QRadioButton(QStringLiteral("Al azar"), fraQuienEmpieza), "optAlAzar", 1100);
    optJugador =
        Control(new QRadioButton(QStringLiteral("Jugador"), fraQuienEmpieza), "optJugador", 1110);
    optOrdenador = Control(new QRadioButton(QStringLiteral("Ordenador"), fraQuienEmpieza),
                           "optOrdenador", 1120);
    optAlAzar->setChecked(true);
    auto* lq = new QVBoxLayout(fraQuienEmpieza);
    lq->addWidget(optAlAzar);
    lq->addWidget(optJugador);
    lq->addWidget(optOrdenador);

    fraColocarBarcos = new QGroupBox(QStringLiteral("Colocar tus barcos"), this);
    fraColocarBarcos->setObjectName(QStringLiteral("fraColocarBarcos"));
    chkJugadorColocaSusBarcos =
        Control(new QCheckBox(QStringLiteral("El jugador coloca sus barcos"), fraColocarBarcos),
                "chkJugadorColocaSusBarcos", 1130);
    (new QVBoxLayout(fraColocarBarcos))->addWidget(chkJugadorColocaSusBarcos);

    fraJugarEnRed = new QGroupBox(QStringLiteral("Jugar en red"), this);
    fraJugarEnRed->setObjectName(QStringLiteral("fraJugarEnRed"));
    chkJugarEnRed =
        Control(new QCheckBox(QStringLiteral("Partida multijugador en red"), fraJugarEnRed),
                "chkJugarEnRed", 1140);
    (new QVBoxLayout(fraJugarEnRed))->addWidget(chkJugarEnRed);

    cmdEmpezar = Control(new QPushButton(QStringLiteral("&Empezar"), this), "cmdEmpezar", 1150);
    cmdCancelar = Control(new QPushButton(QStringLiteral("&Cancelar"), this), "cmdCancelar", 1160);
    cmdEmpezar->setDefault(true);
    cmdEmpezar->setAutoDefault(true);
    cmdCancelar->setAutoDefault(false);

    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(cmdEmpezar);
    botones->addWidget(cmdCancelar);
    auto* l = new QVBoxLayout(this);
    l->addWidget(fraQuienEmpieza);
    l->addWidget(fraColocarBarcos);
    l->addWidget(fraJugarEnRed);
    l->addLayout(botones);
    l->setSizeConstraint(QLayout::SetFixedSize);

    // Over the network the host chooses the starter in the session dialog,
    // or here when his session is already open.
    connect(chkJugarEnRed, &QCheckBox::toggled, fraQuienEmpieza,
            [this](bool b) { fraQuienEmpieza->setEnabled(!b || blnQuienEmpiezaEnRed_); });
    connect(cmdEmpezar, &QPushButton::clicked, this, [this] {
        blnAceptado = true;
        accept();
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        blnAceptado = false;
        reject();
    });
    ayuda_ = std::make_unique<AyudaDeDialogo>(this);
    ayuda_->Activar();
}

FrmEmpezarPartida::~FrmEmpezarPartida() = default;

bool FrmEmpezarPartida::blnEmpezarPartida(EleccionPartida& eleccion,
                                          std::optional<QuienEmpieza> quienEnRed) {
    blnQuienEmpiezaEnRed_ = quienEnRed.has_value();
    if (quienEnRed) {
        // The choice in force for the session, until the host changes it.
        (*quienEnRed == QuienEmpieza::AlAzar    ? optAlAzar
         : *quienEnRed == QuienEmpieza::Jugador ? optJugador
                                                : optOrdenador)
            ->setChecked(true);
    }
    fraQuienEmpieza->setEnabled(!chkJugarEnRed->isChecked() || blnQuienEmpiezaEnRed_);
    blnAceptado = false; // the close box and Escape count as "&Cancelar"
    exec();
    if (!blnAceptado) return false;
    eleccion.quienEmpieza = optAlAzar->isChecked()    ? QuienEmpieza::AlAzar
                            : optJugador->isChecked() ? QuienEmpieza::Jugador
                                                      : QuienEmpieza::Contrincante;
    eleccion.blnColocaJugador = chkJugadorColocaSusBarcos->isChecked();
    eleccion.blnJugarEnRed = chkJugarEnRed->isChecked();
    return true;
}

} // namespace brumaria
