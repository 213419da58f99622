#!/usr/bin/env bash
# Builds the Debian package from a build folder, has lintian check it (any
# error or warning fails), validates its desktop entry and software-centre
# record, checks what it holds, unpacks it into a temporary folder and
# starts the unpacked game until its first paint.
#   scripts/paquete.sh [build folder]
set -euo pipefail
FUENTES="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$(cd "${1:-$FUENTES/build}" && pwd)"
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

cd "$BUILD"
rm -f brumaria_*.deb
cpack -G DEB -B "$TMP/cpack" >"$TMP/cpack.log" 2>&1 || { cat "$TMP/cpack.log"; exit 1; }
DEB="$(ls "$TMP"/cpack/brumaria_*.deb)"
echo "paquete: $(basename "$DEB") ($(stat -c %s "$DEB") bytes)"

# Debian's own checks: any error or warning fails.
lintian=0
lintian --fail-on error,warning --tag-display-limit 0 "$DEB" >"$TMP/lintian" 2>&1 || lintian=$?
grep -v '^running with root privileges' "$TMP/lintian" || true
[ "$lintian" -eq 0 ] || { echo "lintian da errores o avisos"; exit 1; }
echo "lintian: sin errores ni avisos"

dpkg-deb -c "$DEB" | awk '{print $6}' | sed 's#^\./#/#' >"$TMP/contenido"
falta=0
JUEGO=/usr/lib/games/brumaria
for ruta in /usr/games/brumaria $JUEGO/brumaria $JUEGO/libbrumaria_sonido_qt.so $JUEGO/libbrumaria_red.so \
            $JUEGO/alerta.wav $JUEGO/imagenes/agua.jpg $JUEGO/ayuda/index.html \
            /usr/share/man/man6/brumaria.6.gz \
            /usr/share/doc/brumaria/copyright /usr/share/doc/brumaria/changelog.gz \
            /usr/share/applications/org.brumaria.Brumaria.desktop \
            /usr/share/metainfo/org.brumaria.Brumaria.metainfo.xml \
            /usr/share/icons/hicolor/scalable/apps/brumaria.svg \
            /usr/share/icons/hicolor/48x48/apps/brumaria.png \
            /usr/share/icons/hicolor/256x256/apps/brumaria.png; do
  grep -qx -- "$ruta" "$TMP/contenido" || { echo "falta en el paquete: $ruta"; falta=1; }
done
# Nothing of the build or the tests slips in.
if grep -E 'test|bench|conductor|CMake|\.a$' "$TMP/contenido"; then
  echo "el paquete lleva archivos que no son del juego"; falta=1
fi
[ "$falta" -eq 0 ]

dpkg-deb -f "$DEB" Package Version Architecture Section Depends
dpkg-deb -f "$DEB" Depends | grep -q libqt6widgets6 || { echo "sin dependencia de Qt"; exit 1; }

dpkg -x "$DEB" "$TMP/raiz"
desktop-file-validate "$TMP/raiz/usr/share/applications/org.brumaria.Brumaria.desktop"
appstreamcli validate --no-net "$TMP/raiz/usr/share/metainfo/org.brumaria.Brumaria.metainfo.xml"
[ "$(readlink "$TMP/raiz/usr/games/brumaria")" = "../lib/games/brumaria/brumaria" ] ||
  { echo "/usr/games/brumaria no apunta al programa"; exit 1; }
# The desktop entry starts the command among the games.
grep -qx 'Exec=brumaria' "$TMP/raiz/usr/share/applications/org.brumaria.Brumaria.desktop" ||
  { echo "la entrada de escritorio no arranca brumaria"; exit 1; }
# The manual page reads, and says what --help says.
man -l "$TMP/raiz/usr/share/man/man6/brumaria.6.gz" >"$TMP/manual" 2>"$TMP/manual.err"
[ ! -s "$TMP/manual.err" ] || { cat "$TMP/manual.err"; echo "la página de manual no se lee limpia"; exit 1; }
grep -q -- "--solo-local" "$TMP/manual" || { echo "la página de manual no lista las opciones"; exit 1; }
! grep -E "Displays|\[options\]" "$TMP/manual" || { echo "la página de manual no está toda en español"; exit 1; }

# Qt Network comes only with the network module, loaded on the first
# network game; the module finds the game's own code in the program.
necesita() { readelf -d "$1" | grep -q "NEEDED.*$2"; }
! necesita "$TMP/raiz$JUEGO/brumaria" libQt6Network ||
  { echo "el programa carga Qt Network al arrancar"; exit 1; }
necesita "$TMP/raiz$JUEGO/libbrumaria_red.so" libQt6Network ||
  { echo "el módulo de red no lleva Qt Network"; exit 1; }
dpkg-deb -f "$DEB" Depends | grep -q libqt6network6 || { echo "sin dependencia de Qt Network"; exit 1; }
dpkg-deb -f "$DEB" Depends | grep -q libqt6svg6 || { echo "sin el lector de svg de Qt"; exit 1; }

# The unpacked game starts from its own folder and paints its window,
# without the SVG library: the ship pieces' reader comes with the first piece.
QT_QPA_PLATFORM=offscreen DBUS_SESSION_BUS_ADDRESS=disabled: LD_DEBUG=files LD_DEBUG_OUTPUT="$TMP/carga" \
  timeout 30 "$TMP/raiz$JUEGO/brumaria" --salir-tras-pintar
! grep -q "file=libQt6Svg" "$TMP"/carga.* || { echo "el programa carga Qt Svg al arrancar"; exit 1; }
echo "el juego desempaquetado arranca"
# Every symbol the network module takes from the program is there: the
# module bound at once, before the first paint. A sanitizer build's runtime
# must come first of all.
precarga="$(ldd "$TMP/raiz$JUEGO/brumaria" | awk '/libasan/ {print $3 ":"}')"
precarga="$precarga$TMP/raiz$JUEGO/libbrumaria_red.so"
QT_QPA_PLATFORM=offscreen DBUS_SESSION_BUS_ADDRESS=disabled: timeout 30 \
  env LD_BIND_NOW=1 LD_PRELOAD="$precarga" \
  "$TMP/raiz$JUEGO/brumaria" --salir-tras-pintar
echo "el módulo de red encaja en el programa"
