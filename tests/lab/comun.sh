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

# Polls `orden` every tenth of a second for at most $1 seconds.
esperar_que() {
    local hasta=$(($(lab_ms) + $1 * 1000))
    shift
    until "$@"; do
        [ "$(lab_ms)" -lt "$hasta" ] || return 1
        sleep 0.1
    done
}

# A program of the lab run in a namespace in the background, its stdin a
# pipe (fd 7+n) and its stdout in $LAB_DIR/<name>.out.
lanzar() { # nombre ns programa args...
    local nombre=$1 ns=$2
    shift 2
    mkfifo "$LAB_DIR/$nombre.in"
    lab_ejecutar "$ns" "$@" <"$LAB_DIR/$nombre.in" >"$LAB_DIR/$nombre.out" 2>"$LAB_DIR/$nombre.err" &
    eval "PID_$nombre=$!"
    eval "exec {FD_$nombre}>\"$LAB_DIR/$nombre.in\""
}
decir() { eval "echo \"$2\" >&\$FD_$1"; }
salida() { cat "$LAB_DIR/$1.out" 2>/dev/null; }
dice() { salida "$1" | grep -qF -- "$2"; }
