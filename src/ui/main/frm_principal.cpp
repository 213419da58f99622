// The main window: wiring to the match, start-up, options, the set-up's
// dialogs, menus and closing.
#include "ui/main/frm_principal.h"

#include "core/modprincipal.h"
#include "match/partida.h"
#include "match/preparacion_partida.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "platform/rutas.h"
#include "ui/escala/escala_twips.h"
#include "ui/main/colores.h"
#include "ui/main/frm_empezar_partida.h"
#include "ui/main/red_del_juego.h"
#include "ui/main/tablero.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>

#include "ui/options/frm_opciones.h"
#include "ui/placement/colocar_barcos.h"

#include "ui/main/frm_principal_interno.h"

namespace brumaria {

using namespace ventana;

namespace {
// The group of the main window in the remembered sizes.
const QString kClaveTamaño = QStringLiteral("principal");
} // namespace

void FrmPrincipal::FijarPartida(Partida& partida, PreparacionPartida& preparacion) {
    partida_ = &partida;
    preparacion_ = &preparacion;
}

void FrmPrincipal::EmpezarPartida() {
    if (preparacion_) preparacion_->EmpezarPartida();
}

void FrmPrincipal::FijarRed(RedDelJuego* red) {
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
    // A line too long to send stays, for the player to shorten.
    if (red_->EnviarChat(txtMensaje->text())) txtMensaje->clear();
    txtMensaje->setFocus();
}

void FrmPrincipal::AbrirOpciones(const QString& strEnfoque) {
    FrmOpciones dialogo(opciones_, this, this);
    dialogo.Abrir(strEnfoque);
}

// ---------------------------------------------------------------- start-up

bool FrmPrincipal::blnProbarImagen(const QString& strRuta, QString& strError,
                                   bool& blnRutaNoEncontrada) {
    const QFileInfo info(strRuta);
    // Only a missing folder means the options came from another machine; a
    // missing file is just that picture.
    blnRutaNoEncontrada = false;
    if (strRuta.isEmpty() || !info.dir().exists()) {
        blnRutaNoEncontrada = true;
        strError = QStringLiteral("No se encuentra la ruta de acceso: %1").arg(strRuta);
    } else if (info.isDir()) {
        strError =
            QStringLiteral("La ruta de acceso es una carpeta, no una imagen: %1").arg(strRuta);
    } else if (!info.exists()) {
        strError = QStringLiteral("No se encuentra el archivo: %1").arg(strRuta);
    } else if (imagenes_.Archivo(strRuta).isNull()) {
        // Read whole, and kept for the boards: a picture cut short fails here.
        strError = QStringLiteral("La imagen no es válida: %1").arg(strRuta);
    } else {
        return true;
    }
    return false;
}

// Turns the pictures and sounds off and their paths back to the defaults;
// returns what the player is told of it.
QString FrmPrincipal::strCorregirOpcionesDeImagenes(const QString& strDescripcion) {
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
    return strDescripcion +
           QStringLiteral("\n\nSe desactivarán las imágenes y se cargarán las opciones instaladas "
                          "por defecto.");
}

namespace {
// The unreadable options by name; a file cut short would name them all.
QString strAvisoIlegibles(const QStringList& nombres) {
    constexpr int kNombrados = 6;
    QString lista = nombres.mid(0, kNombrados).join(QStringLiteral(", "));
    if (nombres.size() > kNombrados)
        lista += QStringLiteral(" y %1 más").arg(nombres.size() - kNombrados);
    return QStringLiteral("No se han podido leer todas las opciones de %1%2. Las que faltan "
                          "tomarán su valor por defecto; lo demás que guarda el archivo se "
                          "conserva.")
        .arg(ModOpciones::strRutaConfig(),
             lista.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(lista));
}
} // namespace

void FrmPrincipal::Cargar() {
    OcultarDisparo();
    // Everything start-up finds wrong goes into one box.
    QStringList avisos;
    bool blnError = false;
    if (!opciones_.blnCargarOpcionesDeArchivo()) {
        avisos << strAvisoIlegibles(opciones_.strIlegibles());
        blnError = true;
    }
    RegistroOpciones& o = opciones_.Opciones;

    // Test the pictures once; one that cannot be shown is turned off.
    bool blnCorregidas = false;
    auto probar = [&](bool& blnActiva, const QString& strRuta) {
        if (!blnActiva) return;
        QString strError;
        bool blnRutaNoEncontrada = false;
        if (blnProbarImagen(strRuta, strError, blnRutaNoEncontrada)) return;
        if (!blnRutaNoEncontrada) {
            avisos << strError;
            blnError = true;
            blnActiva = false;
        } else if (!blnCorregidas) {
            blnCorregidas = true;
            avisos << strCorregirOpcionesDeImagenes(strError);
        }
    };
    probar(o.blnImagenAgua, o.strRutaAgua);
    probar(o.blnImagenNoDescubierto, o.strRutaNoDescubierto);
    if (const QString historial = cuadros_.strComprobarArchivo(); !historial.isEmpty()) {
        avisos << historial;
        blnError = true;
    }
    if (!avisos.isEmpty()) {
        MsgBox(avisos.join(QStringLiteral("\n\n")),
               blnError ? QStringLiteral("Error") : QStringLiteral("Advertencia"),
               blnError ? Icono::Critico : Icono::Exclamacion);
        // The desktop may have ended the program while the box was open.
        if (principal_.blnCerrando) return;
    }

    mnuVerBarraDeEstado->setChecked(o.blnVerBarraDeEstado);
    statusBar()->setVisible(o.blnVerBarraDeEstado);
    intAlto_ = o.blnVerBarraDeEstado ? 5835 : 5580;
    mnuVerHistorial->setChecked(o.blnVerHistorial);
    DisponerHistorial(o.blnVerHistorial ? (o.blnVerChat ? 1 : 2) : 0);
    mnuVerChat->setChecked(o.blnVerChat);
    DisponerChat(o.blnVerChat ? (o.blnVerHistorial ? 1 : 2) : 0);
    intAncho_ = (o.blnVerHistorial || o.blnVerChat) ? 10560 : 7170;
    AplicarTamaño();
    RestaurarTamaño(*this, kClaveTamaño);

    ColoresYFondos();
    if (o.intMetodoAtaque == 3) PrepararMetodo3();
    if (preparacion_) preparacion_->ActualizarMenus();
}

void FrmPrincipal::AplicarTamaño() {
    const QSize diseño(Px(intAncho_), Px(intAlto_));
    const QSize antes = tamañoDiseño_;
    tamañoDiseño_ = diseño;
    // Taken before the new minimum, which would already grow the window to
    // the new design and then have the pane added a second time.
    const QSize actual = size();
    // The design size is also the smallest: below it texts would not fit.
    setMinimumSize(diseño);
    if (!antes.isValid()) {
        resize(diseño);
    } else if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        // A pane or the status bar came or went: the window grows or shrinks
        // by it at the present scale, keeping the shape the player gave it.
        const double s = factorEscala();
        resize(actual + QSize(int(std::lround((diseño.width() - antes.width()) * s)),
                              int(std::lround((diseño.height() - antes.height()) * s))));
    }
    // A maximised window keeps its size: the design changed under it.
    escala_->Aplicar();
}

QSize FrmPrincipal::TamañoDiseñoCentro() const {
    // The menu bar and the status bar keep their size; the rest scales.
    const int marco = height() - centralWidget()->height();
    return QSize(Px(intAncho_), Px(intAlto_) - marco);
}

double FrmPrincipal::factorEscala() const {
    return escala_->factor();
}

void FrmPrincipal::ColoresYFondos() {
    const RegistroOpciones& o = opciones_.Opciones;
    tableroJugador->FijarColorRejilla(ColorVB(o.lngColorRejilla));
    tableroOrdenador->FijarColorRejilla(ColorVB(o.lngColorRejilla));
    ColorMarcas();
    const ImagenNitida fondo = o.blnImagenAgua ? imagenes_.Archivo(o.strRutaAgua) : ImagenNitida();
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

bool FrmPrincipal::blnEmpezarPartida(EleccionPartida& eleccion,
                                     std::optional<QuienEmpieza> quienEnRed) {
    if (!frmEmpezarPartida_) frmEmpezarPartida_ = new FrmEmpezarPartida(this);
    if (!frmEmpezarPartida_->blnEmpezarPartida(eleccion, quienEnRed))
        return false;                 // stays loaded: the next opening shows these choices
    delete frmEmpezarPartida_.data(); // accepted: the next opening starts afresh
    return true;
}

ResultadoConexion FrmPrincipal::AbrirConexion() {
    if (!red_) return {};
    return red_->AbrirConexion(this, alAbrirConexion);
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

void FrmPrincipal::mnuJuegoOpciones_Click() {
    FrmOpciones dialogo(opciones_, this, this);
    dialogo.Mostrar();
}

// ------------------------------------------------------------ panes, views

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
    GuardarOpciones();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && (w->parentWidget() == this || w->isWindow())) w->close();
    e->accept();
}

void FrmPrincipal::GuardarOpciones() {
    // The View menu writes its three options as it changes them; its ticks
    // are not read back here, since a close during start-up (the desktop's
    // logout) comes before they show the options.
    opciones_.blnGuardarOpcionesEnArchivo();
    // A window never shown has no size of the player's to keep.
    if (isVisible()) GuardarTamaño(*this, kClaveTamaño);
}

void FrmPrincipal::paintEvent(QPaintEvent* e) {
    QMainWindow::paintEvent(e);
    if (!blnPintado_) {
        blnPintado_ = true;
        QTimer::singleShot(0, this, [this] {
            // The icon waits for the first paint: decoding it is not free.
            setWindowIcon(
                QIcon(QPixmap::fromImage(LeerPng(QStringLiteral(":/brumaria/brumaria.png")))));
            emit primerPintado();
        });
    }
}

} // namespace brumaria
