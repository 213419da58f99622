#!/usr/bin/env bash
# Two real copies of the game in two homes of the lab play through an
# invitation code: the host's window shows the code, the guest types it,
# and the two find each other on the lab's DHT and cross their routers
# with ICE (STUN and, when set, TURN from the lab's coturn). A whole match
# with a greeting each way in the chat. Cases (host - guest):
#   cono-restr, restr-restr, cgn-cono   hole punched, no relay
#   ipv6                                the IPv6 home - the IPv6-only home
#   sim-turn                            symmetric - symmetric through TURN;
#                                       a capture on the internet shows no
#                                       name, chat, or message of the match
#   sim                                 the same without TURN: both told
#                                       within 30 s the routers cannot be crossed
#   turn-mala                           the TURN refuses the password: told so
#   codigo-malo                         the guest types another number: told
#                                       within 30 s that no game has that code
#   usado                               cono-restr, and once they play a third
#                                       copy in another home types the same
#                                       code: told it is spent
. "$(dirname "$0")/comun.sh"
CONDUCTOR=${1:?conductor_red}
BINARIOS=${2:?carpeta del juego}
NODO=${3:?brumaria_nodo_dht}
CASO=${4:?caso}
lab_requisitos
command -v turnserver >/dev/null || lab_omitir "falta turnserver (coturn; scripts/deps.sh lo instala)"
lab_construir

turn="" esperado="directamente" fallo=""
case $CASO in
cono-restr) casa_host=hcono casa_invitado=hrestr ;;
restr-restr) casa_host=hrestr casa_invitado=hrestr2 ;;
cgn-cono) casa_host=hcgn casa_invitado=hcono ;;
ipv6) casa_host=hupnp casa_invitado=h6o ;;
sim-turn) casa_host=hsim casa_invitado=hsim2 turn=turn esperado="retransmisión" ;;
sim) casa_host=hsim casa_invitado=hsim2 fallo="No se ha podido cruzar los routers" ;;
turn-mala) casa_host=hsim casa_invitado=hsim2 turn=turn-mala fallo="no ha aceptado el usuario o la contraseña" ;;
usado) casa_host=hcono casa_invitado=hrestr tercero=hrestr2 ;;
codigo-malo) casa_host=hcono casa_invitado=hrestr fallo="No hay ninguna partida con ese código"
    export BRUMARIA_LAB_CODIGO_ERRONEO=1 ;;
*) echo "caso desconocido: $CASO"; exit 2 ;;
esac

lab_dht "$NODO" || { echo "MAL: la red de encuentro del laboratorio no arranca"; exit 1; }
lab_turn || { echo "MAL: el coturn del laboratorio no arranca"; exit 1; }
for lado in host invitado ${tercero:+tercero}; do
    mkdir -p "$LAB_DIR/$lado"
    (cd "$BINARIOS" && find . -type f ! -perm -u+x ! -name Config.dat ! -name Historial.txt \
        ! -name red.ini -exec cp --parents {} "$LAB_DIR/$lado" \;)
    # A wrong password is the guest's own mistake: his host has none.
    if [ "$turn" = turn-mala ] && [ "$lado" = host ]; then lab_red_ini "$LAB_DIR/$lado" ""
    else lab_red_ini "$LAB_DIR/$lado" "$turn"; fi
done
mkdir -p "$LAB_DIR/encuentros/flotas"
export DBUS_SESSION_BUS_ADDRESS=disabled:
if lab_pantalla; then export QT_QPA_PLATFORM=xcb; else export QT_QPA_PLATFORM=offscreen; fi
[ -n "$fallo" ] && export BRUMARIA_LAB_FALLO_ESPERADO="$fallo"

# What crosses the lab's internet, for the relayed case.
if [ "$CASO" = sim-turn ] && command -v tcpdump >/dev/null; then
    lab_ejecutar inet tcpdump -i br0 -n -U -s 0 -w "$LAB_DIR/captura.pcap" udp \
        >"$LAB_DIR/tcpdump.log" 2>&1 &
    captura=$!
    esperar_que 5 grep -q "listening on" "$LAB_DIR/tcpdump.log"
fi

# The milliseconds from the code typed to the failure a copy left in $1
# are 30 s at most; $2 says what.
supo_a_tiempo() {
    local ms
    ms=$(cat "$1" 2>/dev/null)
    [ -n "$ms" ] && [ "$ms" -le 30000 ]
    igual 0 $? "$2 (${ms:-nunca} ms)"
}

lab_comprobar || exit 1
lab_ejecutar "$casa_host" "$CONDUCTOR" host "$LAB_DIR/host" "$LAB_DIR/encuentros" redcodigo:tu \
    >"$LAB_DIR/host.log" 2>&1 &
host=$!
lab_ejecutar "$casa_invitado" "$CONDUCTOR" invitado "$LAB_DIR/invitado" "$LAB_DIR/encuentros" \
    redcodigo:tu >"$LAB_DIR/invitado.log" 2>&1 &
invitado=$!

# The third hears of the code from the same friend, once the two play; he
# meets in a folder of his own, so nothing of his touches theirs.
if [ -n "${tercero:-}" ]; then
    esperar_que 40 test -s "$LAB_DIR/encuentros/flotas/primer-turno-invitado"
    mkdir -p "$LAB_DIR/encuentros3/flotas"
    cp "$LAB_DIR/encuentros/flotas/codigo" "$LAB_DIR/encuentros3/flotas/"
    lab_ejecutar "$tercero" env BRUMARIA_LAB_FALLO_ESPERADO="Ese código ya se ha usado" \
        "$CONDUCTOR" invitado "$LAB_DIR/tercero" "$LAB_DIR/encuentros3" redcodigo:tu \
        >"$LAB_DIR/tercero.log" 2>&1
    igual 0 $? "el tercero acabó como debía"
    supo_a_tiempo "$LAB_DIR/encuentros3/flotas/fallo-invitado" \
        "el tercero supo en menos de 30 s que el código ya se había usado"
fi

wait "$invitado"
igual 0 $? "el invitado llegó hasta el final (${fallo:-partida entera y saludo leído})"
if [ -n "$fallo" ]; then
    # What the host hears of a guest who could not reach him is not this case's point.
    kill "$host" 2>/dev/null; wait "$host" 2>/dev/null
else
    wait "$host"
    igual 0 $? "el anfitrión jugó la partida entera y leyó el saludo de su invitado"
fi
codigo=$(cat "$LAB_DIR/encuentros/flotas/codigo" 2>/dev/null)
[[ "$codigo" =~ ^[0-9]+(-[a-z]+){4}$ ]]
igual 0 $? "el anfitrión leyó en su ventana un código de invitación ($codigo)"
if [ -n "$fallo" ]; then
    supo_a_tiempo "$LAB_DIR/encuentros/flotas/fallo-invitado" \
        "el invitado supo en menos de 30 s que no se podía"
else
    grep -a -q "Conectados .*$esperado" "$LAB_DIR/invitado/Historial.txt" 2>/dev/null ||
        iconv -f cp1252 -t utf-8 "$LAB_DIR/invitado/Historial.txt" | grep -q "Conectados .*$esperado"
    igual 0 $? "el invitado leyó «Conectados … $esperado»"
    echo "del código al primer turno: $(cat "$LAB_DIR/encuentros/flotas/primer-turno-invitado" 2>/dev/null) ms"
fi
if [ -n "${captura:-}" ]; then
    kill "$captura" 2>/dev/null; wait "$captura" 2>/dev/null
    igual 1 "$([ -s "$LAB_DIR/captura.pcap" ] && echo 1 || echo 0)" "la captura del relé tiene paquetes"
    # The control: TURN's realm goes in the clear, so a grep that finds
    # nothing below has really read the relay's packets.
    grep -a -q -F -- "brumaria.lab" "$LAB_DIR/captura.pcap"
    igual 0 $? "la captura lleva el dominio del TURN en claro (la prueba lee los paquetes)"
    for claro in "Mesa de Ana" "soy Ana" "soy Bea" "0;1;" "0;2;" "0;3;" "0;5;" "ECF6F199"; do
        grep -a -q -F -- "$claro" "$LAB_DIR/captura.pcap"
        igual 1 $? "la captura del relé no lleva «$claro» en claro"
    done
fi
[ "$FALLOS" -eq 0 ] || tail -n 20 "$LAB_DIR/host.log" "$LAB_DIR/invitado.log"
terminar
