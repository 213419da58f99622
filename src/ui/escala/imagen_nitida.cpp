#include "ui/escala/imagen_nitida.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <array>

namespace brumaria {

struct ImagenNitida::Datos {
    // An SVG is drawn by Qt's svg picture reader, which the game loads on
    // the first piece drawn rather than at start-up; its text is kept, so
    // a new size is drawn without reading the file again.
    QByteArray svg;
    QImage raster;
    qint64 clave = 0;
    // The sizes drawn last: a board draws every piece at one size, and at
    // most a few windows show the same piece at once.
    struct Dibujo {
        QSize tamaño;
        QPixmap pixmap;
    };
    std::array<Dibujo, 4> dibujos;
    std::size_t siguiente = 0;
};

namespace {
qint64 NuevaClave() {
    static qint64 ultima = 0;
    return ++ultima;
}
} // namespace

ImagenNitida::ImagenNitida(const QImage& raster) {
    if (raster.isNull()) return;
    d_ = std::make_shared<Datos>();
    d_->raster = raster;
    d_->clave = NuevaClave();
}

ImagenNitida ImagenNitida::Cargar(const QString& ruta, bool blnPreferirSvg) {
    const QFileInfo info(ruta);
    QString vectorial;
    if (info.suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0)
        vectorial = ruta;
    else if (blnPreferirSvg)
        vectorial = info.dir().filePath(info.completeBaseName() + QStringLiteral(".svg"));
    if (QFile archivo(vectorial); !vectorial.isEmpty() && archivo.open(QIODevice::ReadOnly)) {
        QByteArray texto = archivo.readAll();
        QBuffer b(&texto);
        QImageReader svg(&b, "svg");
        if (svg.canRead() && svg.size().isValid()) {
            ImagenNitida r;
            r.d_ = std::make_shared<Datos>();
            r.d_->svg = std::move(texto);
            r.d_->clave = NuevaClave();
            return r;
        }
    }
    if (!info.isFile()) return {};
    QImageReader lector(ruta);
    return ImagenNitida(lector.read());
}

QImage LeerPng(const QString& ruta) {
    QImageReader png(ruta, "png");
    png.setAutoDetectImageFormat(false);
    return png.read();
}

qint64 ImagenNitida::cacheKey() const {
    return d_ ? d_->clave : 0;
}

void ImagenNitida::Dibujar(QPainter& p, const QRectF& destino) const {
    if (!d_) return;
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QSize tamaño = (destino.size() * dpr).toSize();
    if (tamaño.isEmpty()) return;
    const Datos::Dibujo* dibujo = nullptr;
    for (const Datos::Dibujo& d : d_->dibujos)
        if (d.tamaño == tamaño && qFuzzyCompare(d.pixmap.devicePixelRatio(), dpr)) dibujo = &d;
    if (!dibujo) {
        QImage img;
        if (!d_->svg.isEmpty()) {
            QBuffer b(&d_->svg);
            QImageReader svg(&b, "svg");
            svg.setScaledSize(tamaño);
            img = svg.read();
        } else {
            img = d_->raster.scaled(tamaño, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        Datos::Dibujo& nuevo = d_->dibujos[d_->siguiente++ % d_->dibujos.size()];
        nuevo.tamaño = tamaño;
        nuevo.pixmap = QPixmap::fromImage(img);
        nuevo.pixmap.setDevicePixelRatio(dpr);
        dibujo = &nuevo;
    }
    // Drawn pixel for pixel: the picture was made at this very size.
    p.drawPixmap(destino.topLeft(), dibujo->pixmap);
}

} // namespace brumaria
