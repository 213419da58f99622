#include "ui/options/frm_color.h"

#include "options/opciones.h"

#include <QColor>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace brumaria {

QString NombreColor(std::int32_t color) {
    const int r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    return QStringLiteral("#%1%2%3")
        .arg(r, 2, 16, QLatin1Char('0'))
        .arg(g, 2, 16, QLatin1Char('0'))
        .arg(b, 2, 16, QLatin1Char('0'));
}

FrmColor::FrmColor(EstadoColor& estado, QWidget* parent) : QDialog(parent), estado_(estado) {
    setObjectName(QStringLiteral("frmColor"));
    setWindowTitle(QStringLiteral("Elegir color"));
    setModal(true);

    shpCuadro = new QFrame(this);
    shpCuadro->setObjectName(QStringLiteral("shpCuadro"));
    shpCuadro->setFrameShape(QFrame::Box);
    shpCuadro->setMinimumSize(96, 96);
    shpCuadro->setAutoFillBackground(true);

    auto* rejilla = new QGridLayout;
    const struct {
        QSlider** slider;
        const char* nombre;
        QString etiqueta;
        int valor;
    } canales[] = {
        {&sldRojo, "sldRojo", QStringLiteral("Rojo:"), estado_.lngColorElegido & 0xFF},
        {&sldVerde, "sldVerde", QStringLiteral("Verde:"), (estado_.lngColorElegido >> 8) & 0xFF},
        {&sldAzul, "sldAzul", QStringLiteral("Azul:"), (estado_.lngColorElegido >> 16) & 0xFF},
    };
    int fila = 0;
    for (const auto& c : canales) {
        auto* etiqueta = new QLabel(c.etiqueta, this);
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setObjectName(QString::fromLatin1(c.nombre));
        slider->setRange(0, 255);
        slider->setPageStep(16);
        slider->setValue(c.valor);
        slider->setMinimumWidth(200);
        etiqueta->setBuddy(slider);
        // A number box beside each slider for exact values.
        auto* numero = new QSpinBox(this);
        numero->setObjectName(QString::fromLatin1(c.nombre).replace(0, 3, QStringLiteral("txt")));
        // The label names the slider; the number box needs its own name.
        numero->setAccessibleName(QString(c.etiqueta).remove(u':') + QStringLiteral(" (número)"));
        numero->setRange(0, 255);
        numero->setValue(c.valor);
        connect(slider, &QSlider::valueChanged, numero, &QSpinBox::setValue);
        connect(numero, &QSpinBox::valueChanged, slider, &QSlider::setValue);
        connect(slider, &QSlider::valueChanged, this, &FrmColor::ActualizarCuadro);
        rejilla->addWidget(etiqueta, fila, 0);
        rejilla->addWidget(slider, fila, 1);
        rejilla->addWidget(numero, fila, 2);
        *c.slider = slider;
        ++fila;
    }
    lblValores_ = new QLabel(this);
    lblValores_->setAlignment(Qt::AlignCenter);

    auto* cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setDefault(true);
    auto* cmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    connect(cmdAceptar, &QPushButton::clicked, this, &FrmColor::Aceptar);
    connect(cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdCancelar);

    auto* muestra = new QVBoxLayout;
    muestra->addWidget(shpCuadro, 1);
    muestra->addWidget(lblValores_);
    auto* arriba = new QHBoxLayout;
    arriba->addLayout(muestra);
    arriba->addLayout(rejilla, 1);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(arriba);
    todo->addLayout(botones);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    estado_.blnColorElegido = false;
    ActualizarCuadro();
}

std::int32_t FrmColor::lngColorActual() const {
    return RGB(sldRojo->value(), sldVerde->value(), sldAzul->value());
}

void FrmColor::ActualizarCuadro() {
    QPalette paleta = shpCuadro->palette();
    paleta.setColor(QPalette::Window, QColor(NombreColor(lngColorActual())));
    shpCuadro->setPalette(paleta);
    lblValores_->setText(NombreColor(lngColorActual()).toUpper());
}

void FrmColor::Aceptar() {
    estado_.blnColorElegido = true;
    estado_.lngColorElegido = lngColorActual();
    accept();
}

} // namespace brumaria
