#!/usr/bin/env bash
# A computer without IPv6 (turned off, as some players do): the game hosts,
# announces itself and is joined on this computer, and over IPv4 alone.
# The network tests that do so run in a home of the lab whose IPv6 is off.
. "$(dirname "$0")/comun.sh"
PRUEBAS=${1:?test_net_transporte}
lab_requisitos
lab_construir
for s in all default lo; do
    lab_ejecutar hnada sysctl -qw "net.ipv6.conf.$s.disable_ipv6=1"
done
igual "" "$(lab_ejecutar hnada ip -6 addr show)" "la casa no tiene ninguna dirección IPv6"
salida=$(QT_QPA_PLATFORM=offscreen lab_ejecutar hnada "$PRUEBAS" \
    --gtest_filter='Transporte.UnHostSoloContestaALasBusquedasDeSuJuego:Transporte.CerrarAvisaAlOtroYPermiteEmpezarDeNuevo:Transporte.UnionFallidaNuncaEsExito' 2>&1)
r=$?
igual 0 "$r" "sin IPv6 el juego se anuncia, se encuentra, se une y se despide"
[ "$r" -eq 0 ] || echo "$salida" | tail -20
igual 1 "$(grep -c '\[  PASSED  \] 3 tests' <<<"$salida")" "las tres pruebas han corrido"
terminar
