#!/usr/bin/env bash
# The real binary's command line, where no display is needed: --version and
# --help answer on stdout with exit code 0; a bad argument gets one line on
# stderr that names it, nothing on stdout, and exit code 2; a join that
# fails is one line and exit code 1.
set -uo pipefail
game="$1"
version="$2"
fail() { echo "command_line: $1"; exit 1; }
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
export XDG_CONFIG_HOME="$out"  # never the developer's own settings

"$game" --version >"$out/stdout" 2>"$out/stderr" || fail "--version exit code $?"
[ "$(cat "$out/stdout")" = "Kestova $version" ] || fail "--version printed '$(cat "$out/stdout")'"

"$game" --help >"$out/stdout" 2>"$out/stderr" || fail "--help exit code $?"
grep -q -- "--window" "$out/stdout" || fail "--help does not mention --window"

for bad in --bogus -x stray; do
    "$game" --window "$bad" >"$out/stdout" 2>"$out/stderr"
    code=$?
    [ "$code" -eq 2 ] || fail "$bad: exit code $code, expected 2"
    [ ! -s "$out/stdout" ] || fail "$bad: printed on stdout"
    [ "$(wc -l <"$out/stderr")" -eq 1 ] || fail "$bad: stderr is not one line"
    grep -q -- "'$bad'" "$out/stderr" || fail "$bad: stderr does not name it"
    grep -q "^.*Usage: kestova" "$out/stderr" || fail "$bad: no usage"
done
# A join that cannot happen is one line on stderr and exit code 1, in time.
# Only the loopback address: port 9 (discard) has nobody listening for UDP.
for where in 127.0.0.1:9 no-such-host.invalid; do
    timeout 30 "$game" --join "$where" >"$out/stdout" 2>"$out/stderr"
    code=$?
    [ "$code" -eq 1 ] || fail "--join $where: exit code $code, expected 1"
    [ "$(wc -l <"$out/stderr")" -eq 1 ] || fail "--join $where: stderr is not one line"
done
grep -q "no-such-host.invalid: no such host" "$out/stderr" || fail "unknown host: '$(cat "$out/stderr")'"
echo "command_line: passed"
