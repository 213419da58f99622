#pragma once
// The main window: both boards, the answer buttons, the three ways of
// naming a square, the sunk counters, menus, status bar and side panes.
// It owns the match set-up and shows what the turn cycle decides.
#include "logs/cuadros_de_texto.h"
#include "match/vista_partida.h"
#include "options/destino_opciones.h"
#include "ui/main/imagenes.h"

#include <QAction>
#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace brumaria {

class Anunciador;
class EscalaTwips;
class ModPrincipal;
class ModOpciones;
class RedDelJuego;
class Partida;
class PreparacionPartida;
class Tablero;
class FrmEmpezarPartida;
class FrmColocarBarcos;

class FrmPrincipal : public QMainWindow,
                     public VistaPreparacion,
                     public PanelesTexto,
                     public DestinoOpciones {
    Q_OBJECT
public:
    FrmPrincipal(ModPrincipal& principal, ModOpciones& opciones, ModCuadrosDeTexto& cuadros,
                 QWidget* parent = nullptr);
    ~FrmPrincipal() override;

    // The turn cycle and the set-up, created after the window (they need
    // it as their view), and the network side.
    void FijarPartida(Partida& partida, PreparacionPartida& preparacion);
    Partida& partida() { return *partida_; }
    void FijarRed(RedDelJuego* red);

    // Start-up: options, views, colours and pictures. Call once before show().
    void Cargar();
    // The View menu's tick marks into the options, and the options into
    // Config.dat: at close, and whenever the session may end without one.
    void GuardarOpciones();

    // "&Empezar": asks how to play and sets up a new match.
    void EmpezarPartida();

    // Panels 0 (player) and 3 (opponent).
    void InicializarPanel(int intPanel);
    void MostrarPanel(int intPanel) override;

    void PrepararMetodo1();
    void PrepararMetodo2();
    void PrepararMetodo3();

    // Side panes: 0 hidden, 1 sharing the frame, 2 alone.
    void DisponerHistorial(int intModo);
    void DisponerChat(int intModo);

    // The shot cross of a square, in twips of the opponent's frame.
    static void CoordenadasDisparo(int intFila, int intColumna, int& x1, int& y1, int& x2, int& y2,
                                   int& x3, int& y3, int& x4, int& y4);

    // Window size in twips at the design size (the unit of the layout; 1 px
    // = 15 twips). The window may be larger: everything in it then grows by
    // factorEscala().
    int intAnchoTwips() const { return intAncho_; }
    int intAltoTwips() const { return intAlto_; }
    double factorEscala() const;

    // Blink timings (tests shorten them).
    int intParpadeoApagadoMs = 500;
    int intParpadeoEncendidoMs = 1000;

    // VistaPartida
    void EscribirEstado(int intPanel, const QString& texto) override;
    QString LeerEstado(int intPanel) const override;
    void HabilitarRespuestas(bool blnHabilitar) override;
    void EntradaTeclado(bool blnHabilitar) override;
    void EnfocarColumna() override;
    void VaciarCajasAtaque() override;
    void MarcarAtaque(int intFila, int intColumna, bool blnRespondido) override;
    void OcultarDisparo() override;
    void ContarHundido(bool blnBarcoDeJugador, int intLongitud) override;
    void QuitarNegritaEtiquetas() override;
    void MostrarSolucion() override;
    void Sonido(const QString& strArchivo) override;

    // VistaPreparacion
    bool blnEmpezarPartida(EleccionPartida& eleccion,
                           std::optional<QuienEmpieza> quienEnRed) override;
    ResultadoConexion AbrirConexion() override;
    void PrepararTableros() override;
    void AbrirColocarBarcos() override;
    void CerrarColocarBarcos() override;
    void AplicarMenus(const MenusJuego& menus) override;

    // PanelesTexto
    void AnadirLineaHistorial(const QString& linea) override;
    void AnadirLineaChat(const QString& linea) override;
    void ParpadearSTB(int intPanel, int intVeces) override;
    void MostrarAviso(const QString& texto) override;

    // DestinoOpciones
    void AplicarOpciones() override;

    // Runs inside the session dialog once it is shown (tests and the
    // scripted driver fill it in); empty in the game.
    std::function<void(QDialog&)> alAbrirConexion;

    ImagenesTablero& imagenes() { return imagenes_; }

signals:
    // The window is closing (every wait must end).
    void cerrando();
    // Painted for the first time (the start-up benchmark waits for it).
    void primerPintado();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    // Controls, named as their objects are (tests find them by those names).
    QGroupBox* fraPanelJugadorHecho;
    QGroupBox* fraPanelOrdenador;
    Tablero* tableroJugador;   // shpCelda / imgCelda / shpCeldaMarcada
    Tablero* tableroOrdenador; // shpCeldaO / imgCeldaO / linDisparo
    std::array<QLabel*, 10> lblFila{};
    std::array<QLabel*, 10> lblColumna{};
    std::array<QLabel*, 10> lblFilaO{};
    std::array<QLabel*, 10> lblColumnaO{};
    QPushButton* cmdAgua;
    QPushButton* cmdTocado;
    QPushButton* cmdHundido;
    QLabel* lblLetra;
    QLineEdit* txtColumna;
    QLabel* lblNumero; // element 20 of lblFila: "Número:"
    QLineEdit* txtFila;
    QPushButton* cmdAtacar;
    QPushButton* cmdCancelarEspera;
    QGroupBox* fraHundidosJugador;
    QGroupBox* fraHundidosOrdenador;
    std::array<QLabel*, 4> lblHundidosJugadorDe{}; // index: length - 1
    std::array<QLabel*, 4> lblHundidosOrdenadorDe{};
    std::array<QLabel*, 4> lblXJugador{}; // element 3 goes with length 1
    std::array<QLabel*, 4> lblXOrdenador{};
    QWidget* fraLateral;
    QLabel* lblHistorial;
    QPlainTextEdit* txtHistorial;
    QLabel* lblChat;
    QPlainTextEdit* txtChat;
    QLineEdit* txtMensaje;
    QPushButton* cmdChatEnviar;
    std::array<QLabel*, 3> stbPanel{};
    Anunciador* anunciador_ = nullptr; // the turn, answers and shots, for screen readers

    QAction* mnuJuegoEmpezar;
    QAction* mnuJuegoTerminarPartida;
    QAction* mnuJuegoCancelarEspera;
    QAction* mnuJuegoVerLosBarcosDelContrincante;
    QAction* mnuJuegoTerminarConexion;
    QAction* mnuJuegoOpciones;
    QAction* mnuJuegoSalir;
    QMenu* mnuAlertar;
    QAction* mnuAlertarSonido;
    QAction* mnuAlertarMsgBox;
    QAction* mnuAlertarHistorial;
    QAction* mnuAlertarElegirSonido;
    QAction* mnuAlertarElegirMensajeMsgBox;
    QAction* mnuAlertarElegirMensajeHistorial;
    QAction* mnuVerBarraDeEstado;
    QAction* mnuVerHistorial;
    QAction* mnuVerChat;
    QAction* mnuAyudaAyuda;
    QAction* mnuAyudaAcercaDe;

    // The solution window and the placement editor while they are open.
    QPointer<QDialog> frmVerBarcos;
    QPointer<FrmColocarBarcos> frmColocarBarcos;

    void CrearControles();
    // A new design geometry for a control (in pixels at the design size).
    void Colocar(QWidget* w, const QRect& diseño);
    void CrearMenus();
    void CrearTeclado();
    // Aims at a square with the shot cross and attacks it.
    void Apuntar(int intFila, int intColumna);
    // The window to its design size: the first time exactly, afterwards by
    // the change of design size at the present scale.
    void AplicarTamaño();
    QSize TamañoDiseñoCentro() const;
    void ColoresYFondos();
    void ColorMarcas();
    void ReiniciarContadores();
    void FijarContador(QLabel* contador, QLabel* x, int intLongitud, const QString& texto);
    QString strCorregirOpcionesDeImagenes(const QString& strDescripcion);
    bool blnProbarImagen(const QString& strRuta, QString& strError, bool& blnRutaNoEncontrada);
    void AbrirOpciones(const QString& strEnfoque);
    void cmdChatEnviar_Click();
    void imgCeldaO_Click(int intFila, int intColumna);
    void lblColumnaO_Click(int intIndice);
    void lblFilaO_Click(int intIndice);
    void txtColumna_Change(const QString& texto);
    void txtFila_Change(const QString& texto);
    void cmdAtacar_Click();
    void mnuVerBarraDeEstado_Click();
    void mnuVerHistorial_Click();
    void mnuVerChat_Click();
    void AlternarPanelLateral(QAction* propio, QAction* otro, bool& blnVer,
                              const std::function<void(int)>& disponerPropio,
                              const std::function<void(int)>& disponerOtro);
    void mnuJuegoOpciones_Click();
    bool blnTurno() const;
    int intMetodo() const;

    ModPrincipal& principal_;
    ModOpciones& opciones_;
    ModCuadrosDeTexto& cuadros_;
    Partida* partida_ = nullptr;
    PreparacionPartida* preparacion_ = nullptr;
    RedDelJuego* red_ = nullptr;
    ImagenesTablero imagenes_;
    QPointer<FrmEmpezarPartida> frmEmpezarPartida_;
    EscalaTwips* escala_ = nullptr;
    int intAncho_ = 7170;
    int intAlto_ = 5835;
    QSize tamañoDiseño_; // the design size last applied, in pixels
    int intModoHistorial_ = 0;
    int intModoChat_ = 0;
    bool blnPanelesDibujados_ = false;
    bool blnPintado_ = false;
    bool blnHistorialVacio_ = true;
    bool blnChatVacio_ = true;
    bool blnOcupado_ = false; // the busy pointer is ours

    // Status-bar blinking: one running blink per panel.
    struct Parpadeo {
        QTimer* reloj = nullptr;
        int restantes = 0;
        bool apagado = false;
        QString texto;
    };
    std::array<Parpadeo, 3> parpadeos_;
    void PasoParpadeo(int intPanel);
};

} // namespace brumaria
