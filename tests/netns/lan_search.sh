#!/usr/bin/env bash
# `kestova --join` with no address on a LAN of namespaces around a switch:
# nobody waiting ends with code 1 within 2 s; two waiting hosts are listed
# with their addresses (code 1); a host with a partner no longer answers, and
# the only one still waiting is joined.
source "$(dirname "$0")/lib.sh" "$@"

make_host switch
on switch ip link add lan type bridge
on switch ip link set lan up
for n in 2 3 4; do
    make_host "pc$n"
    wire "pc$n" "10.26.0.$n/24" switch -
    on switch ip link set "to-pc$n" master lan
done

# seek TAG: a search from pc4, which must end within 2 s.
seek() {
    game pc4 "$1" --join
    SEEKER=$STARTED
    ends "$SEEKER" 2
}

seek none
[ "$CODE" -eq 1 ] || fail "no host: exit code $CODE, expected 1"
wait_for none "no game waits for a player on the local network" 1
passed "no host"

game pc2 first --host --no-upnp
game pc3 second --host --no-upnp
SECOND=$STARTED
wait_for first "waiting for the other player" 10
wait_for second "waiting for the other player" 10
sleep 2
seek both
[ "$CODE" -eq 1 ] || fail "two hosts: exit code $CODE, expected 1"
wait_for both "kestova --join 10.26.0.2:29417" 1
wait_for both "kestova --join 10.26.0.3:29417" 1
passed "two hosts listed"

game pc4 direct --join 10.26.0.3
sleep 3
game pc4 found --join
FOUND=$STARTED
wait_for found "joining the game at 10.26.0.2:29417" 2
sleep 3
kill -0 "$FOUND" 2>/dev/null || fail "the joiner ended before the match"
kill -TERM "$SECOND"
wait_for direct "the other player left" 10
passed "the only waiting host joined"
