#!/usr/bin/env bash
# The lab refuses to run anything when one of its namespaces has a way into
# the machine's own network, leaves no namespace behind, and sweeps away
# those of a run killed before it could clean up.
. "$(dirname "$0")/comun.sh"
lab_requisitos

# A cable from the lab's internet into this machine's namespace.
salida=$( (LAB_FUGA=1 lab_construir && lab_ejecutar hcono true && echo "se ejecutó") 2>&1)
igual 1 "$(grep -c '^inseguro: fuga en .*-inet lleva a un espacio de red fuera del laboratorio' <<<"$salida")" \
    "un laboratorio con un cable al equipo se rechaza y dice por qué"
igual 0 "$(grep -c 'se ejecutó' <<<"$salida")" "y no ejecuta nada en él"
igual 0 "$(ip link show | grep -c 'fuga')" "el cable de prueba se ha ido con él"

# A run killed with -9 leaves its namespaces; the next run removes them,
# and leaves none of its own when it ends.
( : ) & muerto=$!
wait "$muerto"
ip netns add "${LAB_PREFIJO}-${muerto}-1-inet"
viejo=$(mktemp -d "${TMPDIR:-/tmp}/${LAB_PREFIJO}.XXXXXX") && echo "$muerto" >"$viejo/dueno"
id_lab=$(mktemp)
(
    FALLOS=0
    lab_construir 2>/dev/null
    igual 0 "$(ip netns list | grep -c "^${LAB_PREFIJO}-${muerto}-")" "lo que dejó una ejecución muerta se barre"
    [ ! -e "$viejo" ]
    igual 0 $? "y su carpeta también"
    igual 20 "$(ip netns list | grep -c "^${LAB_ID}-")" "el laboratorio tiene sus 20 espacios de red"
    igual 1 "$LAB_COMPROBADO" "el laboratorio sin fugas se da por bueno"
    echo "$LAB_ID" >"$id_lab"
    exit "$FALLOS"
) || FALLOS=$((FALLOS + 1))
igual 0 "$(ip netns list | grep -c "^$(cat "$id_lab")-")" "al terminar no queda ningún espacio de red suyo"
rm -f "$id_lab"
terminar
