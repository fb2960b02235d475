# Hosts in network namespaces of the test's own, never linked to the machine's interfaces;
# skipped (77) without root or namespaces; programs and namespaces go however it ends.
set -euo pipefail
build="$(cd "$1" && pwd)"
TEST_NAME="$(basename "$0" .sh)"
PREFIX="kv$$"
WORK="$(mktemp -d "/tmp/kestova_${TEST_NAME}_XXXXXX")"
NAMESPACES=()
PIDS=()
SCREENS=()
skip() { echo "$TEST_NAME: skipped: $*"; exit 77; }
passed() { echo "$TEST_NAME: $*: passed"; }
fail() { echo "$TEST_NAME: $* (files in $WORK)"; tail -n 20 "$WORK"/*.out "$WORK"/*.err 2>/dev/null; exit 1; }
finish() {
    local code=$? pid ns
    for pid in "${PIDS[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    # X servers are asked to go, so that they take their sockets and locks along.
    for pid in "${SCREENS[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true; done
    for ns in "${NAMESPACES[@]}"; do ip netns del "$ns" 2>/dev/null || true; done
    if [ "$code" -eq 0 ] || [ "$code" -eq 77 ]; then [ -n "${KEEP_WORK:-}" ] || rm -rf "$WORK"; fi
}
trap finish EXIT
[ "$(id -u)" -eq 0 ] || skip "making network namespaces needs root"
ip netns add "$PREFIX-probe" 2>/dev/null || skip "network namespaces cannot be made here"
ip netns del "$PREFIX-probe"

# make_host NAME: a namespace with its loopback up.
make_host() {
    ip netns add "$PREFIX-$1" || fail "cannot make namespace $1"
    NAMESPACES+=("$PREFIX-$1")
    ip -n "$PREFIX-$1" link set lo up
}
# wire A ADDRESS/BITS B ADDRESS/BITS: a cable between two hosts, its ends
# named to-B and to-A (an address of - leaves that end without one).
wire() {
    ip link add "v$$a" netns "$PREFIX-$1" type veth peer name "v$$b" netns "$PREFIX-$3" || fail "cannot wire $1 to $3"
    local host name to address
    for host in "$1 v$$a to-$3 $2" "$3 v$$b to-$1 $4"; do
        read -r host name to address <<<"$host"
        ip -n "$PREFIX-$host" link set "$name" name "$to" up
        [ "$address" = - ] || ip -n "$PREFIX-$host" addr add "$address" dev "$to"
    done
}
# on HOST COMMAND...: runs it there.
on() { ip netns exec "$PREFIX-$1" "${@:2}"; }
# start HOST TAG COMMAND...: in the background there, output in $WORK/TAG.out
# and .err; its pid is $STARTED. game: the game (GAME, or the built one) with
# no sound card, its settings and replays in $WORK/TAG.config and TAG.data;
# on the X screen SCREEN names, or with no display at all.
start() {
    ip netns exec "$PREFIX-$1" "${@:3}" >"$WORK/$2.out" 2>"$WORK/$2.err" &
    STARTED=$!
    PIDS+=("$STARTED")
}
game() {
    local video=(-u DISPLAY SDL_VIDEODRIVER=dummy)
    # SDL's X11 video leaves D-Bus allocations at exit: no leak check on a screen.
    [ -z "${SCREEN:-}" ] || video=(DISPLAY="$SCREEN" ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0")
    start "$1" "$2" env "${video[@]}" SDL_AUDIODRIVER=dummy \
        XDG_CONFIG_HOME="$WORK/$2.config" XDG_DATA_HOME="$WORK/$2.data" \
        "${GAME:-$build/kestova}" --window "${@:3}"
}
# new_screen: a virtual X screen (X's tests' harness), reached from every
# namespace through its socket file; its name is $DISPLAY.
new_screen() {
    command -v Xvfb >/dev/null && command -v xdotool >/dev/null || skip "no Xvfb or xdotool"
    source "$(dirname "${BASH_SOURCE[0]}")/../x11/lib.sh"
    start_xvfb 800x600x24 || fail "no X server"
    SCREENS+=("$XVFB_PID")
    XVFB_PID=
}
# wait_for TAG TEXT SECONDS: until TAG's output holds TEXT.
wait_for() {
    local i
    for i in $(seq 1 $(($3 * 10))); do grep -qsF -- "$2" "$WORK/$1".out "$WORK/$1".err && return 0 || sleep 0.1; done
    fail "$1 did not say '$2' within $3 s"
}
# ends PID SECONDS: the process ends within SECONDS; its exit code is $CODE.
ends() {
    local i
    for i in $(seq 1 $(($2 * 20))); do kill -0 "$1" 2>/dev/null && sleep 0.05; done
    kill -0 "$1" 2>/dev/null && fail "process $1 still runs after $2 s"
    CODE=0 && wait "$1" || CODE=$?
}
