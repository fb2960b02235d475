# The network tests' harness: hosts in network namespaces of the test's own,
# joined by veth pairs, never linked to the machine's real interfaces. A
# script starts with `source "$(dirname "$0")/lib.sh" "$@"` (its argument is
# the build folder). Without root or namespaces it reports itself skipped
# (exit 77). Every process started here and every namespace made is gone
# when the shell exits, however it exits.
set -euo pipefail
build="$(cd "$1" && pwd)"
TEST_NAME="$(basename "$0" .sh)"
PREFIX="kv$$"
WORK="$(mktemp -d "/tmp/kestova_${TEST_NAME}_XXXXXX")"
NAMESPACES=()
PIDS=()

skip() {
    echo "$TEST_NAME: skipped: $*"
    exit 77
}

fail() {
    echo "$TEST_NAME: $* (files in $WORK)"
    local f
    for f in "$WORK"/*.out "$WORK"/*.err; do
        [ -s "$f" ] && { echo "--- $f"; cat "$f"; }
    done
    exit 1
}

passed() { echo "$TEST_NAME: $*: passed"; }

finish() {
    local code=$? pid ns
    for pid in "${PIDS[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    for ns in "${NAMESPACES[@]}"; do ip netns del "$ns" 2>/dev/null || true; done
    if [ "$code" -eq 0 ] || [ "$code" -eq 77 ]; then [ -n "${KEEP_WORK:-}" ] || rm -rf "$WORK"; fi
}
trap finish EXIT

[ "$(id -u)" -eq 0 ] || skip "making network namespaces needs root"
command -v ip >/dev/null || skip "no ip command (iproute2)"
ip netns add "$PREFIX-probe" 2>/dev/null || skip "network namespaces cannot be made here"
ip netns del "$PREFIX-probe"

# make_host NAME: a namespace with its loopback up.
make_host() {
    ip netns add "$PREFIX-$1" || fail "cannot make namespace $1"
    NAMESPACES+=("$PREFIX-$1")
    ip -n "$PREFIX-$1" link set lo up
}

# wire A ADDRESS/BITS B ADDRESS/BITS: a cable between two hosts (an
# address of - leaves that end without one).
wire() {
    local a="$PREFIX-$1" b="$PREFIX-$3"
    ip link add "v$$a" netns "$a" type veth peer name "v$$b" netns "$b" ||
        fail "cannot wire $1 to $3"
    ip -n "$a" link set "v$$a" name "to-$3"
    ip -n "$b" link set "v$$b" name "to-$1"
    [ "$2" = - ] || ip -n "$a" addr add "$2" dev "to-$3"
    [ "$4" = - ] || ip -n "$b" addr add "$4" dev "to-$1"
    ip -n "$a" link set "to-$3" up
    ip -n "$b" link set "to-$1" up
}

# on HOST COMMAND...: runs a command there.
on() {
    local host="$1"
    shift
    ip netns exec "$PREFIX-$host" "$@"
}

# start HOST TAG COMMAND...: starts it there in the background, its output in
# $WORK/TAG.out and .err; its pid is $STARTED.
start() {
    local host="$1" tag="$2"
    shift 2
    ip netns exec "$PREFIX-$host" "$@" >"$WORK/$tag.out" 2>"$WORK/$tag.err" &
    STARTED=$!
    PIDS+=("$STARTED")
}

# game HOST TAG ARGS...: the built game, without a display or sound card,
# with settings and replays in the work folder.
game() {
    local host="$1" tag="$2"
    shift 2
    start "$host" "$tag" env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy \
        SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data" \
        "$build/kestova" --window "$@"
}

# wait_for TAG TEXT SECONDS: until TAG's output or error holds TEXT.
wait_for() {
    local i
    for i in $(seq 1 $(($3 * 10))); do
        grep -qF -- "$2" "$WORK/$1.out" "$WORK/$1.err" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "$1 did not say '$2' within $3 s"
}

# ends PID SECONDS: the process ends within SECONDS; its exit code is $CODE.
ends() {
    local i
    CODE=0
    for i in $(seq 1 $(($2 * 20))); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$1" 2>/dev/null && fail "process $1 still runs after $2 s"
    wait "$1" || CODE=$?
}
