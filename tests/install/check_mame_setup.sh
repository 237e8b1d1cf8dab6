#!/usr/bin/env bash
# The installed orvel-cli's first steps with MAME, as a new user meets them: without a MAME it
# says how to get one; `init --mame mame` finds MAME on PATH; and a MAME that already reads a
# system mame.ini is left alone (no mame.ini of Orvel's making in its folder or in ~/.mame).
# Each run has a throw-away HOME. The fake MAME reads its ini path as MAME does; Debian's MAME,
# when installed with its /etc/mame/mame.ini, is tried the same way.
#   check_mame_setup.sh BUILD_DIR FAKE_MAME
set -euo pipefail
build=$1
fake=$2
source "$(dirname "$0")/layout.sh"

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/usr" >/dev/null
cli=$work/usr/bin/orvel-cli
export HOME=$work/home
mkdir -p "$HOME" "$work/empty"

# No MAME on PATH: the hint names Debian's package, and nothing is saved.
err=$(cd "$work" && PATH=$work/empty "$cli" --data "$work/data1" init --mame mame 2>&1 >/dev/null) &&
    fault "init --mame mame succeeded without a MAME on PATH"
grep -q 'sudo apt install mame' <<<"$err" || fault "init without MAME gives no install hint: $err"
[ ! -e "$work/data1/ORVEL.prefs" ] || fault "init without MAME saved preferences"
if [ ! -e /usr/games/mame ]; then
    err=$(cd "$work" && PATH=$work/empty "$cli" --data "$work/data1" init 2>&1 >/dev/null) &&
        fault "init succeeded without any MAME"
    grep -q 'sudo apt install mame' <<<"$err" || fault "init without MAME gives no hint: $err"
fi

# A MAME on PATH, found by name; its ini path holds a system mame.ini and ui.ini.
mkdir -p "$work/bin" "$work/etc"
cp "$fake" "$work/bin/mame"
printf '%-26s%s\n' snapshot_directory /srv/system-snaps rompath /srv/system-roms >"$work/etc/mame.ini"
printf '%-26s%s\n' historypath /srv/system-dats >"$work/etc/ui.ini"
out=$(cd "$work" && PATH=$work/empty:$work/bin ORVEL_FAKE_INIPATH="\$HOME/.mame;$work/etc" \
    "$cli" --data "$work/data2" init --mame mame 2>"$work/err") ||
    fault "init --mame mame did not find MAME on PATH: $(cat "$work/err")"
grep -qx "MAME_Path	$work/bin/" <<<"$out" || fault "init --mame mame took another MAME: $out"
config=$(cd "$work" && ORVEL_FAKE_INIPATH="\$HOME/.mame;$work/etc" "$cli" --data "$work/data2" config)
grep -q "^snapshot_directory	/srv/system-snaps	" <<<"$config" ||
    fault "the system mame.ini's snapshot_directory does not apply: $(grep snapshot <<<"$config")"
grep -q "^historypath	/srv/system-dats	" <<<"$config" || fault "the system ui.ini is not read"
for f in "$work/bin/mame.ini" "$work/bin/ui.ini" "$HOME/.mame/mame.ini"; do
    [ ! -e "$f" ] || fault "$f was written although MAME has a system mame.ini"
done
grep -q 'wrote its default' "$work/err" && fault "init says it wrote MAME's files: $(cat "$work/err")"

# The same MAME with no configuration anywhere: it writes its defaults, and init says so.
err=$(cd "$work" && PATH=$work/bin ORVEL_FAKE_INIPATH="\$HOME/.mame;$work/nowhere" \
    "$cli" --data "$work/data3" init --mame mame 2>&1 >/dev/null) || fault "init failed: $err"
grep -q "wrote its default files .* in $work/bin/" <<<"$err" ||
    fault "init does not say that MAME wrote its configuration: $err"
[ -s "$work/bin/mame.ini" ] || fault "MAME without a configuration wrote none"

# Debian's MAME with its system /etc/mame/mame.ini: ~/.mame gets no mame.ini.
if [ -x /usr/games/mame ] && [ -s /etc/mame/mame.ini ]; then
    rm -rf "$HOME/.mame"
    expected=$(sed -n 's/^snapshot_directory  *//p' /etc/mame/mame.ini | tail -n1)
    (cd "$work" && "$cli" --data "$work/data4" init --mame /usr/games/mame >/dev/null 2>"$work/err") ||
        fault "init --mame /usr/games/mame failed: $(cat "$work/err")"
    [ ! -e "$HOME/.mame/mame.ini" ] || fault "Debian's MAME got a ~/.mame/mame.ini"
    shown=$(cd "$work" && "$cli" --data "$work/data4" config | sed -n 's/^snapshot_directory	\([^	]*\).*/\1/p')
    [ "$shown" = "$expected" ] ||
        fault "snapshot_directory is '$shown', /etc/mame/mame.ini says '$expected'"
else
    echo "Debian's MAME with /etc/mame/mame.ini is not installed: tried with the fake MAME only"
fi

echo "MAME set-up: $FAULTS fault(s)"
[ "$FAULTS" -eq 0 ]
