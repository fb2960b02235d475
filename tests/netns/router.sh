#!/usr/bin/env bash
# A home behind a real router: nftables masquerading and miniupnpd in the
# router's namespace, a host in "home" and a joiner in "internet". The host
# gets its mapping and names the router's outside address, the joiner plays
# through it, and the mapping is gone once the host ends. Without miniupnpd
# the host says the network needs a port forward.
source "$(dirname "$0")/lib.sh" "$@"
command -v nft >/dev/null || skip "no nft (nftables)"
command -v miniupnpd >/dev/null || [ -x /usr/sbin/miniupnpd ] || skip "no miniupnpd"
PATH="$PATH:/usr/sbin"

# The outside side looks public: miniupnpd refuses reserved addresses.
OUTSIDE=11.25.0.1
make_host home
make_host router
make_host internet
wire home 10.25.0.2/24 router 10.25.0.1/24
wire router $OUTSIDE/24 internet 11.25.0.2/24
on home ip route add default via 10.25.0.1
on router sysctl -qw net.ipv4.ip_forward=1
on router nft -f - <<NFT || skip "nftables cannot filter or translate here"
table inet filter {
    chain forward {
        type filter hook forward priority 0; policy drop;
        ct state established,related accept
        iifname "to-home" accept
        jump miniupnpd
    }
    chain miniupnpd {}
    chain prerouting {
        type nat hook prerouting priority -100; policy accept;
        jump prerouting_miniupnpd
    }
    chain postrouting {
        type nat hook postrouting priority 100; policy accept;
        oifname "to-internet" masquerade
        jump postrouting_miniupnpd
    }
    chain prerouting_miniupnpd {}
    chain postrouting_miniupnpd {}
}
NFT
cat >"$WORK/miniupnpd.conf" <<CONF
ext_ifname=to-internet
listening_ip=to-home
http_port=0
enable_natpmp=yes
enable_upnp=yes
secure_mode=yes
uuid=7d5c2c42-2b1e-4c36-9f0b-2f2f6b6b2501
allow 1024-65535 10.25.0.0/24 1024-65535
deny 0-65535 0.0.0.0/0 0-65535
CONF
start router miniupnpd miniupnpd -d -f "$WORK/miniupnpd.conf"
ROUTER=$STARTED
sleep 0.5
kill -0 "$ROUTER" 2>/dev/null || fail "miniupnpd did not start"
mapped() { on router nft list ruleset >"$WORK/ruleset.out"; grep -q "29417" "$WORK/ruleset.out"; }

game home host --host
HOST=$STARTED
wait_for host "joins with: kestova --join $OUTSIDE:29417" 15
mapped || fail "no mapping of UDP 29417 in the router"
passed "mapping made"

game internet joiner --join "$OUTSIDE:29417"
JOINER=$STARTED
sleep 6
kill -0 "$JOINER" 2>/dev/null || fail "the joiner ended before the match"
# A close request ends the host as the window manager's close does.
kill -TERM "$HOST"
ends "$HOST" 10
[ "$CODE" -eq 0 ] || fail "the host ended with $CODE"
wait_for joiner "the other player left" 10
! mapped || fail "the mapping outlived the host"
passed "a match through the router, mapping removed"

kill -TERM "$JOINER"
ends "$JOINER" 10

# A fatal error (F10's path too) skips destructors: the mapping goes all the
# same. A copy of the game away from its data stops at once on the missing
# archive, while the router is still being asked.
mkdir "$WORK/bare"
cp "$build/kestova" "$WORK/bare/"
start home fatal env -u DISPLAY SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data" "$WORK/bare/kestova" --window --host
ends "$STARTED" 15
[ "$CODE" -eq 255 ] || fail "the game without data ended with $CODE, expected 255"
[ "$(grep -c "AddPortMapping: ext port 29417" "$WORK/miniupnpd.err")" -eq 2 ] ||
    fail "the second host made no mapping"
! mapped || fail "the mapping outlived a fatal error"
passed "mapping removed on a fatal error"

# No router to ask: the port-forward line, and hosting goes on.
kill -TERM "$ROUTER"
ends "$ROUTER" 10
game home alone --host
wait_for alone "this network needs a port forward of UDP port 29417" 10
kill -0 "$STARTED" 2>/dev/null || fail "hosting stopped without a mapping"
passed "no mapping"
