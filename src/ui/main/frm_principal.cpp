#include "ui/main/frm_principal.h"

#include "core/modprincipal.h"
#include "match/partida.h"
#include "match/preparacion_partida.h"
#include "ui/net/frm_conexion_dplay.h"
#include "net/moddplay.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "platform/pausa.h"
#include "platform/rutas.h"
#include "platform/sonido.h"
#include "ui/help/ayuda.h"
#include "ui/main/colores.h"
#include "ui/main/frm_empezar_partida.h"
#include "ui/main/frm_ver_barcos.h"
#include "ui/main/tablero.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <array>

#include "ui/options/frm_opciones.h"
#include "ui/placement/colocar_barcos.h"

// Resources of a static library must be registered by hand.
static void IniciarRecursos() {
    Q_INIT_RESOURCE(recursos);
}

namespace brumaria {

namespace {

constexpr int kAltoBarraEstado = 255;
constexpr int kAnchoLateral = 3390;
// The panes are as wide as a board frame, so they end inside the widened
// window with the same margin the boards keep.
constexpr int kAnchoPanelLateral = 3135;
constexpr int kVerde = 0x00C000; // RGB(0, 192, 0)

// Ships of each length (index length - 1) in a complete fleet.
constexpr std::array<int, 4> kTotales{4, 3, 2, 1};

QLabel* Etiqueta(QWidget* padre, const QString& texto, const QString& nombre, const QRect& r,
                 Qt::Alignment alineacion = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(nombre);
    l->setTextFormat(Qt::PlainText);
    l->setGeometry(r);
    l->setAlignment(alineacion);
    return l;
}

QRect Twips(int x, int y, int ancho, int alto) {
    return QRect(Px(x), Px(y), Px(ancho), Px(alto));
}

// The built-in picture of a sunk ship of `n` pieces (1..4), for the
// counters. Each piece picture is decoded once and each ship drawn once:
// both counter frames share them.
const QPixmap& BarcoIncorporado(int n) {
    static const std::array<QPixmap, 4> barcos = [] {
        const int lado = 17;
        const QPixmap h1(QStringLiteral(":/brumaria/incorporadas/barcoh1.png"));
        const QPixmap h2(QStringLiteral(":/brumaria/incorporadas/barcoh2.png"));
        const QPixmap h3(QStringLiteral(":/brumaria/incorporadas/barcoh3.png"));
        const QPixmap h4(QStringLiteral(":/brumaria/incorporadas/barcoh4.png"));
        std::array<QPixmap, 4> r;
        for (int largo = 1; largo <= 4; ++largo) {
            QPixmap p(lado * largo, lado);
            p.fill(Qt::transparent);
            QPainter pintor(&p);
            pintor.setRenderHint(QPainter::SmoothPixmapTransform, true);
            for (int i = 0; i < largo; ++i) {
                const QPixmap& pieza = largo == 1 ? h4 : i == 0 ? h1 : i == largo - 1 ? h3 : h2;
                pintor.drawPixmap(QRect(i * lado, 0, lado, lado), pieza);
            }
            r[largo - 1] = p;
        }
        return r;
    }();
    return barcos[std::clamp(n, 1, 4) - 1];
}

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
    CrearControles();
    CrearMenus();
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
    cmdHundido =
        boton(QStringLiteral("Hundido"), QStringLiteral("cmdHundido"), Twips(2400, 3360, 975, 375));
    HabilitarRespuestas(false);
    connect(cmdAgua, &QPushButton::clicked, this, [this] { partida_->cmdAgua_Click(); });
    connect(cmdTocado, &QPushButton::clicked, this, [this] { partida_->cmdTocado_Click(); });
    connect(cmdHundido, &QPushButton::clicked, this, [this] { partida_->cmdHundido_Click(); });

    // The typed attack line under the opponent's board.
    lblLetra = Etiqueta(centro, QStringLiteral("Letra:"), QStringLiteral("lblLetra"),
                        Twips(3720, 3390, 480, 315));
    txtColumna = new QLineEdit(centro);
    txtColumna->setObjectName(QStringLiteral("txtColumna"));
    txtColumna->setMaxLength(1);
    txtColumna->setGeometry(Twips(4215, 3360, 330, 375));
    lblNumero = Etiqueta(centro, QStringLiteral("Número:"), QStringLiteral("lblFila_20"),
                         Twips(4605, 3390, 690, 315));
    txtFila = new QLineEdit(centro);
    txtFila->setObjectName(QStringLiteral("txtFila"));
    txtFila->setMaxLength(2);
    txtFila->setGeometry(Twips(5310, 3360, 420, 375));
    cmdAtacar =
        boton(QStringLiteral("&Atacar"), QStringLiteral("cmdAtacar"), Twips(5820, 3360, 1035, 375));
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
                              QStringLiteral("cmdCancelarEspera"), Twips(3720, 3360, 3135, 375));
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
            auto* img = new QLabel(g);
            img->setObjectName(QStringLiteral("imgHundidos%1De%2").arg(lado).arg(n));
            img->setGeometry(Twips(col + 480, fila, 255 * n, 255));
            img->setPixmap(BarcoIncorporado(n));
            img->setProperty("piezas", n);
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
        t->setLineWrapMode(QPlainTextEdit::NoWrap);
        t->setTabStopDistance(QFontMetricsF(t->font()).horizontalAdvance(QLatin1Char(' ')) * 6);
    }
    txtMensaje = new QLineEdit(fraLateral);
    txtMensaje->setObjectName(QStringLiteral("txtMensaje"));
    cmdChatEnviar = new QPushButton(QStringLiteral("Enviar"), fraLateral);
    cmdChatEnviar->setObjectName(QStringLiteral("cmdChatEnviar"));
    cmdChatEnviar->setAutoDefault(false);
    DisponerHistorial(0);
    DisponerChat(0);

    // Status bar: answers, turn, network.
    auto* barra = statusBar();
    barra->setObjectName(QStringLiteral("stbBarraDeEstado"));
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
        auto* l = new QLabel(iniciales[i], barra);
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
    AplicarTamaño();
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
    mnuJuegoTerminarConexion = accion(mnuJuego, QStringLiteral("&Terminar conexión"),
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

    mnuAlertar = menuBar()->addMenu(QStringLiteral("&Alertar"));
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

void FrmPrincipal::FijarPartida(Partida& partida, PreparacionPartida& preparacion) {
    partida_ = &partida;
    preparacion_ = &preparacion;
}

void FrmPrincipal::EmpezarPartida() {
    if (preparacion_) preparacion_->EmpezarPartida();
}

void FrmPrincipal::FijarRed(ModDPlay* red) {
    red_ = red;
    if (!red_) return;
    // Queued: the options dialog and the boxes open after the menu has closed.
    auto enlazar = [this](QAction* a, std::function<void()> f) {
        connect(a, &QAction::triggered, this, std::move(f), Qt::QueuedConnection);
    };
    enlazar(mnuAlertarSonido, [this] { red_->EnviarAlerta(0); });
    enlazar(mnuAlertarMsgBox, [this] { red_->EnviarAlerta(1); });
    enlazar(mnuAlertarHistorial, [this] { red_->EnviarAlerta(2); });
    enlazar(mnuAlertarElegirSonido, [this] { AbrirOpciones(QStringLiteral("txtAlertaSonido")); });
    enlazar(mnuAlertarElegirMensajeMsgBox,
            [this] { AbrirOpciones(QStringLiteral("txtAlertaMensajeMsgBox")); });
    enlazar(mnuAlertarElegirMensajeHistorial,
            [this] { AbrirOpciones(QStringLiteral("txtAlertaMensajeHistorial")); });
    connect(cmdChatEnviar, &QPushButton::clicked, this, &FrmPrincipal::cmdChatEnviar_Click);
    connect(txtMensaje, &QLineEdit::returnPressed, this, &FrmPrincipal::cmdChatEnviar_Click);
    // "Enviar" is the default button only while the chat box has the focus.
    txtMensaje->installEventFilter(this);
}

void FrmPrincipal::cmdChatEnviar_Click() {
    red_->EnviarChat(txtMensaje->text());
    txtMensaje->clear();
    txtMensaje->setFocus();
}

void FrmPrincipal::AbrirOpciones(const QString& strEnfoque) {
    FrmOpciones dialogo(opciones_, this, this);
    dialogo.Abrir(strEnfoque);
}

// ---------------------------------------------------------------- start-up

bool FrmPrincipal::blnProbarImagen(const QString& strRuta, QString& strError,
                                   bool& blnRutaNoEncontrada) const {
    const QFileInfo info(strRuta);
    blnRutaNoEncontrada = false;
    if (strRuta.isEmpty() || !info.dir().exists()) {
        blnRutaNoEncontrada = true;
        strError = QStringLiteral("No se encuentra la ruta de acceso: %1").arg(strRuta);
    } else if (info.isDir()) {
        blnRutaNoEncontrada = true;
        strError =
            QStringLiteral("La ruta de acceso es una carpeta, no una imagen: %1").arg(strRuta);
    } else if (!info.exists()) {
        blnRutaNoEncontrada = true;
        strError = QStringLiteral("No se encuentra el archivo: %1").arg(strRuta);
    } else if (QImageReader reader(strRuta); !reader.canRead()) {
        strError = QStringLiteral("La imagen no es válida: %1").arg(strRuta);
    } else {
        return true;
    }
    return false;
}

void FrmPrincipal::CorregirOpcionesDeImagenes(const QString& strDescripcion) {
    MsgBox(
        strDescripcion +
            QStringLiteral("\n\nSe desactivarán las imágenes y se cargarán las opciones instaladas "
                           "por defecto."),
        QStringLiteral("Advertencia"), Icono::Exclamacion);
    RegistroOpciones& o = opciones_.Opciones;
    const RegistroOpciones d = RegistroOpciones::PorDefecto();
    o.strRutaArchivoHistorial = d.strRutaArchivoHistorial;
    o.blnImagenAgua = false;
    o.strRutaAgua = d.strRutaAgua;
    o.blnImagenNoDescubierto = false;
    o.blnSonidosAgua = false;
    o.blnSonidosBarco = false;
    o.blnSonidosHundido = false;
    o.strRutaNoDescubierto.clear();
    o.strSonidoAgua.clear();
    o.strSonidoBarco.clear();
    o.strSonidoHundido.clear();
    opciones_.blnGuardarOpcionesEnArchivo();
}

void FrmPrincipal::Cargar() {
    OcultarDisparo();
    opciones_.blnCargarOpcionesDeArchivo();
    RegistroOpciones& o = opciones_.Opciones;
    // A damaged file must not leave the player without a way to attack.
    if (o.intMetodoAtaque < 1 || o.intMetodoAtaque > 3) o.intMetodoAtaque = 1;

    // Test the pictures once; a missing one turns pictures off for good.
    bool blnAvisado = false;
    auto probar = [&](bool blnActiva, const QString& strRuta) {
        if (!blnActiva) return;
        QString strError;
        bool blnRutaNoEncontrada = false;
        if (blnProbarImagen(strRuta, strError, blnRutaNoEncontrada)) return;
        if (blnRutaNoEncontrada && !blnAvisado) {
            blnAvisado = true;
            CorregirOpcionesDeImagenes(strError);
        } else if (!blnRutaNoEncontrada) {
            MsgBox(strError, QStringLiteral("Error"), Icono::Critico);
        }
    };
    probar(o.blnImagenAgua, o.strRutaAgua);
    probar(o.blnImagenNoDescubierto, o.strRutaNoDescubierto);

    mnuVerBarraDeEstado->setChecked(o.blnVerBarraDeEstado);
    statusBar()->setVisible(o.blnVerBarraDeEstado);
    intAlto_ = o.blnVerBarraDeEstado ? 5835 : 5580;
    mnuVerHistorial->setChecked(o.blnVerHistorial);
    DisponerHistorial(o.blnVerHistorial ? (o.blnVerChat ? 1 : 2) : 0);
    mnuVerChat->setChecked(o.blnVerChat);
    DisponerChat(o.blnVerChat ? (o.blnVerHistorial ? 1 : 2) : 0);
    intAncho_ = (o.blnVerHistorial || o.blnVerChat) ? 10560 : 7170;
    AplicarTamaño();

    ColoresYFondos();
    if (o.intMetodoAtaque == 3) PrepararMetodo3();
    if (preparacion_) preparacion_->ActualizarMenus();
}

void FrmPrincipal::AplicarTamaño() {
    setFixedSize(Px(intAncho_), Px(intAlto_));
}

void FrmPrincipal::ColoresYFondos() {
    const RegistroOpciones& o = opciones_.Opciones;
    tableroJugador->FijarColorRejilla(ColorVB(o.lngColorRejilla));
    tableroOrdenador->FijarColorRejilla(ColorVB(o.lngColorRejilla));
    ColorMarcas();
    const QPixmap fondo = o.blnImagenAgua ? imagenes_.Archivo(o.strRutaAgua) : QPixmap();
    tableroJugador->FijarFondo(fondo);
    tableroOrdenador->FijarFondo(fondo);
}

void FrmPrincipal::ColorMarcas() {
    const RegistroOpciones& o = opciones_.Opciones;
    for (int f = 0; f < 10; ++f) {
        for (int c = 0; c < 10; ++c) {
            Tablero::Casilla& k = tableroJugador->casilla(f, c);
            k.marcaRelleno = ColorVB(o.lngColorMarcadoresInterior);
            if (k.marcaVisible)
                k.marcaBorde = ColorVB(k.marcaOpaca ? o.lngColorMarcadoresExterior
                                                    : o.lngColorIndicadorAtaque);
        }
    }
    tableroJugador->Repintar();
}

void FrmPrincipal::AplicarOpciones() {
    switch (opciones_.Opciones.intMetodoAtaque) {
    case 1:
        PrepararMetodo1();
        break;
    case 2:
        PrepararMetodo2();
        break;
    case 3:
        PrepararMetodo3();
        break;
    default:
        break;
    }
    imagenes_.Olvidar(); // the player may have picked other files
    ColoresYFondos();
    if (blnPanelesDibujados_) {
        MostrarPanel(0);
        MostrarPanel(3);
    }
}

// ------------------------------------------------------- set-up steps

bool FrmPrincipal::blnEmpezarPartida(EleccionPartida& eleccion, bool blnQuienEmpiezaEnRed) {
    if (!frmEmpezarPartida_) frmEmpezarPartida_ = new FrmEmpezarPartida(this);
    if (!frmEmpezarPartida_->blnEmpezarPartida(eleccion, blnQuienEmpiezaEnRed))
        return false;                 // stays loaded: the next opening shows these choices
    delete frmEmpezarPartida_.data(); // accepted: the next opening starts afresh
    return true;
}

ResultadoConexion FrmPrincipal::AbrirConexion() {
    if (!red_) return {};
    FrmConexionDPlay dialogo(*red_, opciones_, cuadros_, this);
    if (alAbrirConexion) {
        QPointer<FrmConexionDPlay> d = &dialogo;
        QTimer::singleShot(0, &dialogo, [this, d] {
            if (d) alAbrirConexion(*d);
        });
    }
    return dialogo.StartConnectWizard();
}

void FrmPrincipal::PrepararTableros() {
    InicializarPanel(0);
    InicializarPanel(3);
    ReiniciarContadores();
}

void FrmPrincipal::AbrirColocarBarcos() {
    CerrarColocarBarcos();
    auto* editor = new FrmColocarBarcos(principal_, opciones_.Opciones, this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &FrmColocarBarcos::flotaColocada, this,
            [this] { preparacion_->BarcosColocados(); });
    frmColocarBarcos = editor;
    editor->show();
}

void FrmPrincipal::CerrarColocarBarcos() {
    if (frmColocarBarcos) frmColocarBarcos->CerrarSinColocar();
}

// ----------------------------------------------------------------- panels

void FrmPrincipal::InicializarPanel(int intPanel) {
    Tablero* t = intPanel == 0 ? tableroJugador : intPanel == 3 ? tableroOrdenador : nullptr;
    if (!t) return;
    for (int f = 0; f < 10; ++f) {
        for (int c = 0; c < 10; ++c) {
            Tablero::Casilla& k = t->casilla(f, c);
            k.marcaVisible = false;
            k.relleno = Qt::white;
            k.opaca = false;
            k.imagen = QPixmap();
            k.contenido.clear();
        }
    }
    t->Repintar();
}

void FrmPrincipal::MostrarPanel(int intPanel) {
    const RegistroOpciones& o = opciones_.Opciones;
    if (intPanel == 0) {
        const bool blnFondo = o.blnImagenAgua && tableroJugador->tieneFondo();
        for (int f = 0; f < 10; ++f) {
            for (int c = 0; c < 10; ++c) {
                Tablero::Casilla& k = tableroJugador->casilla(f, c);
                k.opaca = true;
                k.imagen = QPixmap();
                if (principal_.intBarcosJugador[f][c] == CASILLA_BARCO) {
                    k.opaca = false;
                    k.imagen = imagenes_.Pieza(principal_.CargarImagenCasilla(f, c, 0));
                    k.contenido = QStringLiteral("barco");
                } else {
                    k.opaca = !blnFondo;
                    k.relleno = ColorVB(o.lngColorAgua);
                    k.contenido = QStringLiteral("agua");
                }
            }
        }
        tableroJugador->Repintar();
        blnPanelesDibujados_ = true;
    } else if (intPanel == 3) {
        const bool blnFondo = o.blnImagenAgua && tableroOrdenador->tieneFondo();
        // A picture for hidden squares that will not load falls back to the
        // colour, so hidden squares never look like water.
        const QPixmap oculta =
            o.blnImagenNoDescubierto ? imagenes_.Archivo(o.strRutaNoDescubierto) : QPixmap();
        for (int f = 0; f < 10; ++f) {
            for (int c = 0; c < 10; ++c) {
                Tablero::Casilla& k = tableroOrdenador->casilla(f, c);
                k.opaca = true;
                k.imagen = QPixmap();
                switch (principal_.intDescubiertoOrdenador[f][c]) {
                case CASILLA_OCULTA:
                    k.contenido = QStringLiteral("sin descubrir");
                    if (!oculta.isNull()) {
                        k.opaca = false;
                        k.imagen = oculta;
                    } else {
                        k.relleno = ColorVB(o.lngColorNoDescubiertas);
                    }
                    break;
                case CASILLA_AGUA:
                    k.contenido = QStringLiteral("agua");
                    k.opaca = !blnFondo;
                    k.relleno = ColorVB(o.lngColorAgua);
                    break;
                case CASILLA_BARCO:
                    k.contenido = QStringLiteral("tocado");
                    k.opaca = false;
                    k.imagen = imagenes_.Pieza(principal_.CargarImagenCasilla(f, c, 3));
                    break;
                default:
                    break;
                }
            }
        }
        tableroOrdenador->Repintar();
        blnPanelesDibujados_ = true;
    }
}

void FrmPrincipal::ReiniciarContadores() {
    const QColor texto = QApplication::palette().color(QPalette::ButtonText);
    auto normal = [&](QLabel* l) {
        QFont f = l->font();
        f.setBold(false);
        l->setFont(f);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, texto);
        l->setPalette(p);
    };
    for (int i = 0; i < 4; ++i) {
        lblHundidosJugadorDe[i]->setText(QStringLiteral("0"));
        lblHundidosOrdenadorDe[i]->setText(QStringLiteral("0"));
        for (QLabel* l :
             {lblHundidosJugadorDe[i], lblHundidosOrdenadorDe[i], lblXJugador[i], lblXOrdenador[i]})
            normal(l);
    }
}

void FrmPrincipal::FijarContador(QLabel* contador, QLabel* x, int intLongitud,
                                 const QString& texto) {
    contador->setText(texto);
    if (texto != QString::number(kTotales[intLongitud - 1])) return;
    for (QLabel* l : {contador, x}) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, ColorVB(kVerde));
        l->setPalette(p);
    }
}

void FrmPrincipal::ContarHundido(bool blnBarcoDeJugador, int intLongitud) {
    if (intLongitud < 1 || intLongitud > 4) return;
    QLabel* contador =
        (blnBarcoDeJugador ? lblHundidosJugadorDe : lblHundidosOrdenadorDe)[intLongitud - 1];
    QLabel* x = (blnBarcoDeJugador ? lblXJugador : lblXOrdenador)[4 - intLongitud];
    FijarContador(contador, x, intLongitud, QString::number(contador->text().toInt() + 1));
}

void FrmPrincipal::MarcarAtaque(int intFila, int intColumna, bool blnRespondido) {
    if (!blnCasillaValida(intFila, intColumna)) return;
    const RegistroOpciones& o = opciones_.Opciones;
    Tablero::Casilla& k = tableroJugador->casilla(intFila, intColumna);
    k.marcaVisible = true;
    k.marcaOpaca = blnRespondido;
    k.marcaRelleno = ColorVB(o.lngColorMarcadoresInterior);
    k.marcaBorde =
        ColorVB(blnRespondido ? o.lngColorMarcadoresExterior : o.lngColorIndicadorAtaque);
    tableroJugador->Repintar();
}

void FrmPrincipal::OcultarDisparo() {
    tableroOrdenador->OcultarDisparo();
}

void FrmPrincipal::CoordenadasDisparo(int intFila, int intColumna, int& x1, int& y1, int& x2,
                                      int& y2, int& x3, int& y3, int& x4, int& y4) {
    const int x = 240 * intColumna;
    const int y = 240 * intFila;
    x1 = x + 650;
    y1 = y + 650;
    x2 = x + 790;
    y2 = y + 790;
    x3 = x + 650;
    y3 = y + 790;
    x4 = x + 790;
    y4 = y + 650;
}

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
        txtColumna->setFont(fija);
        txtFila->setFont(fija);
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
    int x1, y1, x2, y2, x3, y3, x4, y4;
    CoordenadasDisparo(intFila, intColumna, x1, y1, x2, y2, x3, y3, x4, y4);
    tableroOrdenador->MostrarDisparo(QLine(x1, y1, x2, y2), QLine(x3, y3, x4, y4));
    tableroOrdenador->unsetCursor();
    partida_->TurnoJugador2(intFila, intColumna);
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

void FrmPrincipal::HabilitarRespuestas(bool blnHabilitar) {
    for (QPushButton* b : {cmdAgua, cmdTocado, cmdHundido})
        b->setEnabled(blnHabilitar);
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

void FrmPrincipal::AplicarMenus(const MenusJuego& m) {
    mnuJuegoEmpezar->setVisible(m.blnEmpezar);
    mnuJuegoTerminarPartida->setVisible(m.blnTerminarPartida);
    mnuJuegoCancelarEspera->setVisible(m.blnCancelarEspera);
    mnuJuegoVerLosBarcosDelContrincante->setVisible(m.blnVerLosBarcosDelContrincante);
    mnuJuegoTerminarConexion->setVisible(m.blnTerminarConexion);
    mnuJuegoOpciones->setEnabled(m.blnOpciones);
    cmdCancelarEspera->setVisible(m.blnCancelarEspera);
    // A disabled menu must not leave its shortcuts live.
    mnuAlertar->setEnabled(m.blnAlertar);
    mnuAlertar->menuAction()->setEnabled(m.blnAlertar);
    for (QAction* a : mnuAlertar->actions())
        a->setEnabled(m.blnAlertar);
    if (m.blnOcupado != blnOcupado_) {
        blnOcupado_ = m.blnOcupado;
        if (blnOcupado_)
            QApplication::setOverrideCursor(Qt::BusyCursor);
        else
            QApplication::restoreOverrideCursor();
    }
}

void FrmPrincipal::MostrarSolucion() {
    FrmVerBarcos ventana(principal_, opciones_.Opciones, imagenes_, this);
    frmVerBarcos = &ventana;
    ventana.exec();
}

void FrmPrincipal::Sonido(const QString& strArchivo) {
    brumaria::Sonido(strArchivo);
}

void FrmPrincipal::mnuJuegoOpciones_Click() {
    FrmOpciones dialogo(opciones_, this, this);
    dialogo.Mostrar();
}

// ------------------------------------------------------------ panes, views

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
    lblHistorial->setGeometry(Twips(120, 180, kAnchoPanelLateral, 240));
    txtHistorial->setGeometry(Twips(120, 420, kAnchoPanelLateral, intModo == 1 ? 1680 : 4200));
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
        lblChat->setGeometry(Twips(120, 2220, kAnchoPanelLateral, 240));
        txtChat->setGeometry(Twips(120, 2460, kAnchoPanelLateral, 1800));
    } else {
        lblChat->setGeometry(Twips(120, 180, kAnchoPanelLateral, 240));
        txtChat->setGeometry(Twips(120, 420, kAnchoPanelLateral, 3840));
    }
    txtMensaje->setGeometry(Twips(120, 4380, kAnchoPanelLateral - 840, 375));
    cmdChatEnviar->setGeometry(Twips(120 + kAnchoPanelLateral - 780, 4380, 780, 375));
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

// ---------------------------------------------------------------- closing

void FrmPrincipal::closeEvent(QCloseEvent* e) {
    if (principal_.blnCerrando) {
        e->accept();
        return;
    }
    // Every placement and every set-up ends on these.
    principal_.blnCerrando = true;
    emit cerrando();
    if (preparacion_) preparacion_->Cerrar(); // ends the connection too
    RegistroOpciones& o = opciones_.Opciones;
    o.blnVerBarraDeEstado = mnuVerBarraDeEstado->isChecked();
    o.blnVerHistorial = mnuVerHistorial->isChecked();
    o.blnVerChat = mnuVerChat->isChecked();
    opciones_.blnGuardarOpcionesEnArchivo();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && (w->parentWidget() == this || w->isWindow())) w->close();
    e->accept();
}

void FrmPrincipal::paintEvent(QPaintEvent* e) {
    QMainWindow::paintEvent(e);
    if (!blnPintado_) {
        blnPintado_ = true;
        QTimer::singleShot(0, this, [this] {
            // The icon waits for the first paint: decoding it is not free.
            setWindowIcon(QIcon(QPixmap(QStringLiteral(":/brumaria/brumaria.png"))));
            emit primerPintado();
        });
    }
}

} // namespace brumaria
