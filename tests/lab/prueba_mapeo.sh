#!/usr/bin/env bash
# The game's port mapping against a real router: miniupnpd opens the port
# by UPnP, or by NAT-PMP when UPnP is off in it; a friend on the internet
# then reaches the host; the mapping leaves miniupnpd's list when the
# session ends, when the program closes and, after a kill -9, when its
# lease runs out. A router without either says so within three seconds.
. "$(dirname "$0")/comun.sh"
ABRIR=${1:?abrir_puerto}
lab_requisitos
lab_construir

mapeado() { lab_mapeos | grep -q "^$1:47810:192.168.1.2:47810:"; }
sin_mapeo() { ! mapeado TCP && ! mapeado UDP; }
# A UPnP request carries the game's name; miniupnpd names a NAT-PMP one itself.
por_upnp() { lab_mapeos | grep -q "^TCP:47810:192.168.1.2:47810:.*:Brumaria$"; }
saludo() { lab_ejecutar hcono timeout 10 python3 -c "
import socket; s = socket.create_connection(('$LAB_WAN_UPNP', 47810), 5); print(s.recv(16).decode().strip())" 2>/dev/null; }
abierto() { dice "$1" "Tu dirección para jugar por Internet: $LAB_WAN_UPNP:47810"; }

for modo in upnp natpmp; do
    lab_miniupnpd "$modo" || { echo "MAL: miniupnpd no arranca"; FALLOS=$((FALLOS + 1)); break; }

    t=$(lab_ms)
    # A long lease where the removal is watched, so that it is not the
    # lease that removes it.
    lanzar sesion hupnp "$ABRIR" 47810 60
    esperar_que 3 abierto sesion
    igual 0 $? "$modo: el anfitrión lee su dirección pública en menos de 3 s ($(($(lab_ms) - t)) ms)"
    mapeado TCP && mapeado UDP
    igual 0 $? "$modo: miniupnpd tiene el puerto 47810 abierto en TCP y UDP hacia la casa"
    if [ "$modo" = upnp ]; then por_upnp; else ! por_upnp; fi
    igual 0 $? "$modo: es $modo lo que lo ha abierto"
    igual hola "$(saludo)" "$modo: un amigo desde otra casa llega al anfitrión por esa dirección"
    decir sesion cerrar
    esperar_que 2 sin_mapeo
    igual 0 $? "$modo: al terminar la conexión el puerto se cierra"
    decir sesion salir
    wait "$PID_sesion"

    lanzar programa hupnp "$ABRIR" 47810 60
    esperar_que 3 abierto programa && mapeado TCP
    igual 0 $? "$modo: otra vez abierto"
    decir programa salir
    wait "$PID_programa"
    esperar_que 2 sin_mapeo
    igual 0 $? "$modo: al cerrar el programa el puerto se cierra"

    # The game's window closing: the session ends and the program with it.
    lanzar ventana hupnp "$ABRIR" 47810 60
    esperar_que 3 abierto ventana && mapeado TCP
    igual 0 $? "$modo: abierto de nuevo"
    decir ventana terminar
    wait "$PID_ventana"
    sin_mapeo
    igual 0 $? "$modo: al cerrar la ventana, la sesión y el programa, el puerto ya se ha cerrado"

    lanzar matado hupnp "$ABRIR" 47810 4
    esperar_que 3 abierto matado && mapeado TCP
    igual 0 $? "$modo: abierto una tercera vez, por 4 s"
    sleep 5
    mapeado TCP
    igual 0 $? "$modo: el mapeo sigue pasado su arriendo, renovado"
    pkill -9 -P "$PID_matado" 2>/dev/null; kill -9 $(ip netns pids "$(lab_nombre hupnp)") 2>/dev/null
    wait "$PID_matado" 2>/dev/null
    mapeado TCP
    igual 0 $? "$modo: matado con kill -9, el mapeo queda"
    esperar_que 10 sin_mapeo
    igual 0 $? "$modo: y se va solo cuando se acaba su arriendo"

    lab_parar_miniupnpd
    rm -f "$LAB_DIR"/{sesion,programa,ventana,matado}.*
done

# No router that maps, only a TV on the LAN that answers the search for
# one: the host is told, in time, that no router was found and to open the
# port by hand.
lanzar tele rnada python3 "$(dirname "$0")/sonda.py" televisor 192.168.1.1 15
esperar_que 3 dice tele escuchando
t=$(lab_ms)
lanzar nada hnada "$ABRIR" 47810 4
esperar_que 3 dice nada "No se ha encontrado un router que abra puertos (UPnP ni NAT-PMP): para jugar por Internet, abre a mano el puerto 47810 (TCP y UDP) en el router."
igual 0 $? "sin UPnP ni NAT-PMP el anfitrión sabe en menos de 3 s que debe abrirlo a mano ($(($(lab_ms) - t)) ms)"
dice tele descripcion
igual 0 $? "el televisor contestó a la búsqueda y se leyó su descripción"
salida nada | tail -1
decir nada salir
terminar
