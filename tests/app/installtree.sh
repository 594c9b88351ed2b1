#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks it as a desktop and a
# new user would: the tree, the desktop entry and the AppStream file pass
# their validators, the icons have their sizes, and the installed program
# starts (offscreen, without a session bus) with its data found below the
# prefix and its library in the per-user data folder; a second start on
# that library hands over and ends.
set -euo pipefail
build="$1"
work="$(mktemp -d)"
first=""
cleanup() {
    if [ -n "$first" ]; then
        kill "$first" 2>/dev/null || true
        wait "$first" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
share="$prefix/share/melodara-player"
for file in bin/melodara-player lib/melodara-player/libmelodara_web.so \
    share/melodara-player/MLPData/Play.bmp share/melodara-player/MLPData/Opening.bmp \
    share/melodara-player/MelodaraHelp.html share/melodara-player/始めにお読みください.txt \
    share/applications/melodara-player.desktop share/metainfo/org.melodara.Player.metainfo.xml \
    share/icons/hicolor/scalable/apps/melodara-player.svg; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
[ -x "$prefix/bin/melodara-player" ] || fail "the program is not executable"
[ ! -e "$prefix/bin/MLPData" ] || fail "data installed beside the program"

desktop-file-validate "$prefix/share/applications/melodara-player.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.melodara.Player.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate"

# A PNG's width and height are the big-endian words at bytes 16 and 20.
for size in 16 22 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/melodara-player.png"
    [ -f "$png" ] || fail "no ${size}px icon"
    read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
    [ $(((w1 << 24) + (w2 << 16) + (w3 << 8) + w4)) -eq "$size" ] &&
        [ $(((h1 << 24) + (h2 << 16) + (h3 << 8) + h4)) -eq "$size" ] ||
        fail "the ${size}px icon has another size"
done

# The installed program, as a new user with no session bus.
export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config"
export XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS
export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="melodara.start.debug=true"
library="$XDG_DATA_HOME/Melodara Player/DataBase/MelodaraPlayer.db"
"$prefix/bin/melodara-player" >"$work/first.log" 2>&1 &
first=$!
for _ in $(seq 100); do
    [ -f "$library" ] && break
    kill -0 "$first" 2>/dev/null || fail "the program ended: $(cat "$work/first.log")"
    sleep 0.1
done
[ -f "$library" ] || fail "no library in the per-user data folder: $(cat "$work/first.log")"
[ ! -e "$prefix/bin/DataBase" ] || fail "a library beside the installed program"
grep -qxF "melodara.start: data: $share" "$work/first.log" || fail "data not found: $(cat "$work/first.log")"
grep -qxF "melodara.start: modules: $prefix/lib/melodara-player" "$work/first.log" ||
    fail "modules not found"
grep -qxF "melodara.start: library: $library" "$work/first.log" || fail "another library"

# The second start on the same library hands its file over and ends.
touch "$work/song.mp3"
timeout 20 "$prefix/bin/melodara-player" "$work/song.mp3" >"$work/second.log" 2>&1 ||
    fail "the second start did not end: $(cat "$work/second.log")"
kill -0 "$first" 2>/dev/null || fail "the first program ended"
echo "installed tree and start: ok"
