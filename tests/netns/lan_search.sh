#!/usr/bin/env bash
# A bare `kestova --join` on a LAN of namespaces around a bridge: with nobody
# waiting it ends with code 1 within 2 s, two waiting hosts are listed (code
# 1), a host with a partner stops answering and the one still waiting is joined.
source "$(dirname "$0")/lib.sh" "$@"
make_host switch
on switch ip link add lan up type bridge
for n in 2 3 4; do
    make_host "pc$n"
    wire "pc$n" "10.26.0.$n/24" switch -
    on switch ip link set "to-pc$n" master lan
done
seek() { game pc4 "$1" --join && ends "$STARTED" 2 && [ "$CODE" -eq 1 ] || fail "$1: exit ${CODE:-}"; }

seek none
wait_for none "no game waits for a player on the local network" 1
game pc2 first --host --no-upnp
game pc3 second --host --no-upnp
SECOND=$STARTED
wait_for first "waiting for the other player" 10
wait_for second "waiting for the other player" 10
sleep 2
seek both
wait_for both "kestova --join 10.26.0.2:29417" 1
wait_for both "kestova --join 10.26.0.3:29417" 1
game pc4 direct --join 10.26.0.3
sleep 3
game pc4 found --join
wait_for found "joining the game at 10.26.0.2:29417" 2
sleep 3
kill -0 "$STARTED" 2>/dev/null || fail "the joiner ended before the match"
kill -TERM "$SECOND"
wait_for direct "the other player left" 10
passed "none, two listed, the only waiting one joined"
