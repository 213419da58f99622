// The main window's controls and menus, laid out in twips as the window was designed.
#include "ui/main/frm_principal.h"

#include "core/modprincipal.h"
#include "match/partida.h"
#include "match/preparacion_partida.h"
#include "options/opciones.h"
#include "platform/anuncios.h"
#include "platform/mensajes.h"
#include "ui/escala/escala_twips.h"
#include "ui/help/ayuda.h"
#include "ui/main/panel_barra.h"
#include "ui/main/tablero.h"

#include "ui/main/frm_principal_interno.h"
#include <QEvent>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolTip>
#include <QStringList>
#include <algorithm>
#include <array>

// Resources of a static library must be registered by hand.
static void IniciarRecursos() {
    Q_INIT_RESOURCE(recursos);
}

namespace brumaria {

using namespace ventana;

namespace {

QLabel* Etiqueta(QWidget* padre, const QString& texto, const QString& nombre, const QRect& r,
                 Qt::Alignment alineacion = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(nombre);
    l->setTextFormat(Qt::PlainText);
    l->setGeometry(r);
    l->setAlignment(alineacion);
    return l;
}

// One piece of the built-in sunk ship in a 34-unit square scaled to `r`:
// hull, deck and portholes, the ends rounded where the ship ends. Drawn
// from its outline, so it is sharp at any size without any picture file.
void DibujarPiezaContador(QPainter& p, const QRectF& r, bool blnProa, bool blnPopa) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(r.topLeft());
    p.scale(r.width() / 34.0, r.height() / 34.0);
    p.setPen(Qt::NoPen);
    // The hull's dark edge (from y 8 to 26) and, inside it, its lit side.
    auto casco = [&](double arriba, double abajo, double rx, double curva) {
        QPainterPath c;
        const double medio = (arriba + abajo) / 2;
        if (blnProa) {
            c.moveTo(14, arriba);
            c.arcTo(QRectF(14 - rx, arriba, 2 * rx, abajo - arriba), 90, 180);
        } else {
            c.moveTo(0, arriba);
            c.lineTo(0, abajo);
            c.lineTo(14, abajo);
        }
        if (blnPopa) {
            c.lineTo(24, abajo);
            c.cubicTo(31, abajo, curva, medio + (abajo - medio) * 0.55, curva, medio);
            c.cubicTo(curva, medio - (abajo - medio) * 0.55, 31, arriba, 24, arriba);
        } else {
            c.lineTo(34, abajo);
            c.lineTo(34, arriba);
        }
        c.closeSubpath();
        return c;
    };
    p.fillPath(casco(8, 26, 13, 32.6), QColor(0x24, 0x2a, 0x34));
    QLinearGradient luz(0, 8, 0, 17);
    luz.setColorAt(0, QColor(0x8a, 0x95, 0xa5));
    luz.setColorAt(1, QColor(0x58, 0x62, 0x70));
    p.fillPath(casco(9.6, 24.4, 11.4, 31), luz);
    const double cubiertaIzq = blnProa ? 9 : 0, cubiertaDer = blnPopa ? 27 : 34;
    p.fillRect(QRectF(cubiertaIzq, 13.8, cubiertaDer - cubiertaIzq, 6.4), QColor(0xc4, 0xcc, 0xd6));
    for (int x : {3, 11, 19, 27}) {
        if ((x == 3 && blnProa) || (x == 27 && blnPopa)) continue;
        for (double y : {10.1, 21.3})
            p.fillRect(QRectF(x, y, 2, 2.6), QColor(0xff, 0xd6, 0x5a));
    }
    p.restore();
}

// The built-in picture of a sunk ship of `n` pieces (1..4), for the
// counters: the pieces side by side, each as high as the label.
class EtiquetaBarco : public QLabel {
public:
    EtiquetaBarco(int n, QWidget* padre) : QLabel(padre), n_(std::clamp(n, 1, 4)) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter pintor(this);
        const int lado = std::min(height(), width() / n_);
        for (int i = 0; i < n_; ++i)
            DibujarPiezaContador(pintor, QRect(i * lado, (height() - lado) / 2, lado, lado), i == 0,
                                 i == n_ - 1);
    }

private:
    int n_;
};

} // namespace

QList<QLabel*> CrearEtiquetasTablero(QWidget* marco, const QString& fila, const QString& columna) {
    QList<QLabel*> etiquetas;
    for (int i = 0; i < 10; ++i)
        etiquetas << Etiqueta(
            marco, strNumeroFila(i), fila + QLatin1Char('_') + QString::number(i),
            Twips(180, Tablero::kOrigen + Tablero::kPaso * i, 360, Tablero::kCasilla),
            Qt::AlignRight | Qt::AlignVCenter);
    for (int i = 0; i < 10; ++i)
        etiquetas << Etiqueta(
            marco, strLetraColumna(i), columna + QLatin1Char('_') + QString::number(i),
            Twips(Tablero::kOrigen + Tablero::kPaso * i, 345, Tablero::kCasilla, 255),
            Qt::AlignCenter);
    return etiquetas;
}

FrmPrincipal::FrmPrincipal(ModPrincipal& principal, ModOpciones& opciones,
                           ModCuadrosDeTexto& cuadros, QWidget* parent)
    : QMainWindow(parent), principal_(principal), opciones_(opciones), cuadros_(cuadros) {
    IniciarRecursos();
    setObjectName(QStringLiteral("frmPrincipal"));
    setWindowTitle(kTituloPrograma);
    anunciador_ = new Anunciador(this);
    CrearControles();
    CrearMenus();
    CrearTeclado();
}

FrmPrincipal::~FrmPrincipal() = default;

void FrmPrincipal::CrearControles() {
    auto* centro = new QWidget(this);
    centro->setObjectName(QStringLiteral("centro"));
    setCentralWidget(centro);

    auto panel = [&](const QString& nombre, const QString& titulo, int x) {
        auto* g = new QGroupBox(titulo, centro);
        g->setObjectName(nombre);
        g->setGeometry(Twips(x, 120, 3135, 3135));
        return g;
    };
    fraPanelJugadorHecho =
        panel(QStringLiteral("fraPanelJugadorHecho"), QStringLiteral("Mis barcos"), 240);
    fraPanelOrdenador =
        panel(QStringLiteral("fraPanelOrdenador"), QStringLiteral("Barcos del contrincante"), 3720);

    tableroJugador = new Tablero(0, Tablero::kCasilla, true, fraPanelJugadorHecho);
    tableroJugador->setObjectName(QStringLiteral("imgCelda"));
    tableroJugador->setAccessibleName(QStringLiteral("Mis barcos"));
    tableroJugador->move(Px(Tablero::kOrigen), Px(Tablero::kOrigen));
    tableroOrdenador = new Tablero(15, 230, false, fraPanelOrdenador);
    tableroOrdenador->setObjectName(QStringLiteral("imgCeldaO"));
    tableroOrdenador->setAccessibleName(QStringLiteral("Barcos del contrincante"));
    tableroOrdenador->move(Px(Tablero::kOrigen), Px(Tablero::kOrigen));
    tableroOrdenador->permitirPunteria = [this] { return intMetodo() == 1 && blnTurno(); };
    connect(tableroOrdenador, &Tablero::casillaPulsada, this, &FrmPrincipal::imgCeldaO_Click);

    const QList<QLabel*> propias = CrearEtiquetasTablero(
        fraPanelJugadorHecho, QStringLiteral("lblFila"), QStringLiteral("lblColumna"));
    const QList<QLabel*> ajenas = CrearEtiquetasTablero(
        fraPanelOrdenador, QStringLiteral("lblFilaO"), QStringLiteral("lblColumnaO"));
    for (int i = 0; i < 10; ++i) {
        lblFila[i] = propias[i];
        lblColumna[i] = propias[10 + i];
        lblFilaO[i] = ajenas[i];
        lblColumnaO[i] = ajenas[10 + i];
        lblFilaO[i]->installEventFilter(this);
        lblColumnaO[i]->installEventFilter(this);
    }

    auto boton = [&](const QString& texto, const QString& nombre, const QRect& r) {
        auto* b = new QPushButton(texto, centro);
        b->setObjectName(nombre);
        b->setGeometry(r);
        b->setAutoDefault(false);
        return b;
    };
    cmdAgua = boton(QStringLiteral("&Agua"), QStringLiteral("cmdAgua"), Twips(240, 3360, 975, 375));
    cmdTocado =
        boton(QStringLiteral("&Tocado"), QStringLiteral("cmdTocado"), Twips(1320, 3360, 975, 375));
    cmdHundido = boton(QStringLiteral("&Hundido"), QStringLiteral("cmdHundido"),
                       Twips(2400, 3360, 975, 375));
    HabilitarRespuestas(false);
    connect(cmdAgua, &QPushButton::clicked, this, [this] { partida_->cmdAgua_Click(); });
    connect(cmdTocado, &QPushButton::clicked, this, [this] { partida_->cmdTocado_Click(); });
    connect(cmdHundido, &QPushButton::clicked, this, [this] { partida_->cmdHundido_Click(); });

    // The typed attack line under the opponent's board; the labels are as
    // wide as their texts need, "&Atacar" takes what is left.
    lblLetra = Etiqueta(centro, QStringLiteral("Letra:"), QStringLiteral("lblLetra"),
                        Twips(3720, 3390, 570, 315));
    txtColumna = new QLineEdit(centro);
    txtColumna->setObjectName(QStringLiteral("txtColumna"));
    txtColumna->setMaxLength(1);
    txtColumna->setGeometry(Twips(4290, 3360, 330, 375));
    lblNumero = Etiqueta(centro, QStringLiteral("Número:"), QStringLiteral("lblFila_20"),
                         Twips(4665, 3390, 825, 315));
    txtFila = new QLineEdit(centro);
    txtFila->setObjectName(QStringLiteral("txtFila"));
    txtFila->setMaxLength(2);
    txtFila->setGeometry(Twips(5490, 3360, 420, 375));
    cmdAtacar =
        boton(QStringLiteral("&Atacar"), QStringLiteral("cmdAtacar"), Twips(5970, 3360, 885, 375));
    // A screen reader names each box by its label.
    lblLetra->setBuddy(txtColumna);
    lblNumero->setBuddy(txtFila);
    connect(txtColumna, &QLineEdit::textChanged, this, &FrmPrincipal::txtColumna_Change);
    connect(txtFila, &QLineEdit::textChanged, this, &FrmPrincipal::txtFila_Change);
    connect(cmdAtacar, &QPushButton::clicked, this, &FrmPrincipal::cmdAtacar_Click);
    // Enter presses "&Atacar" once it is the default button.
    auto intro = [this] {
        if (cmdAtacar->isDefault() && cmdAtacar->isEnabled() && cmdAtacar->isVisible())
            cmdAtacar->click();
    };
    connect(txtFila, &QLineEdit::returnPressed, this, intro);
    connect(txtColumna, &QLineEdit::returnPressed, this, intro);
    PrepararMetodo1();

    cmdCancelarEspera = boton(QStringLiteral("Cancelar la espera del contrincante"),
                              QStringLiteral("cmdCancelarEspera"),
                              // wider than the board above it: the caption needs it
                              Twips(3480, 3360, 3570, 375));
    cmdCancelarEspera->hide();
    connect(cmdCancelarEspera, &QPushButton::clicked, this,
            [this] { preparacion_->CancelarEspera(); });

    // Sunk counters.
    auto contadores = [&](const QString& nombre, const QString& titulo, int x, const QString& lado,
                          std::array<QLabel*, 4>& cuenta, std::array<QLabel*, 4>& equis) {
        auto* g = new QGroupBox(titulo, centro);
        g->setObjectName(nombre);
        g->setGeometry(Twips(x, 3840, 3135, 855));
        for (int n = 4; n >= 1; --n) {
            const int col = (n == 4 || n == 2) ? 90 : 1560;
            const int fila = n >= 3 ? 270 : 555;
            cuenta[n - 1] = Etiqueta(g, QStringLiteral("0"),
                                     QStringLiteral("lblHundidos%1De%2").arg(lado).arg(n),
                                     Twips(col, fila, 255, 255), Qt::AlignRight | Qt::AlignVCenter);
            equis[4 - n] =
                Etiqueta(g, QStringLiteral("x"), QStringLiteral("lblX%1_%2").arg(lado).arg(4 - n),
                         Twips(col + 285, fila, 165, 255), Qt::AlignCenter);
            auto* img = new EtiquetaBarco(n, g);
            img->setObjectName(QStringLiteral("imgHundidos%1De%2").arg(lado).arg(n));
            img->setGeometry(Twips(col + 480, fila, 255 * n, 255));
            img->setProperty("piezas", n);
            img->setAccessibleName(n == 1 ? QStringLiteral("Barcos de 1 casilla")
                                          : QStringLiteral("Barcos de %1 casillas").arg(n));
            cuenta[n - 1]->setAccessibleDescription(img->accessibleName() +
                                                    QStringLiteral(" hundidos"));
        }
        return g;
    };
    fraHundidosJugador =
        contadores(QStringLiteral("fraHundidosJugador"), QStringLiteral("Mis barcos hundidos"), 240,
                   QStringLiteral("Jugador"), lblHundidosJugadorDe, lblXJugador);
    fraHundidosOrdenador = contadores(
        QStringLiteral("fraHundidosOrdenador"), QStringLiteral("Barcos hundidos del contrincante"),
        3720, QStringLiteral("Ordenador"), lblHundidosOrdenadorDe, lblXOrdenador);

    // Side panes.
    fraLateral = new QWidget(centro);
    fraLateral->setObjectName(QStringLiteral("fraLateral"));
    fraLateral->setGeometry(Twips(7080, -120, 3615, 5055));
    lblHistorial =
        Etiqueta(fraLateral, QStringLiteral("Historial:"), QStringLiteral("lblHistorial"),
                 Twips(120, 180, kAnchoPanelLateral, 240));
    txtHistorial = new QPlainTextEdit(fraLateral);
    txtHistorial->setObjectName(QStringLiteral("txtHistorial"));
    lblChat = Etiqueta(fraLateral, QStringLiteral("Chat:"), QStringLiteral("lblChat"),
                       Twips(120, 180, kAnchoPanelLateral, 240));
    txtChat = new QPlainTextEdit(fraLateral);
    txtChat->setObjectName(QStringLiteral("txtChat"));
    for (QPlainTextEdit* t : {txtHistorial, txtChat}) {
        t->setReadOnly(true);
        t->setUndoRedoEnabled(false);
        t->setMaximumBlockCount(kMaxLineasPanel);
        t->setLineWrapMode(QPlainTextEdit::NoWrap);
        t->setTabStopDistance(QFontMetricsF(t->font()).horizontalAdvance(QLatin1Char(' ')) * 6);
    }
    txtMensaje = new QLineEdit(fraLateral);
    txtMensaje->setObjectName(QStringLiteral("txtMensaje"));
    lblHistorial->setBuddy(txtHistorial); // the panes are named by their labels
    lblChat->setBuddy(txtChat);
    txtMensaje->setAccessibleName(QStringLiteral("Mensaje para el chat"));
    cmdChatEnviar = new QPushButton(QStringLiteral("Enviar"), fraLateral);
    cmdChatEnviar->setObjectName(QStringLiteral("cmdChatEnviar"));
    cmdChatEnviar->setAutoDefault(false);
    DisponerHistorial(0);
    DisponerChat(0);

    // Status bar: answers, turn, network.
    auto* barra = statusBar();
    barra->setObjectName(QStringLiteral("stbBarraDeEstado"));
    barra->setAccessibleName(QStringLiteral("Barra de estado"));
    barra->setSizeGripEnabled(false);
    const std::array<QString, 3> iniciales{QStringLiteral("Respuestas"), QStringLiteral("Turno"),
                                           QStringLiteral("Multijugador en red")};
    // The answer and turn panels are as wide as their longest text, so no
    // answer or turn is ever cut; the network panel takes the rest.
    const std::array<QStringList, 2> masLargos{
        QStringList{QStringLiteral("Mi respuesta: Hundido"),
                    QStringLiteral("Su respuesta: Hundido"),
                    QStringLiteral("Tu respuesta: Hundido")},
        QStringList{QStringLiteral("Tu turno (tienes que atacar)"),
                    QStringLiteral("Mi turno (tienes que responder)"),
                    QStringLiteral("Su turno (tienes que responder)"),
                    QStringLiteral("Mi turno (pensando ataque...)")}};
    for (int i = 0; i < 3; ++i) {
        auto* l = new PanelBarra(iniciales[i], barra);
        l->setObjectName(QStringLiteral("stbPanel%1").arg(i + 1));
        l->setTextFormat(Qt::PlainText);
        l->setFrameShape(QFrame::StyledPanel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumWidth(20);
        if (i < 2) {
            int ancho = 0;
            for (const QString& t : masLargos[i])
                ancho = std::max(ancho, l->fontMetrics().horizontalAdvance(t));
            l->setFixedWidth(ancho + 2 * l->frameWidth() + 2 * l->margin() + 4);
        }
        barra->addWidget(l, i < 2 ? 0 : 1);
        stbPanel[i] = l;
    }
    // Everything placed so far is the design; the window scales it.
    escala_ = new EscalaTwips(centro, [this] { return TamañoDiseñoCentro(); });
    escala_->Registrar();
    AplicarTamaño();
}

void FrmPrincipal::Colocar(QWidget* w, const QRect& diseño) {
    if (escala_)
        escala_->Colocar(w, diseño);
    else
        w->setGeometry(diseño);
}

void FrmPrincipal::CrearMenus() {
    auto accion = [this](QMenu* menu, const QString& texto, const QString& nombre) {
        QAction* a = menu->addAction(texto);
        a->setObjectName(nombre);
        return a;
    };
    QMenu* mnuJuego = menuBar()->addMenu(QStringLiteral("&Juego"));
    mnuJuego->setObjectName(QStringLiteral("mnuJuego"));
    mnuJuegoEmpezar =
        accion(mnuJuego, QStringLiteral("&Empezar"), QStringLiteral("mnuJuegoEmpezar"));
    mnuJuegoTerminarPartida = accion(mnuJuego, QStringLiteral("&Terminar partida"),
                                     QStringLiteral("mnuJuegoTerminarPartida"));
    mnuJuegoCancelarEspera =
        accion(mnuJuego, QStringLiteral("&Cancelar la espera del contrincante"),
               QStringLiteral("mnuJuegoCancelarEspera"));
    mnuJuegoVerLosBarcosDelContrincante =
        accion(mnuJuego, QStringLiteral("&Ver los barcos del contrincante..."),
               QStringLiteral("mnuJuegoVerLosBarcosDelContrincante"));
    mnuJuegoTerminarConexion = accion(mnuJuego, QStringLiteral("Terminar co&nexión"),
                                      QStringLiteral("mnuJuegoTerminarConexion"));
    mnuJuego->addSeparator()->setObjectName(QStringLiteral("mnuJuegoLinea1"));
    mnuJuegoOpciones =
        accion(mnuJuego, QStringLiteral("&Opciones..."), QStringLiteral("mnuJuegoOpciones"));
    mnuJuego->addSeparator()->setObjectName(QStringLiteral("mnuJuegoLinea2"));
    mnuJuegoSalir = accion(mnuJuego, QStringLiteral("&Salir"), QStringLiteral("mnuJuegoSalir"));
    for (QAction* a : {mnuJuegoTerminarPartida, mnuJuegoCancelarEspera,
                       mnuJuegoVerLosBarcosDelContrincante, mnuJuegoTerminarConexion})
        a->setVisible(false);
    // Menu commands run after the menu has closed, never nested in it.
    connect(mnuJuegoEmpezar, &QAction::triggered, this, &FrmPrincipal::EmpezarPartida,
            Qt::QueuedConnection);
    connect(
        mnuJuegoTerminarPartida, &QAction::triggered, this,
        [this] { preparacion_->mnuJuegoTerminarPartida_Click(); }, Qt::QueuedConnection);
    connect(mnuJuegoCancelarEspera, &QAction::triggered, this,
            [this] { preparacion_->CancelarEspera(); });
    connect(
        mnuJuegoVerLosBarcosDelContrincante, &QAction::triggered, this,
        [this] { preparacion_->VerBarcos(); }, Qt::QueuedConnection);
    connect(
        mnuJuegoTerminarConexion, &QAction::triggered, this,
        [this] { preparacion_->mnuJuegoTerminarConexion_Click(); }, Qt::QueuedConnection);
    connect(mnuJuegoOpciones, &QAction::triggered, this, &FrmPrincipal::mnuJuegoOpciones_Click,
            Qt::QueuedConnection);
    connect(mnuJuegoSalir, &QAction::triggered, this, &QWidget::close, Qt::QueuedConnection);

    mnuAlertar = menuBar()->addMenu(QStringLiteral("A&lertar"));
    mnuAlertar->setObjectName(QStringLiteral("mnuAlertar"));
    mnuAlertarSonido =
        accion(mnuAlertar, QStringLiteral("Con &sonido"), QStringLiteral("mnuAlertarSonido"));
    mnuAlertarSonido->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuAlertarMsgBox = accion(mnuAlertar, QStringLiteral("Con &cuadro de mensaje"),
                              QStringLiteral("mnuAlertarMsgBox"));
    mnuAlertarMsgBox->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuAlertarHistorial = accion(mnuAlertar, QStringLiteral("Con &mensaje en el historial"),
                                 QStringLiteral("mnuAlertarHistorial"));
    mnuAlertarHistorial->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    mnuAlertar->addSeparator()->setObjectName(QStringLiteral("mnuAlertaLinea"));
    mnuAlertarElegirSonido = accion(mnuAlertar, QStringLiteral("&Elegir el sonido que recibes..."),
                                    QStringLiteral("mnuAlertarElegirSonido"));
    mnuAlertarElegirMensajeMsgBox =
        accion(mnuAlertar, QStringLiteral("E&legir el mensaje al cuadro de mensaje que envías..."),
               QStringLiteral("mnuAlertarElegirMensajeMsgBox"));
    mnuAlertarElegirMensajeHistorial =
        accion(mnuAlertar, QStringLiteral("Ele&gir el mensaje al historial que envías..."),
               QStringLiteral("mnuAlertarElegirMensajeHistorial"));
    // A disabled menu must not leave its shortcuts live.
    mnuAlertar->setEnabled(false);
    mnuAlertar->menuAction()->setEnabled(false);
    for (QAction* a : mnuAlertar->actions())
        a->setEnabled(false);

    QMenu* mnuVer = menuBar()->addMenu(QStringLiteral("&Ver"));
    mnuVer->setObjectName(QStringLiteral("mnuVer"));
    mnuVerBarraDeEstado =
        accion(mnuVer, QStringLiteral("&Barra de estado"), QStringLiteral("mnuVerBarraDeEstado"));
    mnuVerHistorial =
        accion(mnuVer, QStringLiteral("&Historial"), QStringLiteral("mnuVerHistorial"));
    mnuVerChat = accion(mnuVer, QStringLiteral("&Chat"), QStringLiteral("mnuVerChat"));
    for (QAction* a : {mnuVerBarraDeEstado, mnuVerHistorial, mnuVerChat})
        a->setCheckable(true);
    mnuVerBarraDeEstado->setChecked(true);
    // The handlers decide the tick themselves, as the commands describe.
    connect(mnuVerBarraDeEstado, &QAction::triggered, this,
            [this] { mnuVerBarraDeEstado_Click(); });
    connect(mnuVerHistorial, &QAction::triggered, this, [this] { mnuVerHistorial_Click(); });
    connect(mnuVerChat, &QAction::triggered, this, [this] { mnuVerChat_Click(); });

    QMenu* mnuAyuda = menuBar()->addMenu(QStringLiteral("&Ayuda"));
    mnuAyuda->setObjectName(QStringLiteral("mnuAyuda"));
    mnuAyudaAyuda = accion(mnuAyuda, QStringLiteral("&Ayuda..."), QStringLiteral("mnuAyudaAyuda"));
    mnuAyuda->addSeparator()->setObjectName(QStringLiteral("mnuAyudaLinea"));
    mnuAyudaAcercaDe = accion(mnuAyuda, QStringLiteral("A&cerca de Brumaria..."),
                              QStringLiteral("mnuAyudaAcercaDe"));
    connect(mnuAyudaAyuda, &QAction::triggered, this, [this] { MostrarAyuda(this); });
    connect(mnuAyudaAcercaDe, &QAction::triggered, this, [this] { MostrarAcercaDe(this); });
}

} // namespace brumaria
