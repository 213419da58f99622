#!/usr/bin/env bash
# Each home router of the lab translates as its kind says, seen from a
# server on the lab's internet (198.51.100.1): which public address and
# port a home's UDP socket gets for two destinations, and whether a third,
# never written to, gets through to it.
. "$(dirname "$0")/comun.sh"
lab_requisitos
lab_construir
SONDA="python3 $AQUI/sonda.py"

# Each probe waits for the other side to say it is listening: on a loaded
# machine starting a probe takes longer than any fixed pause.
lab_ejecutar inet $SONDA eco 198.51.100.1 5000 5001 5002 >"$LAB_DIR/eco" &
eco=$!
for ((i = 0; i < 200; i++)); do grep -q escuchando "$LAB_DIR/eco" && break; sleep 0.05; done
# router  public address  same port for both  a stranger gets through
for caso in "cono 198.51.100.30 si si" "restr 198.51.100.40 si no" "sim 198.51.100.50 no no" \
    "cgn 203.0.113.60 si no"; do
    set -- $caso
    mapeos=($(lab_ejecutar "h$1" $SONDA pedir 4000 198.51.100.1 5000 5001))
    [ "${mapeos[0]}" != nada ] || mapeos=(nada:0 nada:0)
    igual "$2" "${mapeos[0]%:*}" "detrás de $1, internet ve la dirección pública $2"
    if [ "$3" = si ]; then
        igual "${mapeos[0]}" "${mapeos[1]}" "$1 da el mismo puerto público hacia todos"
    else
        distinto "${mapeos[0]}" "${mapeos[1]}" "$1 da otro puerto público hacia cada destino"
    fi
    lab_ejecutar "h$1" $SONDA esperar 4000 4 >"$LAB_DIR/esperado" &
    for ((i = 0; i < 200; i++)); do grep -q escuchando "$LAB_DIR/esperado" && break; sleep 0.05; done
    lab_ejecutar inet $SONDA enviar "${mapeos[0]%:*}" "${mapeos[0]#*:}" 5003
    wait $!
    llegado=$(sed -n 2p "$LAB_DIR/esperado")
    if [ "$4" = si ]; then
        igual "198.51.100.1:5003" "$llegado" "en $1 entra lo que manda un desconocido"
    else
        igual nada "$llegado" "en $1 no entra lo que manda un desconocido"
    fi
done
kill "$eco" 2>/dev/null
terminar
