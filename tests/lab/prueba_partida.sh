#!/usr/bin/env bash
# Two real copies of the game in two homes of the lab, their windows on one
# shared X display, each acting through its window (the scripted driver of
# the network tests): the host creates a
# TCP/IP game, reads in his window the address the router gave him, the
# guest types it, and one whole match is played with a greeting each way in
# the chat. Cases:
#   cono, restr, sim, cgn  the host behind miniupnpd (UPnP), the guest
#                          behind that kind of router
#   natpmp                 the same with UPnP off in miniupnpd
#   ipv6                   the host's IPv6 address, typed from the IPv6-only home
#   nombre                 the guest behind the full-cone router types a host
#                          name (his own hosts file gives its address)
#   pronto                 the guest behind the full-cone router already
#                          knows the address and searches before the host
#                          has created the game (the host starts 3 s later)
#   sinrouter              a host behind the router that maps nothing: told
#                          within 3 s to open the port by hand, and a friend
#                          at home still plays him
. "$(dirname "$0")/comun.sh"
CONDUCTOR=${1:?conductor_red}
BINARIOS=${2:?carpeta del juego}
CASO=${3:?caso}
lab_requisitos
lab_construir

casa_host=hupnp casa_invitado=h$CASO guion=red:azar0 publica="$LAB_WAN_UPNP:47810"
case $CASO in
cono | restr | sim | cgn) lab_miniupnpd upnp ;;
natpmp) lab_miniupnpd natpmp; casa_invitado=hcono ;;
ipv6) lab_miniupnpd upnp; casa_invitado=h6o guion=red6:azar0 publica="[2001:db8:10::2]:47810" ;;
sinrouter) casa_host=hnada casa_invitado=hnada publica="" ;;
nombre) lab_miniupnpd upnp; casa_invitado=hcono
    lab_nombres hcono "$LAB_WAN_UPNP casa-de-ana.lab"
    export BRUMARIA_LAB_DIRECCION=casa-de-ana.lab:47810 ;;
pronto) lab_miniupnpd upnp; casa_invitado=hcono
    export BRUMARIA_LAB_DIRECCION="$LAB_WAN_UPNP:47810" BRUMARIA_LAB_PRONTO=1 ;;
*) echo "caso desconocido: $CASO"; exit 2 ;;
esac

# Each copy its own program folder, with the game's files.
for lado in host invitado; do
    mkdir -p "$LAB_DIR/$lado"
    (cd "$BINARIOS" && find . -type f ! -perm -u+x ! -name Config.dat ! -name Historial.txt \
        -exec cp --parents {} "$LAB_DIR/$lado" \;)
done
mkdir -p "$LAB_DIR/encuentros/flotas"
export DBUS_SESSION_BUS_ADDRESS=disabled:
if lab_pantalla; then
    export QT_QPA_PLATFORM=xcb
    echo "las dos ventanas en la pantalla $DISPLAY"
else
    echo "sin Xvfb: las dos copias juegan sin pantalla" >&2
    export QT_QPA_PLATFORM=offscreen
fi
[ "$CASO" = sinrouter ] && export BRUMARIA_LAB_DIRECCION=192.168.1.2:47810

lab_comprobar || exit 1 # once more, right before the game starts
lab_ejecutar "$casa_invitado" "$CONDUCTOR" invitado "$LAB_DIR/invitado" "$LAB_DIR/encuentros" \
    "$guion" >"$LAB_DIR/invitado.log" 2>&1 &
invitado=$!
[ "$CASO" = pronto ] && sleep 3 # the guest's queries reach the router before any mapping
lab_ejecutar "$casa_host" "$CONDUCTOR" host "$LAB_DIR/host" "$LAB_DIR/encuentros" "$guion" \
    >"$LAB_DIR/host.log" 2>&1 &
host=$!

dicho() { [ -s "$LAB_DIR/encuentros/flotas/direccion" ] || [ -s "$LAB_DIR/encuentros/flotas/aviso" ]; }
esperar_que 30 dicho # the "pronto" host starts 3 s late
# LAB_CAPTURA=file.png keeps a picture of the shared screen at this moment.
[ -n "${LAB_CAPTURA:-}" ] && [ -n "${LAB_XVFB:-}" ] && command -v import >/dev/null &&
    import -display "$DISPLAY" -window root "$LAB_CAPTURA"
if [ -n "$publica" ]; then
    igual "$publica" "$(cat "$LAB_DIR/encuentros/flotas/direccion" 2>/dev/null)" \
        "el anfitrión lee en su ventana la dirección para su amigo"
    [ "$CASO" != ipv6 ] && { lab_mapeos | grep -q "^TCP:47810:192.168.1.2:47810:"; igual 0 $? \
        "miniupnpd tiene el puerto del anfitrión mientras dura la sesión"; }
else
    aviso=$(cat "$LAB_DIR/encuentros/flotas/aviso" 2>/dev/null)
    [ -n "$aviso" ] && [ "$aviso" -lt 3000 ]
    igual 0 $? "sin router que abra puertos, el anfitrión lo sabe en menos de 3 s (${aviso:-nunca} ms)"
fi

wait "$host"
igual 0 $? "el anfitrión jugó la partida entera y leyó el saludo de su invitado"
wait "$invitado"
igual 0 $? "el invitado jugó la partida entera y leyó el saludo del anfitrión"
if [ "$CASO" != sinrouter ] && [ "$CASO" != ipv6 ]; then
    sin_mapeo() { ! lab_mapeos | grep -q ":47810:192.168.1.2:"; }
    esperar_que 2 sin_mapeo
    igual 0 $? "cerrada la ventana del anfitrión, miniupnpd ya no tiene su puerto"
fi
[ "$FALLOS" -eq 0 ] || tail -n 15 "$LAB_DIR/host.log" "$LAB_DIR/invitado.log"
terminar
