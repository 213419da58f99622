#pragma once
// The options dialog: four pages that edit the options record, check the
// chosen files, save Config.dat and apply the result to the main window.
#include "options/destino_opciones.h"
#include "options/opciones.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace brumaria {

class FrmOpciones : public QDialog {
    Q_OBJECT
public:
    // `destino` may be null (nothing to apply to).
    FrmOpciones(ModOpciones& opciones, DestinoOpciones* destino, QWidget* parent = nullptr);
    ~FrmOpciones() override;

    int Mostrar();                        // modal, on page 1
    int Abrir(const QString& strEnfoque); // modal, on the page of the named control, focused

    // The record into the controls.
    void CargarOpciones();
    // Checks the files and the response time, then stores the controls into
    // the record and saves it; false (nothing stored) when a check fails.
    bool blnGuardarOpciones();
    // Shows the page of the named control and focuses it (its check box
    // instead when that is unticked). Unknown names do nothing.
    void Enfocar(const QString& strEnfoque);
    // The file can be opened for reading.
    static bool blnExisteArchivo(const QString& strNombreFichero);

    // The page on show, 1..4.
    int intPagina() const;

    // The file chooser behind the "Examinar..." buttons: returns the chosen
    // path, or an empty string when cancelled. `debeExistir` is false only
    // for the history file, which may be a new one.
    using ElegirArchivo =
        std::function<QString(QWidget* padre, const QString& titulo, const QString& filtro,
                              const QString& inicial, bool debeExistir)>;
    void FijarElegirArchivo(ElegirArchivo f) { elegirArchivo_ = std::move(f); }

    // The colour chooser behind the colour buttons: true and `color`
    // changed when a colour was chosen. By default it runs FrmColor.
    using ElegirColor = std::function<bool(QWidget* padre, std::int32_t& color)>;
    void FijarElegirColor(ElegirColor f) { elegirColor_ = std::move(f); }

    // The colour a colour button shows.
    static std::int32_t lngColorDeBoton(const QPushButton* boton);

    // Response time text (seconds, "," or "." as decimal mark) to whole
    // milliseconds; false when it is not a number.
    static bool blnLeerSegundos(const QString& texto, std::int32_t& milisegundos);
    // Milliseconds as seconds in the locale's number format.
    static QString TextoSegundos(std::int32_t milisegundos);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    // Built in frm_opciones_pestanas.cpp, one function a page.
    void Construir();
    void ConstruirGeneral();
    void ConstruirColores();
    void ConstruirSonidos();
    void ConstruirAlertas();
    void Conectar();
    void ActualizarHabilitados();
    bool blnComprobarArchivos();
    bool blnComprobarTiempo(bool blnAlAceptar);
    void Examinar(QLineEdit* destino, const QString& titulo, const QString& filtro,
                  bool debeExistir);
    void CambiarColor(QPushButton* boton);
    void PonerColor(QPushButton* boton, std::int32_t color);
    void Aceptar();

    ModOpciones& opciones_;
    DestinoOpciones* destino_;
    ElegirArchivo elegirArchivo_;
    ElegirColor elegirColor_;
    struct Ayuda;
    std::unique_ptr<Ayuda> ayuda_;

    // The controls, reached from outside by their object names.
    QTabWidget* tabSeparador = nullptr;
    QWidget* fraMarco1 = nullptr;
    QWidget* fraMarco2 = nullptr;
    QWidget* fraMarco3 = nullptr;
    QWidget* fraMarco4 = nullptr;

    QCheckBox* chkTiempoRespuesta = nullptr;
    QLineEdit* txtTiempoRespuesta = nullptr;
    QLabel* lblTiempoRespuesta = nullptr;
    QRadioButton* optMetodoRaton = nullptr;
    QRadioButton* optMetodoRatonFilaYColumna = nullptr;
    QRadioButton* optMetodoTeclado = nullptr;
    QCheckBox* chkHistorialMovimientosActivar = nullptr;
    QLineEdit* txtRutaArchivoHistorial = nullptr;
    QPushButton* cmdExaminarArchivoHistorial = nullptr;

    QPushButton* cmdColorAgua = nullptr;
    QPushButton* cmdColorNoDescubiertas = nullptr;
    QPushButton* cmdColorIndicadorAtaque = nullptr;
    QPushButton* cmdColorMarcadoresExterior = nullptr;
    QPushButton* cmdColorMarcadoresInterior = nullptr;
    QPushButton* cmdColorRejilla = nullptr;
    QCheckBox* chkImagenAgua = nullptr;
    QLineEdit* txtRutaAgua = nullptr;
    QPushButton* cmdExaminarAgua = nullptr;
    QCheckBox* chkImagenNoDescubierto = nullptr;
    QLineEdit* txtRutaNoDescubierto = nullptr;
    QPushButton* cmdExaminarNoDescubierto = nullptr;

    QCheckBox* chkSonidosAgua = nullptr;
    QLineEdit* txtSonidoAgua = nullptr;
    QPushButton* cmdExaminarSonidoAgua = nullptr;
    QCheckBox* chkSonidosBarco = nullptr;
    QLineEdit* txtSonidoBarco = nullptr;
    QPushButton* cmdExaminarSonidoBarco = nullptr;
    QCheckBox* chkSonidosHundido = nullptr;
    QLineEdit* txtSonidoHundido = nullptr;
    QPushButton* cmdExaminarSonidoHundido = nullptr;

    QCheckBox* chkAlertaSonido = nullptr;
    QLineEdit* txtAlertaSonido = nullptr;
    QPushButton* cmdExaminarSonidoAlerta = nullptr;
    QCheckBox* chkAlertaMsgBox = nullptr;
    QLineEdit* txtAlertaMensajeMsgBox = nullptr;
    QCheckBox* chkAlertaHistorial = nullptr;
    QLineEdit* txtAlertaMensajeHistorial = nullptr;

    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
};

} // namespace brumaria
