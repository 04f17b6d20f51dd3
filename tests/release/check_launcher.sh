#!/usr/bin/env bash
# The desktop entry and icon of scripts/play --install-launcher, written from
# a tree reached through a path with a blank and odd characters: the entry
# passes desktop-file-validate, its Exec names that very play script with
# --no-build, and the icon is a 48 x 48 PNG. Then the player's copy of the
# game: refreshed from the build, the player's Quarr95.ini never touched,
# and scripts/play --uninstall's removal, which keeps that file.
#   check_launcher.sh SOURCE_ROOT BUILD_DIR WORK_DIR
set -u
root=$1 build=$2 work=$3
failed=0
fail() { echo "FAILED: $*"; failed=1; }

rm -rf "$work"
mkdir -p "$work"
odd="$work/a tree \$with 'odd' %names"
ln -s "$root" "$odd"
export QUARRION_BUILD=$build XDG_DATA_HOME="$work/data home"
. "$odd/scripts/common.sh"
[ "$QUARRION_ROOT" = "$odd" ] || fail "the tree was not reached through $odd"

install_launcher || fail "install_launcher failed"
entry=$XDG_DATA_HOME/applications/quarrion.desktop
icon=$XDG_DATA_HOME/icons/hicolor/48x48/apps/quarrion.png

out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate has remarks: $out"

# Undo the Exec key's two encodings: the string escapes, then the quoting.
exec_line=$(sed -n 's/^Exec=//p' "$entry")
want="$odd/scripts/play"
got=$(python3 - "$exec_line" <<'PY'
import re, sys
value = sys.argv[1].replace("\\\\", "\\")
args, cur, quoted, i = [], "", False, 0
while i < len(value):
    c = value[i]
    if quoted and c == "\\" and i + 1 < len(value):
        cur += value[i + 1]; i += 2; continue
    if c == '"':
        quoted = not quoted
    elif c == " " and not quoted:
        args.append(cur); cur = ""
    else:
        cur += c
    i += 1
args.append(cur)
print("\n".join(a.replace("%%", "%") for a in args))
PY
)
[ "$got" = "$want"$'\n'"--no-build" ] || fail "Exec runs [$got], not [$want --no-build]"
[ -x "$(head -n 1 <<<"$got")" ] || fail "Exec's program is not an executable file"
grep -qx "Icon=$icon" "$entry" || fail "Icon is not $icon"

size=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8]==b"\x89PNG\r\n\x1a\n" else "none")' "$icon" 2>/dev/null)
[ "$size" = 48x48 ] || fail "the icon is $size, not a 48x48 PNG"

# The copy, from a build of our own making.
QUARRION_BUILD="$work/fake build" QUARRION_HOME="$work/the home"
dist=$QUARRION_BUILD/dist64 home=$QUARRION_HOME
mkdir -p "$dist" "$QUARRION_BUILD/dist"
echo v1 >"$dist/Quarrion.exe"
echo a >"$dist/a.mid"
echo b >"$dist/b.mid"
echo "scores of old" >"$QUARRION_BUILD/dist/Quarr95.ini"
sync_game_copy || fail "the first copy failed"
[ "$(cat "$home/Quarr95.ini" 2>/dev/null)" = "scores of old" ] || fail "the old scores did not move"
echo mine >"$home/Quarr95.ini"
echo v2 >"$dist/Quarrion.exe"
rm "$dist/b.mid"
echo c >"$dist/c.mid"
sync_game_copy || fail "the second copy failed"
[ "$(cat "$home/Quarrion.exe")" = v2 ] || fail "the new build was not copied"
[ ! -e "$home/b.mid" ] && [ -f "$home/c.mid" ] || fail "the music is not the build's"
[ "$(cat "$home/Quarr95.ini")" = mine ] || fail "the player's file was touched"

# A 32-bit prefix of before gives way to a 64-bit one (wineboot stood in
# for), with the file the game kept inside it; nothing else of the player's
# changes.
kept=$home/wineprefix/drive_c/users/someone/AppData/Roaming/Quarrion
mkdir -p "$kept" && echo "kept inside" >"$kept/Quarr95.ini"
printf 'WINE REGISTRY Version 2\n#arch=win32\n' >"$home/wineprefix/system.reg"
fake_wine() { [ "$1" = wineboot ] && printf '#arch=win64\n' >"$WINEPREFIX/system.reg"; }
WINE=fake_wine WINEPREFIX=$home/wineprefix play_prefix_ready "$home/wineprefix" 2>/dev/null ||
    fail "the prefix was not made ready"
grep -qx '#arch=win64' "$home/wineprefix/system.reg" || fail "the 32-bit prefix was not replaced"
[ "$(cat "$kept/Quarr95.ini" 2>/dev/null)" = "kept inside" ] || fail "the file kept in the prefix was lost"
[ "$(cat "$home/Quarr95.ini")" = mine ] && [ ! -e "$home/wineprefix.old32" ] ||
    fail "the player's file changed or the old prefix stayed"
out=$(uninstall_game no 2>&1)
for gone in "$entry" "$icon" "$home/wineprefix" "$home/Quarrion.exe" "$home/a.mid" "$home/c.mid"; do
    [ ! -e "$gone" ] || fail "--uninstall left $gone"
done
[ "$(cat "$home/Quarr95.ini")" = mine ] || fail "--uninstall touched the scores"
[ "$(cat "$home/Quarr95-from-wineprefix.ini" 2>/dev/null)" = "kept inside" ] ||
    fail "the file kept inside the Wine prefix was lost"
grep -qF "kept in $home" <<<"$out" || fail "--uninstall does not say where the scores are: $out"

rm -f "$odd"
[ "$failed" -eq 0 ] && echo "the launcher is as it should be"
exit "$failed"
