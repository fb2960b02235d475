#!/usr/bin/env bash
# A router (nftables masquerading, miniupnpd) maps the port of a host in "home", which names
# the outside address; a joiner in "internet" plays a match through it, each game on an X screen
# of its own; the mapping goes when the host ends, normally or on a fatal error. Without
# miniupnpd the host asks for a port forward.
source "$(dirname "$0")/lib.sh" "$@"
PATH="$PATH:/usr/sbin"
command -v nft >/dev/null && command -v miniupnpd >/dev/null || skip "no nftables or miniupnpd"
OUTSIDE=11.25.0.1  # public-looking: miniupnpd refuses reserved addresses
for host in home router internet; do make_host $host; done
wire home 10.25.0.2/24 router 10.25.0.1/24
wire router $OUTSIDE/24 internet 11.25.0.2/24
on home ip route add default via 10.25.0.1
on router sysctl -qw net.ipv4.ip_forward=1
on router nft -f - <<NFT || skip "nftables cannot filter or translate here"
table inet filter {
    chain forward { type filter hook forward priority 0; policy drop; ct state established,related accept; iifname "to-home" accept; jump miniupnpd; }
    chain prerouting { type nat hook prerouting priority -100; jump prerouting_miniupnpd; }
    chain postrouting { type nat hook postrouting priority 100; oifname "to-internet" masquerade; jump postrouting_miniupnpd; }
    chain miniupnpd {}; chain prerouting_miniupnpd {}; chain postrouting_miniupnpd {}
}
NFT
printf '%s\n' ext_ifname=to-internet listening_ip=to-home http_port=0 enable_natpmp=yes \
    enable_upnp=yes secure_mode=yes uuid=7d5c2c42-2b1e-4c36-9f0b-2f2f6b6b2501 \
    "allow 1024-65535 10.25.0.0/24 1024-65535" "deny 0-65535 0.0.0.0/0 0-65535" >"$WORK/upnp.conf"
start router miniupnpd miniupnpd -d -f "$WORK/upnp.conf"
ROUTER=$STARTED
# The whole ruleset is read: grep -q would leave at the first match, and nft's
# broken pipe would then fail the test.
mapped() { on router nft list ruleset | grep "dnat.*10.25.0.2:29417" >/dev/null; }
# on_screen VAR COMMAND...: runs it with the X screen of the game in VAR.
on_screen() { DISPLAY="${!1}" "${@:2}"; }
# to_menus: each game leaves its start-up pictures by its own player's
# Escape. One that has left waits for the other with a note over its logo;
# it must get no more Escapes, which its menu would take as leaving.
to_menus() {
    local logo side id try
    local -A area done
    mkdir -p "$WORK/ref"
    logo="$(extract_picture "$build" gfx/logo.bmp "$WORK/ref")" || fail "no logo picture"
    convert "$logo" -crop 640x50+0+420 +repage "$WORK/ref/band.png"
    for side in HOST JOINER; do
        id="$(on_screen "${side}_SCREEN" wait_for_window "Kestova!" 30)" || fail "$side: no window"
        area[$side]="$(on_screen "${side}_SCREEN" geometry "$id")"
        on_screen "${side}_SCREEN" reach_logo "$WORK" "$logo" "${!side}" ${area[$side]} ||
            fail "$side: no logo"
    done
    for try in 1 2 3 4 5 6 7 8; do
        for side in HOST JOINER; do
            [ -n "${done[$side]:-}" ] || on_screen "${side}_SCREEN" hold_key Escape 0.3
        done
        sleep 1.5
        for side in HOST JOINER; do
            [ -n "${done[$side]:-}" ] && continue
            local x y w h
            read -r x y w h <<<"${area[$side]}"
            on_screen "${side}_SCREEN" screenshot "$WORK/$side.png"
            convert "$WORK/$side.png" -crop "640x50+$x+$((y + 420))" +repage "$WORK/$side.band.png"
            # Off the logo (the menu), or the note under it.
            if ! below "$(picture_distance "$WORK/$side.png" "$logo" $x $y $w $h)" "$CLOSE_ENOUGH" ||
                [ "$(differing "$WORK/$side.band.png" "$WORK/ref/band.png")" -gt 400 ]; then
                done[$side]=1
            fi
        done
        [ -n "${done[HOST]:-}" ] && [ -n "${done[JOINER]:-}" ] && return 0
    done
    fail "the logo screens stayed"
}

new_screen && HOST_SCREEN=$DISPLAY
new_screen && JOINER_SCREEN=$DISPLAY
SCREEN=$HOST_SCREEN game home host --host
HOST=$STARTED
wait_for host "joins with: kestova --join $OUTSIDE:29417" 15
mapped || fail "no mapping of UDP 29417 in the router"
SCREEN=$JOINER_SCREEN game internet joiner --join "$OUTSIDE:29417"
JOINER=$STARTED
to_menus
on_screen JOINER_SCREEN screenshot "$WORK/menu.png"
for key in Down Down Down Down Return; do on_screen HOST_SCREEN tap "$key"; done
sleep 6
on_screen JOINER_SCREEN screenshot "$WORK/match.png"
[ "$(differing "$WORK/menu.png" "$WORK/match.png")" -gt 20000 ] ||
    fail "the joiner's picture stayed on the menu"
# Escape ends the match for both: each saves it, and in lockstep they saved the same.
HOST_REC="$(on_screen HOST_SCREEN leave_match "$WORK/host.data/kestova/replays")" ||
    fail "the host saved no match"
JOINER_REC="$(saved_file "$WORK/joiner.data/kestova/replays" rec 10)" || fail "the joiner saved no match"
cmp -s "$HOST_REC" "$JOINER_REC" || fail "the two machines saved different matches"
kill -TERM "$HOST" && ends "$HOST" 10  # a close request, as the window manager's
[ "$CODE" -eq 0 ] || fail "the host ended with $CODE"
wait_for joiner "the other player left" 10
! mapped || fail "the mapping outlived the host"
passed "a match through the router's mapping, removed at the end"

# A copy of the game away from its data stops on a fatal error at once,
# skipping destructors: its mapping goes all the same.
mkdir "$WORK/bare" && cp "$build/kestova" "$WORK/bare/"
GAME="$WORK/bare/kestova" game home fatal --host
ends "$STARTED" 15
[ "$CODE" -eq 255 ] || fail "the game without data ended with $CODE, expected 255"
[ "$(grep -c "AddPortMapping: ext port 29417" "$WORK/miniupnpd.err")" -eq 2 ] ||
    fail "the second host made no mapping"
! mapped || fail "the mapping outlived a fatal error"
passed "mapping removed on a fatal error"

kill -TERM "$ROUTER" && ends "$ROUTER" 10
game home alone --host
wait_for alone "this network needs a port forward of UDP port 29417" 10
kill -0 "$STARTED" 2>/dev/null || fail "hosting stopped without a mapping"
passed "no router to ask"
