#!/usr/bin/env python3
"""Draws the game's pictures, the alert sound and the application icon.

Standard library only: pictures are written as PNG here and turned into
GIF/JPEG with ImageMagick `convert`; the ship pieces and the hit mark are
also written as SVG, the same drawing in vectors, which the game prefers so
that they stay sharp at any window size. The generated files are committed, so
a build never needs this script; run it again only to change the art:

    python3 assets/tools/dibujar_recursos.py
"""
import math
import os
import struct
import subprocess
import sys
import tempfile
import wave
import zlib

AQUI = os.path.dirname(os.path.abspath(__file__))
ASSETS = os.path.dirname(AQUI)
IMAGENES = os.path.join(ASSETS, "imagenes")
ICONOS = os.path.join(ASSETS, "icons")

LADO = 34  # ship pieces and hit mark: drawn at 2x the 17 px square
SUB = 4  # supersampling per axis for smooth edges


def escribir_png(ruta, ancho, alto, pixeles):
    """pixeles: list of rows of (r, g, b, a) tuples, 0..255."""
    crudo = bytearray()
    for fila in pixeles:
        crudo.append(0)
        for r, g, b, a in fila:
            crudo += bytes((r, g, b, a))

    def trozo(tipo, datos):
        c = struct.pack(">I", len(datos)) + tipo + datos
        return c + struct.pack(">I", zlib.crc32(tipo + datos) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += trozo(b"IHDR", struct.pack(">IIBBBBB", ancho, alto, 8, 6, 0, 0, 0))
    png += trozo(b"IDAT", zlib.compress(bytes(crudo), 9))
    png += trozo(b"IEND", b"")
    with open(ruta, "wb") as f:
        f.write(png)


def rasterizar(ancho, alto, color_en):
    """color_en(x, y) -> (r, g, b, a) or None, x/y in pixel units."""
    filas = []
    n = SUB * SUB
    for py in range(alto):
        fila = []
        for px in range(ancho):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUB):
                for sx in range(SUB):
                    c = color_en(px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB)
                    if c is None:
                        continue
                    a = c[3] / 255.0
                    acc[0] += c[0] * a
                    acc[1] += c[1] * a
                    acc[2] += c[2] * a
                    acc[3] += a
            if acc[3] > 0:
                fila.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]),
                             round(acc[2] / acc[3]), round(255 * acc[3] / n)))
            else:
                fila.append((0, 0, 0, 0))
        filas.append(fila)
    return filas


def mezclar(c, d, t):
    return tuple(round(c[i] * (1 - t) + d[i] * t) for i in range(3)) + (c[3],)


# --- ship pieces ---------------------------------------------------------
CASCO = (88, 98, 112, 255)
CASCO_LUZ = (150, 162, 178, 255)
CUBIERTA = (196, 204, 214, 255)
BORDE = (36, 42, 52, 255)
OJO = (255, 214, 90, 255)


def pieza(extremos, vertical):
    """extremos: (bow at start, stern at end) of the hull along the ship."""
    proa, popa = extremos
    m = LADO / 2.0
    media = 9.0  # half the hull's breadth

    def color_en(x, y):
        u, v = (y, x) if vertical else (x, y)  # u along the ship, v across
        d = abs(v - m)
        # Rounded ends: the hull narrows within 12 px of a closed end.
        limite = media
        if proa and u < 14:
            t = (14 - u) / 14.0
            limite = media * math.sqrt(max(0.0, 1 - t * t))
            if u < 1.5:
                return None
        if popa and u > LADO - 10:
            t = (u - (LADO - 10)) / 10.0
            limite = media * math.sqrt(max(0.0, 1 - t ** 4))
            if u > LADO - 1.5:
                return None
        if d > limite:
            return None
        if d > limite - 1.6:
            return BORDE
        # Deck stripe, a light top edge and portholes.
        if d < 3.2 and (not proa or u > 9) and (not popa or u < LADO - 7):
            return CUBIERTA
        sombra = (v - m) / media
        base = mezclar(CASCO, CASCO_LUZ, max(0.0, -sombra) * 0.8)
        if abs(d - 5.6) < 1.3 and int(u) % 8 in (3, 4):
            return OJO
        return base

    return color_en


def previa(color_en):
    def c(x, y):
        col = color_en(x, y)
        if col is None:
            return None
        return mezclar(col, (255, 255, 255, 255), 0.55)[:3] + (200,)
    return c


def ataque(x, y):
    m = LADO / 2.0
    dx, dy = x - m, y - m
    r = math.hypot(dx, dy)
    ang = math.atan2(dy, dx)
    puntas = 8.5 + 4.5 * math.cos(8 * ang)
    if r > puntas + 4:
        return None
    if r > puntas + 2.5:
        return (120, 16, 8, 255)
    if r < 4.5:
        return (255, 244, 170, 255)
    t = min(1.0, r / (puntas + 2.5))
    return mezclar((255, 200, 40, 255), (214, 34, 18, 255), t)


def agua(ancho, alto):
    filas = []
    for y in range(alto):
        fila = []
        for x in range(ancho):
            o = (math.sin(x * 0.21 + math.sin(y * 0.13) * 2.2) +
                 math.sin(y * 0.37 + x * 0.05) * 0.7 +
                 math.sin((x + y) * 0.11) * 0.5)
            t = (o + 2.2) / 4.4
            c = mezclar((64, 140, 196, 255), (150, 210, 240, 255), t)
            if o > 1.55:  # wave crests
                c = mezclar(c, (235, 248, 255, 255), min(1.0, (o - 1.55) * 1.8))
            fila.append(c)
        filas.append(fila)
    return filas


def icono(n):
    esc = n / 64.0

    def color_en(x, y):
        u, v = x / esc, y / esc
        # Rounded square of sea.
        dx = max(abs(u - 32) - 24, 0)
        dy = max(abs(v - 32) - 24, 0)
        if math.hypot(dx, dy) > 6:
            return None
        if math.hypot(dx, dy) > 4.8:
            return (20, 60, 100, 255)
        mar = mezclar((40, 110, 170, 255), (120, 196, 236, 255), (64 - v) / 64)
        # Grid lines.
        if (int(u) - 8) % 12 == 0 or (int(v) - 8) % 12 == 0:
            mar = mezclar(mar, (255, 255, 255, 255), 0.25)
        # A ship across the middle.
        if 30 < v < 40 and 12 < u < 52:
            borde = 40 - v
            proa = (u - 12) / 8.0
            if u < 20 and abs(v - 35) > 5 * proa:
                return mar
            return BORDE if (v > 38.5 or (u < 20 and abs(v - 35) > 5 * proa - 1.2)) else \
                (CUBIERTA if borde > 6 else CASCO)
        if 22 < v <= 30 and 28 < u < 40:
            return CASCO_LUZ if v > 23.2 and 29.2 < u < 38.8 else BORDE
        # Hit mark at the top right.
        r = math.hypot(u - 46, v - 17)
        if r < 7:
            return (255, 210, 60, 255) if r < 3 else (220, 40, 20, 255)
        return mar

    return color_en


# --- the same pieces as vectors --------------------------------------------
def hexa(c):
    return "#%02x%02x%02x" % c[:3]


def pieza_svg(extremos, vertical, es_previa):
    """The drawing of pieza() as an SVG document, LADO units square."""
    proa, popa = extremos
    m = LADO / 2.0
    media = 9.0
    tono = (lambda c: mezclar(c, (255, 255, 255, 255), 0.55)) if es_previa else (lambda c: c)

    def casco(hueco):
        # Bow: a half ellipse ending 14 units in; stern: a blunt curve. The
        # inner hull (hueco 1.6) leaves the dark edge all round.
        ancho = media - hueco
        arriba, abajo = m - ancho, m + ancho
        if proa:
            d = "M 14 %.2f A %.2f %.2f 0 0 0 14 %.2f " % (arriba, 13 - hueco, ancho, abajo)
        else:
            d = "M 0 %.2f L 0 %.2f L 14 %.2f " % (arriba, abajo, abajo)
        if popa:
            punta = 32.6 - hueco
            d += "L 24 %.2f C 31 %.2f %.2f %.2f %.2f %.2f C %.2f %.2f 31 %.2f 24 %.2f Z" % (
                abajo, abajo, punta, m + ancho * 0.55, punta, m,
                punta, m - ancho * 0.55, arriba, arriba)
        else:
            d += "L %d %.2f L %d %.2f Z" % (LADO, abajo, LADO, arriba)
        return d

    partes = []
    partes.append('<defs><linearGradient id="luz" x1="0" y1="%.1f" x2="0" y2="%.1f" '
                  'gradientUnits="userSpaceOnUse">' % (m - media, m))
    partes.append('<stop offset="0" stop-color="%s"/>' % hexa(tono(mezclar(CASCO, CASCO_LUZ, 0.8))))
    partes.append('<stop offset="1" stop-color="%s"/></linearGradient></defs>' % hexa(tono(CASCO)))
    giro = ' transform="matrix(0 1 1 0 0 0)"' if vertical else ""
    opacidad = ' opacity="%.3f"' % (200 / 255.0) if es_previa else ""
    partes.append("<g%s%s>" % (giro, opacidad))
    partes.append('<path d="%s" fill="%s"/>' % (casco(0), hexa(tono(BORDE))))
    partes.append('<path d="%s" fill="url(#luz)"/>' % casco(1.6))
    inicio = 9 if proa else 0
    fin = LADO - 7 if popa else LADO
    partes.append('<rect x="%d" y="%.1f" width="%d" height="6.4" fill="%s"/>' % (
        inicio, m - 3.2, fin - inicio, hexa(tono(CUBIERTA))))
    for u in range(3, LADO, 8):
        # Portholes only where the hull is wide enough to hold them.
        if (proa and u < 6) or (popa and u > LADO - 8):
            continue
        for y in (m - 6.9, m + 4.3):
            partes.append('<rect x="%d" y="%.1f" width="2" height="2.6" fill="%s"/>' % (
                u, y, hexa(tono(OJO))))
    partes.append("</g>")
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
            'viewBox="0 0 %d %d">%s</svg>\n' % (LADO, LADO, LADO, LADO, "".join(partes)))


def ataque_svg():
    m = LADO / 2.0

    def estrella(extra):
        puntos = []
        for i in range(96):
            ang = 2 * math.pi * i / 96
            r = 8.5 + 4.5 * math.cos(8 * ang) + extra
            puntos.append("%.2f,%.2f" % (m + r * math.cos(ang), m + r * math.sin(ang)))
        return " ".join(puntos)

    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">'
            '<defs><radialGradient id="fuego" cx="%.1f" cy="%.1f" r="15.5" '
            'gradientUnits="userSpaceOnUse"><stop offset="0" stop-color="#ffc828"/>'
            '<stop offset="1" stop-color="#d62212"/></radialGradient></defs>'
            '<polygon points="%s" fill="#781008"/><polygon points="%s" fill="url(#fuego)"/>'
            '<circle cx="%.1f" cy="%.1f" r="4.5" fill="#fff4aa"/></svg>\n' % (
                LADO, LADO, LADO, LADO, m, m, estrella(4), estrella(2.5), m, m))


def escribir(ruta, texto):
    with open(ruta, "w", encoding="utf-8") as f:
        f.write(texto)


def convertir(png, destino, *opciones):
    subprocess.run(["convert", png, *opciones, destino], check=True)


def sonido(ruta):
    """A short two-tone chime with 320 ms of trailing silence."""
    frec = 22050
    muestras = []
    for nota, dur in ((880.0, 0.12), (1318.5, 0.22)):
        n = int(frec * dur)
        for i in range(n):
            t = i / frec
            env = min(1.0, i / 200.0) * math.exp(-5.0 * t)
            s = math.sin(2 * math.pi * nota * t) + 0.3 * math.sin(4 * math.pi * nota * t)
            muestras.append(int(12000 * env * s))
    muestras += [0] * int(frec * 0.32)
    with wave.open(ruta, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(frec)
        w.writeframes(b"".join(struct.pack("<h", m) for m in muestras))


def main():
    os.makedirs(IMAGENES, exist_ok=True)
    os.makedirs(ICONOS, exist_ok=True)
    piezas = {
        "barcoh1": ((True, False), False), "barcoh2": ((False, False), False),
        "barcoh3": ((False, True), False), "barcoh4": ((True, True), False),
        "barcov1": ((True, False), True), "barcov2": ((False, False), True),
        "barcov3": ((False, True), True),
    }
    with tempfile.TemporaryDirectory() as tmp:
        for nombre, (extremos, vertical) in piezas.items():
            dibujo = pieza(extremos, vertical)
            for sufijo, f in (("", dibujo), ("2", previa(dibujo))):
                png = os.path.join(tmp, nombre + sufijo + ".png")
                escribir_png(png, LADO, LADO, rasterizar(LADO, LADO, f))
                convertir(png, os.path.join(IMAGENES, nombre + sufijo + ".gif"))
                escribir(os.path.join(IMAGENES, nombre + sufijo + ".svg"),
                         pieza_svg(extremos, vertical, sufijo == "2"))
        escribir(os.path.join(IMAGENES, "ataque.svg"), ataque_svg())
        png = os.path.join(tmp, "ataque.png")
        escribir_png(png, LADO, LADO, rasterizar(LADO, LADO, ataque))
        convertir(png, os.path.join(IMAGENES, "ataque.gif"))
        png = os.path.join(tmp, "agua.png")
        escribir_png(png, 322, 322, agua(322, 322))
        convertir(png, os.path.join(IMAGENES, "agua.jpg"), "-quality", "88")
    for n in (16, 32, 48, 64, 128, 256):
        carpeta = os.path.join(ICONOS, "hicolor", "%dx%d" % (n, n), "apps")
        os.makedirs(carpeta, exist_ok=True)
        escribir_png(os.path.join(carpeta, "brumaria.png"), n, n, rasterizar(n, n, icono(n)))
    # The sunk counters carry the horizontal pieces built in, as vectors.
    incorporadas = os.path.join(os.path.dirname(ASSETS), "src", "ui", "main", "incorporadas")
    os.makedirs(incorporadas, exist_ok=True)
    for n in range(1, 5):
        nombre = "barcoh%d" % n
        escribir(os.path.join(incorporadas, nombre + ".svg"),
                 pieza_svg(piezas[nombre][0], False, False))
    sonido(os.path.join(ASSETS, "alerta.wav"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
