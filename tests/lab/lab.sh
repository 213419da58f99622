# A network lab of home routers, built for one test out of Linux network
# namespaces joined by veth pairs, and torn down when the test ends, fails
# or is interrupted. Sourced by the lab's tests:
#
#   . lab.sh
#   lab_requisitos                 # skips (exit 77) without root, netns or tools
#   lab_construir                  # every namespace below, checked
#   lab_ejecutar hupnp programa …  # runs a program in a home
#
# The picture (every router's LAN is 192.168.1.0/24, its home at .2):
#
#   inet     the internet: bridge br0 with 198.51.100.1/24, 203.0.113.1/24
#            and 2001:db8:ffff::1/64; routes 2001:db8:10::/64 and
#            2001:db8:7::/64 to the routers that own them; no default route
#   rupnp    miniupnpd (UPnP IGD, NAT-PMP), masquerade; WAN 192.0.3.10 (see
#            below); also routes 2001:db8:10::/64 to its home without NAT
#   rnada    no port mapping at all, masquerade; WAN 198.51.100.20
#   rcono    "full cone": source NAT keeping the port, and every unasked
#            inbound packet to the home (endpoint-independent mapping and
#            filtering); WAN 198.51.100.30
#   rrestr   "port restricted": masquerade (the port kept where free,
#            replies only from the address and port written to); WAN
#            198.51.100.40
#   rsim     "symmetric": masquerade with a random port per connection; WAN
#            198.51.100.50
#   isp      the carrier's NAT: 100.64.0.1/10 inside, masquerade to WAN
#            203.0.113.60
#   rcgn     the home router behind it: WAN 100.64.0.2/10, masquerade
#   r6o      IPv6 only: WAN 2001:db8:ffff::7, routes 2001:db8:7::/64 to its
#            home; no IPv4 anywhere behind it
#   rrestr2  a second "port restricted" router, WAN 198.51.100.41
#   rsim2    a second "symmetric" router, WAN 198.51.100.51
#   h<router> the home behind each router (hupnp, hnada, hcono, hrestr,
#            hrestr2, hsim, hsim2, hcgn, h6o): 192.168.1.2 (h6o: 2001:db8:7::2, hupnp also
#            2001:db8:10::2)
#
# miniupnpd refuses to map when its external address is a reserved one (it
# has no switch for that in Debian 12's 2.3.1), and every documentation
# range is reserved; its router's WAN is 192.0.3.10, the first unreserved
# block after TEST-NET-1, standing for a public address. Like every address
# here it exists only inside the lab.
#
# Nothing here touches the machine's own namespace: every cable is created
# inside a lab namespace with its other end in another, and lab_comprobar
# refuses to start any program unless that still holds.

LAB_PREFIJO=${LAB_PREFIJO:-brlab}
LAB_WAN_UPNP=${LAB_WAN_UPNP:-192.0.3.10}
LAB_ID=""
LAB_DIR=""
LAB_NS=()
LAB_COMPROBADO=0
LAB_T0=0

lab_omitir() {
    echo "laboratorio de red omitido: $*"
    exit 77
}

lab_ms() { date +%s%3N; }

# Creating and removing namespaces, one run at a time: "ip netns add"
# makes /run/netns a mount point the first time, and two doing it at once
# can hide each other's namespaces.
LAB_CERROJO=""
lab_cerrojo() {
    [ -n "$LAB_CERROJO" ] && return 0
    exec {LAB_CERROJO}>"${TMPDIR:-/tmp}/${LAB_PREFIJO}.cerrojo"
    flock -w 60 "$LAB_CERROJO"
}
lab_soltar() {
    [ -n "$LAB_CERROJO" ] && exec {LAB_CERROJO}>&-
    LAB_CERROJO=""
}

# Everything the lab needs, or a skip naming what is missing.
lab_requisitos() {
    [ "$(id -u)" -eq 0 ] || lab_omitir "hace falta root para crear espacios de red (ip netns)"
    local h
    for h in ip nft miniupnpd python3 flock; do
        command -v "$h" >/dev/null 2>&1 || lab_omitir "falta la orden '$h' (scripts/deps.sh la instala)"
    done
    local prueba="${LAB_PREFIJO}-$$-prueba"
    lab_cerrojo
    ip netns add "$prueba" 2>/dev/null || lab_omitir "este sistema no deja crear espacios de red (ip netns add)"
    if ! ip netns exec "$prueba" nft list tables >/dev/null 2>&1; then
        ip netns del "$prueba"
        lab_omitir "nftables no funciona dentro de un espacio de red"
    fi
    ip netns del "$prueba"
    lab_soltar
}

# A namespace of this run, by its short name.
lab_nombre() { echo "${LAB_ID}-$1"; }

# Removes a namespace, after killing whatever still runs inside it.
lab_quitar_ns() {
    local ns=$1 p
    for p in $(ip netns pids "$ns" 2>/dev/null); do kill -9 "$p" 2>/dev/null; done
    ip netns del "$ns" 2>/dev/null || true
    # Its own names, if it was given any (lab_nombres).
    case $ns in "${LAB_PREFIJO}"-*) rm -rf "/etc/netns/$ns" ;; esac
}

# Host names that resolve inside one namespace only, from its own hosts
# file (ip netns exec mounts /etc/netns/<name>/ over /etc); its resolver
# asks nobody else: a name not listed fails without a packet.
lab_nombres() { # ns "address name"...
    local d=/etc/netns/$(lab_nombre "$1")
    shift
    mkdir -p "$d"
    printf '%s\n' "127.0.0.1 localhost" "$@" >"$d/hosts"
    printf 'nameserver 127.0.0.1\noptions attempts:1 timeout:1\n' >"$d/resolv.conf"
}

# A run's shell still running: a killed one may linger as a zombie until
# someone reaps it, and counts as gone.
lab_vivo() {
    kill -0 "$1" 2>/dev/null && [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" != Z ]
}

# Namespaces left by runs whose shell is gone (killed with -9, or by a
# time-out): their names carry the pid of the run.
lab_limpiar_viejos() {
    local ns pid
    for ns in $(ip netns list 2>/dev/null | awk '{print $1}'); do
        case $ns in "${LAB_PREFIJO}"-*) ;; *) continue ;; esac
        pid=${ns#"${LAB_PREFIJO}"-}
        pid=${pid%%-*}
        case $pid in '' | *[!0-9]*) continue ;; esac
        lab_vivo "$pid" || lab_quitar_ns "$ns"
    done
    # Their folders, and the display they started, which lives outside the
    # namespaces.
    local d x
    for d in "${TMPDIR:-/tmp}/${LAB_PREFIJO}".*/; do
        [ -f "$d/dueno" ] || continue
        lab_vivo "$(cat "$d/dueno")" && continue
        x=$(cat "$d/xvfb.pid" 2>/dev/null)
        [ -n "$x" ] && grep -q Xvfb "/proc/$x/cmdline" 2>/dev/null && kill "$x" 2>/dev/null
        rm -rf "$d"
    done
}

lab_desmontar() {
    local t=$(lab_ms) ns
    lab_cerrojo
    for ((i = ${#LAB_NS[@]} - 1; i >= 0; i--)); do lab_quitar_ns "${LAB_NS[$i]}"; done
    LAB_NS=()
    [ -n "${LAB_FUGA_FUERA:-}" ] && ip link del "$LAB_FUGA_FUERA" 2>/dev/null
    [ -n "${LAB_XVFB:-}" ] && kill "$LAB_XVFB" 2>/dev/null && wait "$LAB_XVFB" 2>/dev/null
    if [ -n "$LAB_DIR" ] && [ -d "$LAB_DIR" ]; then
        # Kept on request: no longer anyone's to sweep.
        [ -n "${LAB_CONSERVAR:-}" ] && rm -f "$LAB_DIR/dueno" || rm -rf "$LAB_DIR"
    fi
    lab_soltar
    echo "laboratorio desmontado en $(($(lab_ms) - t)) ms" >&2
}

lab_iniciar() {
    lab_limpiar_viejos
    LAB_ID="${LAB_PREFIJO}-$$-$RANDOM"
    LAB_DIR=$(mktemp -d "${TMPDIR:-/tmp}/${LAB_PREFIJO}.XXXXXX")
    echo "$$" >"$LAB_DIR/dueno"
    trap 'lab_desmontar' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM HUP
}

lab_ns() {
    local ns
    ns=$(lab_nombre "$1")
    ip netns add "$ns"
    LAB_NS+=("$ns")
    ip -n "$ns" link set lo up
    ip netns exec "$ns" sysctl -qw net.ipv4.ip_forward=1 net.ipv6.conf.all.forwarding=1 \
        net.ipv6.conf.default.accept_dad=0 net.ipv6.conf.default.accept_ra=0
}

# A cable: interface $2 in namespace $1, its other end $4 in namespace $3.
lab_cable() {
    ip -n "$(lab_nombre "$1")" link add "$2" type veth peer name "$4" netns "$(lab_nombre "$3")"
    ip -n "$(lab_nombre "$1")" link set "$2" up
    ip -n "$(lab_nombre "$3")" link set "$4" up
}

lab_ip() { local ns=$1; shift; ip -n "$(lab_nombre "$ns")" "$@"; }
lab_nft() { ip netns exec "$(lab_nombre "$1")" nft -f -; }
# Source NAT of everything leaving by the WAN: $2 its flags, $3 a match.
# Like a home router, it drops what comes unasked to itself from the WAN:
# a packet it took in and answered with an ICMP error would leave a
# connection-tracking entry behind, and its own next mapping towards that
# sender would then need another port, which no home router's firewall
# lets happen (and which would undo every hole punched from the other side).
lab_masquerade() {
    printf 'table ip nat {\n chain post {\n  type nat hook postrouting priority srcnat;\n  oifname "wan" %s masquerade %s\n }\n}\n' "${3:-}" "${2:-}" | lab_nft "$1"
    printf 'table inet cortafuegos {\n chain entrada {\n  type filter hook input priority filter; policy accept;\n  iifname "wan" ct state new drop\n }\n}\n' | lab_nft "$1"
}

# A router on the internet's bridge, with a home behind it on 192.168.1.0/24.
lab_router() {
    local r=$1 wan=$2 casa=h${1#r}
    lab_ns "$r"
    lab_ns "$casa"
    lab_cable inet "w$r" "$r" wan
    lab_ip inet link set "w$r" master br0
    lab_cable "$r" lan "$casa" eth0
    if [ -n "$wan" ]; then
        lab_ip "$r" addr add "$wan/24" dev wan
        lab_ip "$r" route add default via "${wan%.*}.1"
        lab_ip "$r" addr add 192.168.1.1/24 dev lan
        lab_ip "$casa" addr add 192.168.1.2/24 dev eth0
        lab_ip "$casa" route add default via 192.168.1.1
    fi
}

# A routed IPv6 /64 for a router's home, no translation: the router's
# internet address $2, the prefix $3 (router ::1, home ::2).
lab_prefijo6() {
    local r=$1 casa=h${1#r}
    lab_ip "$r" -6 addr add "$2/64" dev wan nodad
    lab_ip "$r" -6 route add default via 2001:db8:ffff::1
    lab_ip "$r" -6 addr add "$3::1/64" dev lan nodad
    lab_ip "$casa" -6 addr add "$3::2/64" dev eth0 nodad
    lab_ip "$casa" -6 route add default via "$3::1"
    lab_ip inet -6 route add "$3::/64" via "$2"
}

lab_construir() {
    LAB_T0=$(lab_ms)
    lab_iniciar
    lab_cerrojo
    lab_ns inet
    lab_ip inet link add br0 type bridge stp_state 0 forward_delay 0
    lab_ip inet link set br0 up
    lab_ip inet addr add 198.51.100.1/24 dev br0
    lab_ip inet addr add 203.0.113.1/24 dev br0
    lab_ip inet addr add "${LAB_WAN_UPNP%.*}.1/24" dev br0
    lab_ip inet -6 addr add 2001:db8:ffff::1/64 dev br0 nodad

    lab_router rupnp "$LAB_WAN_UPNP"
    lab_nft rupnp <<'NFT'
table inet filter {
    chain forward {
        type filter hook forward priority 0; policy drop;
        ct state established,related accept
        iifname "lan" accept
        # The home's IPv6 prefix is routed, not translated, and open.
        meta nfproto ipv6 accept
        jump miniupnpd
    }
    chain miniupnpd {
    }
    chain prerouting {
        type nat hook prerouting priority -100; policy accept;
        jump prerouting_miniupnpd
    }
    chain postrouting {
        type nat hook postrouting priority 100; policy accept;
        jump postrouting_miniupnpd
        meta nfproto ipv4 oifname "wan" masquerade
    }
    chain prerouting_miniupnpd {
    }
    chain postrouting_miniupnpd {
    }
}
NFT
    lab_prefijo6 rupnp 2001:db8:ffff::10 2001:db8:10

    lab_router rnada 198.51.100.20
    lab_masquerade rnada

    lab_router rcono 198.51.100.30
    lab_nft rcono <<'NFT'
table ip nat {
    chain pre {
        type nat hook prerouting priority dstnat;
        iifname "wan" dnat to 192.168.1.2
    }
    chain post {
        type nat hook postrouting priority srcnat;
        oifname "wan" snat to 198.51.100.30
    }
}
NFT

    lab_router rrestr 198.51.100.40
    lab_masquerade rrestr

    lab_router rsim 198.51.100.50
    lab_masquerade rsim random

    # Two friends behind the same kind of router.
    lab_router rrestr2 198.51.100.41
    lab_masquerade rrestr2
    lab_router rsim2 198.51.100.51
    lab_masquerade rsim2 random

    # The carrier's NAT, and the home router behind it.
    lab_ns isp
    lab_cable inet wisp isp wan
    lab_ip inet link set wisp master br0
    lab_ip isp addr add 203.0.113.60/24 dev wan
    lab_ip isp route add default via 203.0.113.1
    lab_router rcgn ""
    lab_ip inet link del wrcgn # rcgn hangs off the carrier, not the internet
    lab_cable isp cgn rcgn wan
    lab_ip isp addr add 100.64.0.1/10 dev cgn
    lab_ip rcgn addr add 100.64.0.2/10 dev wan
    lab_ip rcgn route add default via 100.64.0.1
    lab_ip rcgn addr add 192.168.1.1/24 dev lan
    lab_ip hcgn addr add 192.168.1.2/24 dev eth0
    lab_ip hcgn route add default via 192.168.1.1
    lab_masquerade isp "" "ip saddr 100.64.0.0/10"
    lab_masquerade rcgn

    # IPv6 only.
    lab_router r6o ""
    lab_prefijo6 r6o 2001:db8:ffff::7 2001:db8:7

    [ -n "${LAB_FUGA:-}" ] && lab_fuga
    lab_soltar
    lab_comprobar || exit 1
    echo "laboratorio montado en $(($(lab_ms) - LAB_T0)) ms: ${#LAB_NS[@]} espacios de red" >&2
}

# The deliberate fault the safety check must catch: a cable from the
# internet into the machine's own namespace (down, without addresses).
lab_fuga() {
    LAB_FUGA_FUERA="${LAB_ID##*-}fuga"
    ip -n "$(lab_nombre inet)" link add fuga type veth peer name "$LAB_FUGA_FUERA" netns "$$"
}

lab_es_del_lab() {
    local n
    for n in "${LAB_NS[@]}"; do [ "$n" = "$1" ] && return 0; done
    return 1
}

# The lab's own safety: every namespace is a new one (not the machine's),
# each interface is the loopback, a bridge or a veth whose other end lies in
# a namespace of this lab, and the internet has no default route.
lab_comprobar() {
    LAB_COMPROBADO=0
    local propio ns ino linea tipo id nombre
    propio=$(stat -L -c %i /proc/$$/ns/net)
    for ns in "${LAB_NS[@]}"; do
        ino=$(stat -L -c %i "/run/netns/$ns" 2>/dev/null) || { echo "inseguro: falta $ns" >&2; return 1; }
        [ "$ino" != "$propio" ] ||
            { echo "inseguro: $ns es el espacio de red del equipo" >&2; return 1; }
        # "name type peer-netnsid" per interface; the id is empty when the
        # other end is in the same namespace.
        while read -r linea; do
            set -- $linea
            nombre=$1 tipo=$2 id=${3:-}
            case $tipo in
            loopback | bridge) continue ;;
            veth) ;;
            *) echo "inseguro: $ns tiene la interfaz $nombre de tipo $tipo" >&2; return 1 ;;
            esac
            [ -z "$id" ] && continue
            local otro
            otro=$(ip -n "$ns" netns list-id 2>/dev/null | awk -v id="$id" '$1 == "nsid" && $2 == id {print $4}')
            if [ -z "$otro" ] || ! lab_es_del_lab "$otro"; then
                echo "inseguro: $nombre en $ns lleva a un espacio de red fuera del laboratorio (${otro:-el del equipo})" >&2
                return 1
            fi
        done < <(ip -n "$ns" -d -o link show | awk '{
            n = $2; sub(/:$/, "", n); sub(/@.*/, "", n); t = "?"; id = ""
            if ($0 ~ /link\/loopback/) t = "loopback"
            for (i = 1; i <= NF; i++) {
                if ($i == "veth" || $i == "bridge" || $i == "macvlan" || $i == "ipvlan" ||
                    $i == "vxlan" || $i == "gre" || $i == "ipip" || $i == "tun" ||
                    $i == "wireguard" || $i == "dummy" || $i == "vlan") if (t == "?") t = $i
                if ($i == "link-netnsid") id = $(i + 1)
            }
            print n, t, id }')
    done
    if [ -n "$(lab_ip inet route show default)$(lab_ip inet -6 route show default)" ]; then
        echo "inseguro: la internet del laboratorio tiene una ruta por defecto" >&2
        return 1
    fi
    LAB_COMPROBADO=1
}

# Runs a program in one of the lab's namespaces, only once the lab is
# checked (lab_construir checks it; a test checks again with lab_comprobar
# before starting copies of the game).
lab_ejecutar() {
    local ns=$1
    shift
    [ "$LAB_COMPROBADO" = 1 ] || { echo "el laboratorio no es seguro: no se ejecuta nada" >&2; return 1; }
    ip netns exec "$(lab_nombre "$ns")" "$@"
}

# One X display for every copy of the game in this run, as on a desktop
# shared by two players: Xvfb on a display number it picks itself, on a
# Unix socket only (no TCP, so nothing of it is on any network). The homes
# reach it through the socket's file, which namespaces do not hide. Sets
# DISPLAY; returns 1 when there is no Xvfb.
lab_pantalla() {
    command -v Xvfb >/dev/null || return 1
    exec {fd_pantalla}<> <(:)
    Xvfb -displayfd "$fd_pantalla" -nolisten tcp -screen 0 1280x1024x24 \
        >"$LAB_DIR/xvfb.log" 2>&1 &
    LAB_XVFB=$!
    echo "$LAB_XVFB" >"$LAB_DIR/xvfb.pid"
    local numero
    read -r -t 10 numero <&"$fd_pantalla" || return 1
    exec {fd_pantalla}>&-
    export DISPLAY=":$numero"
}

# miniupnpd on rupnp, its own configuration and lease file in the run's
# folder; "natpmp" turns UPnP off and leaves NAT-PMP/PCP alone. Never asks
# a STUN server for the address: the lab has none.
lab_miniupnpd() {
    local modo=${1:-upnp} conf=$LAB_DIR/miniupnpd.conf
    cat >"$conf" <<CONF
ext_ifname=wan
listening_ip=lan
http_port=0
enable_upnp=$([ "$modo" = natpmp ] && echo no || echo yes)
enable_natpmp=yes
ext_perform_stun=no
secure_mode=yes
system_uptime=yes
notify_interval=60
min_lifetime=2
clean_ruleset_interval=600
lease_file=$LAB_DIR/miniupnpd.leases
uuid=3d3cec3a-8cf0-11e0-98ee-001a6b$(printf '%06x' $((RANDOM * 32 + $$ % 32)))
upnp_table_name=filter
upnp_nat_table_name=filter
upnp_forward_chain=miniupnpd
upnp_nat_chain=prerouting_miniupnpd
upnp_nat_postrouting_chain=postrouting_miniupnpd
allow 1024-65535 192.168.1.0/24 1024-65535
deny 0-65535 0.0.0.0/0 0-65535
CONF
    : >"$LAB_DIR/miniupnpd.leases"
    lab_ejecutar rupnp miniupnpd -f "$conf" -d -P "$LAB_DIR/miniupnpd.pid" \
        >"$LAB_DIR/miniupnpd.log" 2>&1 &
    LAB_MINIUPNPD_PID=$LAB_DIR/miniupnpd.pid
    local i
    for ((i = 0; i < 50; i++)); do
        [ -s "$LAB_DIR/miniupnpd.pid" ] && grep -q "Listening for NAT-PMP" "$LAB_DIR/miniupnpd.log" 2>/dev/null && return 0
        sleep 0.1
    done
    cat "$LAB_DIR/miniupnpd.log" >&2
    return 1
}

lab_parar_miniupnpd() {
    local pid
    pid=$(cat "$LAB_DIR/miniupnpd.pid" 2>/dev/null) || return 0
    kill "$pid" 2>/dev/null
    for ((i = 0; i < 50; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
    rm -f "$LAB_DIR/miniupnpd.pid"
}

# miniupnpd's own list of what it has mapped: "PROTO:ext:int_ip:int_port:..."
lab_mapeos() { cat "$LAB_DIR/miniupnpd.leases" 2>/dev/null; }

# The invitation code's servers, on the lab's internet: six DHT nodes
# (brumaria_nodo_dht: libtorrent, DHT only, one address each) on
# 198.51.100.2-4 and 2001:db8:ffff::2-4, port 6881, each bootstrapping from
# those of its family before it; LAB_NODOS_DHT then lists them all, as a
# private DHT's players must be given every node.
lab_dht() { # node program
    local nodo=$1 i k f dir arranque4="" arranque6="" listo
    LAB_NODOS_DHT=""
    for i in 2 3 4; do
        lab_ip inet addr add "198.51.100.$i/24" dev br0
        lab_ip inet -6 addr add "2001:db8:ffff::$i/64" dev br0 nodad
    done
    for f in 4 6; do
        for i in 2 3 4; do
            if [ "$f" = 4 ]; then dir="198.51.100.$i:6881" arranque=$arranque4
            else dir="[2001:db8:ffff::$i]:6881" arranque=$arranque6; fi
            lab_ejecutar inet "$nodo" --escuchar "$dir" ${arranque:+--arranque "$arranque"} \
                --red-privada >"$LAB_DIR/dht$f$i.out" 2>"$LAB_DIR/dht$f$i.err" &
            listo=0
            for ((k = 0; k < 50; k++)); do
                grep -q '^listo' "$LAB_DIR/dht$f$i.out" 2>/dev/null && { listo=1; break; }
                sleep 0.1
            done
            [ "$listo" = 1 ] || { cat "$LAB_DIR/dht$f$i.err" >&2; return 1; }
            if [ "$f" = 4 ]; then arranque4="${arranque4:+$arranque4,}$dir"
            else arranque6="${arranque6:+$arranque6,}$dir"; fi
            LAB_NODOS_DHT="${LAB_NODOS_DHT:+$LAB_NODOS_DHT }$dir"
        done
    done
}

# coturn on the lab's internet, STUN and TURN on 203.0.113.5:3478 (UDP),
# relaying from the same address; one account, LAB_TURN_USUARIO and
# LAB_TURN_CLAVE. Its log stays in the run's folder. Like public TURN
# servers it refuses to relay towards private and shared address space:
# a permission there (a home's own LAN candidate) goes nowhere from the
# internet, and coturn closed the whole allocation on the first packet
# it could not deliver.
LAB_TURN=203.0.113.5:3478
LAB_TURN_USUARIO=ana
LAB_TURN_CLAVE=clave-del-laboratorio
lab_turn() {
    lab_ip inet addr add 203.0.113.5/24 dev br0
    lab_ejecutar inet turnserver -n --listening-ip=203.0.113.5 --relay-ip=203.0.113.5 \
        --listening-port=3478 --min-port=49152 --max-port=49999 --lt-cred-mech \
        --user="$LAB_TURN_USUARIO:$LAB_TURN_CLAVE" --realm=brumaria.lab --no-tls --no-dtls \
        --no-tcp --no-tcp-relay --no-cli --no-rfc5780 --no-multicast-peers --no-software-attribute \
        --pidfile="$LAB_DIR/turn.pid" --log-file="$LAB_DIR/turn.log" --simple-log -v \
        --db="$LAB_DIR/turndb" \
        --denied-peer-ip=10.0.0.0-10.255.255.255 --denied-peer-ip=172.16.0.0-172.31.255.255 \
        --denied-peer-ip=192.168.0.0-192.168.255.255 --denied-peer-ip=100.64.0.0-100.127.255.255 \
        >"$LAB_DIR/turn.out" 2>&1 &
    local k
    for ((k = 0; k < 50; k++)); do
        lab_ejecutar inet ss -uln 2>/dev/null | grep -q '203.0.113.5:3478' && return 0
        sleep 0.1
    done
    cat "$LAB_DIR/turn.out" >&2
    return 1
}

# red.ini for a copy of the game in folder $1: the lab's DHT, its STUN, and
# its TURN when $2 is "turn" ("turn-mala": the account with a wrong password).
lab_red_ini() {
    local turn="" usuario="" clave=""
    case ${2:-} in
    turn) turn=$LAB_TURN usuario=$LAB_TURN_USUARIO clave=$LAB_TURN_CLAVE ;;
    turn-mala) turn=$LAB_TURN usuario=$LAB_TURN_USUARIO clave=otra-clave ;;
    esac
    printf '[Internet]\nstun=%s\nturn=%s\nturn_usuario=%s\nturn_clave=%s\ndht=%s\ndht_privada=true\n' \
        "$LAB_TURN" "$turn" "$usuario" "$clave" "$LAB_NODOS_DHT" >"$1/red.ini"
}
