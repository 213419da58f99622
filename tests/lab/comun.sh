# What the lab's tests share: their checks, said as a player would read them.
AQUI=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$AQUI/lab.sh"
FALLOS=0

igual() { # esperado obtenido qué
    if [ "$1" = "$2" ]; then
        echo "bien: $3"
    else
        echo "MAL: $3: se esperaba '$1', salió '$2'"
        FALLOS=$((FALLOS + 1))
    fi
}
distinto() {
    if [ "$1" != "$2" ]; then echo "bien: $3"; else
        echo "MAL: $3: los dos son '$1'"
        FALLOS=$((FALLOS + 1))
    fi
}
terminar() {
    [ "$FALLOS" -eq 0 ] && echo "todo bien" || echo "$FALLOS fallos"
    exit $((FALLOS > 0))
}
