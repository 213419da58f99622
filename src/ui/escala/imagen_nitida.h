#pragma once
// A picture that stays sharp at any size and device pixel ratio: an SVG is
// drawn from its vectors, a raster picture (the player's own water or hidden
// squares) is scaled smoothly from its full resolution. Each size is drawn
// once and kept; copies share the picture and its drawings.
#include <QImage>
#include <QRectF>
#include <QString>
#include <memory>

class QPainter;

namespace brumaria {

class ImagenNitida {
public:
    ImagenNitida() = default;
    explicit ImagenNitida(const QImage& raster);

    // The picture in `ruta`, null when it cannot be read. An .svg file is
    // drawn as vectors; with `blnPreferirSvg`, an SVG of the same name beside
    // a raster file is used in its place (the shipped pieces come as both).
    static ImagenNitida Cargar(const QString& ruta, bool blnPreferirSvg = false);

    bool isNull() const { return !d_; }
    // The same number for copies of one picture.
    qint64 cacheKey() const;

    // Fills `destino` (logical pixels) with the picture, at the painter's
    // device pixel ratio.
    void Dibujar(QPainter& p, const QRectF& destino) const;

private:
    struct Datos;
    std::shared_ptr<Datos> d_;
};

// A PNG read as one: left to guess the format, Qt would ask every picture
// plugin installed, loading each.
QImage LeerPng(const QString& ruta);

} // namespace brumaria
