# Shared by scripts/play and scripts/test: set-up, build and the Wine
# environment. Source it; it defines functions and never exits on its own.

QUARRION_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUARRION_BUILD=${QUARRION_BUILD:-$QUARRION_ROOT/build}
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}

log() { printf '== %s\n' "$*" >&2; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

find_wine() {
    local w
    for w in wine wine-stable /usr/lib/wine/wine; do
        if command -v "$w" >/dev/null 2>&1; then command -v "$w"; return 0; fi
    done
    return 1
}

find_wineserver() {
    local w
    for w in wineserver wineserver-stable /usr/lib/wine/wineserver; do
        if command -v "$w" >/dev/null 2>&1; then command -v "$w"; return 0; fi
    done
    return 1
}

# Which Windows programs Wine runs here: i686 (the shipped 32-bit game) or,
# on a machine that runs no 32-bit code at all (some virtual machines are
# 64-bit only: a 32-bit program fails with "Exec format error"), x86_64, for
# which the game and its tests are also built. QUARRION_WIN_ARCH chooses.
# Known only once Wine's 32-bit half is installed; ensure_deps sets it.
QUARRION_WIN_ARCH=${QUARRION_WIN_ARCH:-}
machine_runs_32bit() {
    [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
detect_win_arch() {
    [ -n "$QUARRION_WIN_ARCH" ] && return 0
    if machine_runs_32bit; then QUARRION_WIN_ARCH=i686; else QUARRION_WIN_ARCH=x86_64; fi
    [ "$QUARRION_WIN_ARCH" = i686 ] ||
        log "this machine runs no 32-bit programs: Wine runs the 64-bit build of the game and its tests"
}
# The cross tree whose programs Wine runs, and the folder of its game.
run_tree() { if [ "$QUARRION_WIN_ARCH" = x86_64 ]; then echo "$QUARRION_BUILD/cross64"; else echo "$QUARRION_BUILD/cross"; fi; }
run_dist() { if [ "$QUARRION_WIN_ARCH" = x86_64 ]; then echo "$QUARRION_BUILD/dist64"; else echo "$QUARRION_BUILD/dist"; fi; }

# Installs whatever the build and the tests need and is not there yet.
ensure_deps() {
    ensure_base_deps || return 1
    detect_win_arch
    [ "$QUARRION_WIN_ARCH" = x86_64 ] || return 0
    local missing=()
    command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64-posix)
    [ -x /usr/lib/wine/wine64 ] || missing+=(wine64)
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    apt_install "${missing[@]}"
}

ensure_base_deps() {
    local missing=()
    command -v cmake >/dev/null || missing+=(cmake)
    command -v make >/dev/null || missing+=(make)
    command -v g++ >/dev/null || missing+=(g++)
    command -v clang-format >/dev/null || missing+=(clang-format)
    command -v i686-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-i686-posix)
    command -v i686-w64-mingw32-windres >/dev/null || missing+=(binutils-mingw-w64-i686)
    [ -f /usr/i686-w64-mingw32/lib/libgdi32.a ] || missing+=(mingw-w64-i686-dev)
    find_wine >/dev/null || missing+=(wine)
    [ -e /usr/lib/wine/wineserver32 ] || [ -d /usr/lib/i386-linux-gnu/wine ] || missing+=(wine32:i386)
    command -v Xvfb >/dev/null || missing+=(xvfb)
    [ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
    [ -f /usr/lib/x86_64-linux-gnu/cmake/GTest/GTestConfig.cmake ] ||
        [ -n "$(find /usr/lib -name GTestConfig.cmake 2>/dev/null | head -n 1)" ] ||
        missing+=(libgtest-dev libgmock-dev)
    # The tests' own sound server, and its client tools (pactl asks it whether
    # it is up). Wine reaches it through libpulse0:i386, which wine32 needs.
    command -v pulseaudio >/dev/null || missing+=(pulseaudio)
    command -v pactl >/dev/null || missing+=(pulseaudio-utils)
    # Metric twins of Arial and friends, for the dialogs' fonts under Wine.
    [ -d /usr/share/fonts/truetype/liberation ] || missing+=(fonts-liberation)
    # Wine's own fonts: the caption buttons' symbols and the message boxes'
    # system font (not pulled in, as recommended packages are left out).
    [ -f /usr/share/wine/fonts/marlett.ttf ] || missing+=(fonts-wine)
    # The release zip and the launcher's icon (scripts/release.py), and the
    # check of the launcher's desktop entry.
    command -v python3 >/dev/null || missing+=(python3)
    command -v desktop-file-validate >/dev/null || missing+=(desktop-file-utils)
    if [ ${#missing[@]} -eq 0 ]; then return 0; fi

    log "installing: ${missing[*]}"
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
        as_root dpkg --add-architecture i386 || {
            DEPS_FAILED="adding the i386 architecture"
            DEPS_HINT="sudo dpkg --add-architecture i386"
            return 1
        }
    fi
    apt_install "${missing[@]}"
}

# apt-get update, tried a few times: a mirror in the middle of a sync serves
# one index of the wrong size for a minute or two. An update that still
# fails is not the end: the lists it did fetch, or older ones, may well hold
# every package we need, so the install is tried anyway. When that fails
# too, DEPS_FAILED and DEPS_HINT say which step and what to run by hand.
DEPS_FAILED=
DEPS_HINT=
APT_UPDATE_TRIES=${APT_UPDATE_TRIES:-4}
APT_RETRY_PAUSE=${APT_RETRY_PAUSE:-15}
apt_install() {
    local i updated=0
    for i in $(seq 1 "$APT_UPDATE_TRIES"); do
        if as_root apt-get update -q; then
            updated=1
            break
        fi
        [ "$i" -lt "$APT_UPDATE_TRIES" ] || break
        log "apt-get update failed (try $i of $APT_UPDATE_TRIES); trying again in ${APT_RETRY_PAUSE}s"
        sleep "$APT_RETRY_PAUSE"
    done
    [ "$updated" -eq 1 ] || log "apt-get update kept failing; installing from the package lists at hand"
    for i in 1 2; do
        if DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends "$@"; then
            return 0
        fi
        [ "$i" -eq 2 ] || sleep "$APT_RETRY_PAUSE"
    done
    if [ "$updated" -eq 1 ]; then
        DEPS_FAILED="apt-get install"
    else
        DEPS_FAILED="apt-get update, then apt-get install"
    fi
    DEPS_HINT="sudo apt-get update && sudo apt-get install --no-install-recommends $*"
    return 1
}

# One plain line on what failed and what to run, for the scripts' callers.
deps_failure_line() {
    local who=$1
    if [ -n "$DEPS_FAILED" ]; then
        echo "$who: setting up failed at $DEPS_FAILED; try: $DEPS_HINT, then run $who again" >&2
    else
        echo "$who: could not install what the build needs" >&2
    fi
}

# Wine's bus driver hands gamepads to XInput through SDL when it finds the
# library, which Debian's and Ubuntu's Wine only recommend; without it only
# pads that its udev backend can read are seen. Playing wants it, the tests
# do not; a failed install only costs the pad.
ensure_pad_deps() {
    [ -e /usr/lib/i386-linux-gnu/libSDL2-2.0.so.0 ] && return 0
    command -v apt-get >/dev/null || return 0
    log "installing: libsdl2-2.0-0:i386 (gamepads under Wine)"
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends \
        libsdl2-2.0-0:i386 || log "could not install libsdl2-2.0-0:i386: a gamepad may not be seen"
    return 0
}

# Builds the host tree (core, tools, native tests) and then the cross tree
# (Quarrion.exe and the Win32 tests). The game lands in $QUARRION_BUILD/dist.
# With two target names, only those are built: the first in the host tree,
# the second in the cross tree.
build_trees() {
    local host=$QUARRION_BUILD/host cross=$QUARRION_BUILD/cross
    local host_target=${1:-} cross_target=${2:-}
    log "host build in $host"
    cmake -S "$QUARRION_ROOT" -B "$host" -DCMAKE_BUILD_TYPE=Release \
        -DQUARRION_OUT_DIR="$QUARRION_BUILD" >/dev/null || return 1
    cmake --build "$host" -j "$JOBS" ${host_target:+--target "$host_target"} || return 1
    log "cross build in $cross"
    cmake -S "$QUARRION_ROOT" -B "$cross" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$QUARRION_ROOT/cmake/mingw-i686.cmake" \
        -DQUARRION_HOST_TOOLS="$host/HostTools.cmake" \
        -DQUARRION_OUT_DIR="$QUARRION_BUILD" >/dev/null || return 1
    cmake --build "$cross" -j "$JOBS" ${cross_target:+--target "$cross_target"} || return 1
    [ "${QUARRION_WIN_ARCH:-i686}" = x86_64 ] || return 0
    local cross64=$QUARRION_BUILD/cross64
    log "64-bit cross build in $cross64"
    cmake -S "$QUARRION_ROOT" -B "$cross64" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$QUARRION_ROOT/cmake/mingw-x86_64.cmake" \
        -DQUARRION_HOST_TOOLS="$host/HostTools.cmake" \
        -DQUARRION_OUT_DIR="$QUARRION_BUILD" -DQUARRION_DIST_DIR="$QUARRION_BUILD/dist64" >/dev/null || return 1
    cmake --build "$cross64" -j "$JOBS" ${cross_target:+--target "$cross_target"} || return 1
}

build_all() { build_trees; }

# Only what playing needs: the generators and their artwork (the launcher's
# icon among it) on the host, the game itself in the cross tree.
build_game() { build_trees quarrion_assets Quarrion; }

# The game's dialogs ask for Arial; a Linux machine has Liberation Sans, which
# has Arial's metrics, so texts fit their controls as they do on Windows.
wine_font_replacements() {
    "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f \
        >/dev/null 2>&1
}

# --- A headless Wine of our own ------------------------------------------------
XVFB_PID=
WINESERVER=

wine_env_common() {
    detect_win_arch
    if [ "$QUARRION_WIN_ARCH" = x86_64 ]; then
        [ -x /usr/lib/wine/wine64 ] || return 1
        WINE=/usr/lib/wine/wine64
        WINESERVER=$(find_wineserver) || return 1
        export WINE WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    else
        WINE=$(find_wine) || return 1
        WINESERVER=$(find_wineserver) || return 1
        export WINE WINEARCH=win32
    fi
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# Starts Xvfb on a free display and a fresh Wine prefix in the build tree.
# The screen and Wine's desktop are QUARRION_DESKTOP large (3840x2160 unless
# set), so the tests can show the game at every zoom up to 4; the game
# process tests run at zoom 1 unless they choose another.
# --- A sound server of our own ---------------------------------------------------
# Debian's PulseAudio as a plain process (as root too, where it warns and
# runs), its socket, runtime and state folders in the build tree, no user
# configuration, no D-Bus, nothing that touches a sound card: one null sink,
# the default, whose monitor the tests record (the default source), and an
# anonymous Unix socket. The Wine processes get PULSE_SERVER; the user's own
# sound server is never asked.
PULSE_PID=
PULSE_TMP=
start_test_audio() {
    local dir=$QUARRION_BUILD/pulse i
    command -v pulseaudio >/dev/null || return 1
    rm -rf "$dir"
    mkdir -p "$dir/home" "$dir/runtime" "$dir/state" || return 1
    local runtime=$dir/runtime
    # A socket's path has room for about 100 bytes: a deep tree's goes to /tmp.
    if [ ${#runtime} -gt 90 ]; then
        PULSE_TMP=$(mktemp -d /tmp/quarrion-pulse.XXXXXX) || return 1
        runtime=$PULSE_TMP
    fi
    chmod 700 "$runtime"
    local sock=$runtime/native
    {
        echo 'load-module module-null-sink sink_name=quarrion_null rate=44100 channels=2 sink_properties=device.description=Quarrion-test-output'
        echo 'set-default-sink quarrion_null'
        echo 'set-default-source quarrion_null.monitor'
        echo "load-module module-native-protocol-unix auth-anonymous=1 socket=$sock"
    } >"$dir/server.pa"
    printf 'autospawn = no\n' >"$dir/client.conf"
    (
        cd "$dir" &&
            exec env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY -u PULSE_SERVER \
                HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" XDG_RUNTIME_DIR="$runtime" \
                XDG_STATE_HOME="$dir/state" PULSE_RUNTIME_PATH="$runtime" PULSE_STATE_PATH="$dir/state" \
                PULSE_CLIENTCONFIG="$dir/client.conf" \
                pulseaudio -n -F "$dir/server.pa" --daemonize=no --system=no --use-pid-file=no \
                --exit-idle-time=-1 --realtime=no --high-priority=no --disallow-exit=yes \
                --log-target=stderr --log-level=warning
    ) >"$dir/server.log" 2>&1 &
    PULSE_PID=$!
    export PULSE_SERVER=unix:$sock PULSE_CLIENTCONFIG=$dir/client.conf
    # Wine's PulseAudio driver asks the server to hold only three of its
    # 10 ms periods and tops them up from a timer thread; on a busy machine
    # that thread is late now and then, the stream runs dry and the output
    # gets tens of milliseconds of silence that no program could prevent.
    # 100 ms in the server rides that out (HACKING.md, "The tests' sound").
    export PULSE_LATENCY_MSEC=100
    export QUARRION_TEST_AUDIO=$sock
    for i in $(seq 1 100); do
        if ! kill -0 "$PULSE_PID" 2>/dev/null; then break; fi
        if pactl info >/dev/null 2>&1; then
            log "PulseAudio on $sock (pid $PULSE_PID)"
            return 0
        fi
        sleep 0.1
    done
    stop_test_audio
    unset QUARRION_TEST_AUDIO
    return 1
}

stop_test_audio() {
    if [ -n "$PULSE_PID" ]; then
        kill "$PULSE_PID" >/dev/null 2>&1 || true
        wait "$PULSE_PID" 2>/dev/null || true
        PULSE_PID=
    fi
    if [ -n "$PULSE_TMP" ]; then
        rm -rf "$PULSE_TMP"
        PULSE_TMP=
    fi
}

start_headless_wine() {
    local desktop=${QUARRION_DESKTOP:-3840x2160}
    wine_env_common || return 1
    mkdir -p "$QUARRION_BUILD"
    # Sound goes to a server of our own whose output the tests record (Wine
    # tries its PulseAudio driver first; its ALSA driver stays for MIDI). When
    # it cannot start, the listening tests say so.
    start_test_audio || log "PulseAudio did not start (see $QUARRION_BUILD/pulse/server.log): the tests that listen will fail"
    local fdfile=$QUARRION_BUILD/xvfb.display
    rm -f "$fdfile"
    Xvfb -displayfd 5 -screen 0 "${desktop}x24" -nolisten tcp 5>"$fdfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        [ -s "$fdfile" ] && break
        sleep 0.1
    done
    if [ ! -s "$fdfile" ]; then
        log "Xvfb did not start"
        return 1
    fi
    export DISPLAY=:$(head -n 1 "$fdfile")
    log "Xvfb on $DISPLAY (pid $XVFB_PID)"

    export WINEPREFIX=$QUARRION_BUILD/wineprefix
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$WINESERVER" -p
    "$WINE" wineboot -i >/dev/null 2>&1
    # A virtual desktop: without a window manager every hide or destroy stalls.
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop" /f >/dev/null 2>&1
    wine_font_replacements
    log "Wine prefix ready in $WINEPREFIX"
}

stop_headless_wine() {
    if [ -n "$WINESERVER" ] && [ -n "${WINEPREFIX:-}" ]; then
        "$WINESERVER" -k >/dev/null 2>&1 || true
    fi
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" >/dev/null 2>&1 || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
    stop_test_audio
}

# --- The player's copy of the game ---------------------------------------------
# scripts/play runs a copy of the built game kept outside the build tree, so
# that the player's Quarr95.ini (scores and settings) beside it outlives
# rm -rf build, git clean and a fresh clone. Its Wine prefix lies beside it.
QUARRION_HOME=${QUARRION_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/quarrion}
QUARRION_INI_NAME=Quarr95.ini

# Brings the copy up to date with $QUARRION_BUILD/dist: changed files are
# copied again, files an earlier build had and this one lacks go (their names
# are kept in .files), the player's file is never touched. Scores of the days
# when the game ran in dist/ come along once.
sync_game_copy() {
    local src dst=$QUARRION_HOME f name
    src=$(run_dist)
    [ -f "$src/Quarrion.exe" ] || return 1
    mkdir -p "$dst" || return 1
    if [ -f "$dst/.files" ]; then
        while IFS= read -r name; do
            [ -n "$name" ] && [ ! -e "$src/$name" ] && rm -f "$dst/$name"
        done <"$dst/.files"
    fi
    : >"$dst/.files.new" || return 1
    for f in "$src"/*; do
        [ -f "$f" ] || continue
        name=${f##*/}
        [ "${name,,}" = "${QUARRION_INI_NAME,,}" ] && continue
        cmp -s "$f" "$dst/$name" || cp -f "$f" "$dst/$name" || return 1
        printf '%s\n' "$name" >>"$dst/.files.new"
    done
    mv -f "$dst/.files.new" "$dst/.files" || return 1
    if [ ! -e "$dst/$QUARRION_INI_NAME" ] && [ -f "$src/$QUARRION_INI_NAME" ]; then
        cp "$src/$QUARRION_INI_NAME" "$dst/$QUARRION_INI_NAME" &&
            log "your scores and settings moved from $src to $dst"
    fi
    return 0
}

# --- The desktop's menu ----------------------------------------------------------
# Writes a desktop entry that starts the built game through scripts/play
# --no-build (its Wine set-up, no build), and a 48 x 48 icon drawn from the
# game's own icon, into $XDG_DATA_HOME (~/.local/share by default). Needs the
# host build's artwork.
desktop_exec_quote() {
    # One argument of an Exec key: double-quoted, with " ` $ \ escaped, then
    # every backslash doubled and % doubled for the key's own encoding.
    local s=$1
    s=${s//\\/\\\\}
    s=${s//\"/\\\"}
    s=${s//\`/\\\`}
    s=${s//\$/\\\$}
    s=${s//\\/\\\\}
    s=${s//%/%%}
    printf '"%s"' "$s"
}

launcher_icon() { echo "${XDG_DATA_HOME:-$HOME/.local/share}/icons/hicolor/48x48/apps/quarrion.png"; }
launcher_entry() { echo "${XDG_DATA_HOME:-$HOME/.local/share}/applications/quarrion.desktop"; }

install_launcher() {
    local data=${XDG_DATA_HOME:-$HOME/.local/share}
    local ico=$QUARRION_BUILD/host/assets/MAINICON.ico
    local icon entry
    icon=$(launcher_icon)
    entry=$(launcher_entry)
    local play=$QUARRION_ROOT/scripts/play
    if [ ! -f "$ico" ]; then
        log "the game's icon is not built yet ($ico)"
        return 1
    fi
    python3 "$QUARRION_ROOT/scripts/release.py" icon --ico "$ico" --size 48 --out "$icon" || return 1
    mkdir -p "$data/applications" || return 1
    {
        echo '[Desktop Entry]'
        echo 'Type=Application'
        echo 'Name=Quarrion'
        echo 'GenericName=Arcade Puzzle Game'
        echo 'Comment=Catch the tumbling tiles and line up their colours (runs under Wine)'
        echo "Exec=$(desktop_exec_quote "$play") --no-build"
        echo "TryExec=${play//\\/\\\\}"
        echo "Icon=${icon//\\/\\\\}"
        echo 'Terminal=false'
        echo 'Categories=Game;ArcadeGame;LogicGame;'
        echo 'Keywords=puzzle;tiles;arcade;'
        echo 'StartupWMClass=quarrion.exe'
    } >"$entry" || return 1
    if command -v update-desktop-database >/dev/null 2>&1; then
        update-desktop-database "$data/applications" >/dev/null 2>&1 || true
    fi
    log "desktop entry $entry"
    log "icon $icon"
}

# Removes the desktop entry, its icon, the game's own Wine prefix (one named
# by QUARRION_WINEPREFIX is left alone) and the copy of the game; the player's Quarr95.ini stays unless $1 is "yes". A file the game had
# to keep inside the prefix (its folder could not be written) is moved out
# first. Says where the scores are.
uninstall_game() {
    local delete_scores=${1:-no} dst=$QUARRION_HOME name f
    local prefix=$QUARRION_HOME/wineprefix
    rm -f "$(launcher_entry)" "$(launcher_icon)"
    if command -v update-desktop-database >/dev/null 2>&1; then
        update-desktop-database "$(dirname "$(launcher_entry)")" >/dev/null 2>&1 || true
    fi
    for f in "$prefix"/drive_c/users/*/AppData/Roaming/Quarrion/"$QUARRION_INI_NAME"; do
        [ -f "$f" ] || continue
        mkdir -p "$dst" && cp "$f" "$dst/Quarr95-from-wineprefix.ini" &&
            log "scores the game kept inside the Wine prefix: $dst/Quarr95-from-wineprefix.ini"
    done
    rm -rf "$prefix"
    if [ -n "${QUARRION_WINEPREFIX:-}" ] && [ "$QUARRION_WINEPREFIX" != "$prefix" ]; then
        log "your own Wine prefix $QUARRION_WINEPREFIX is left alone"
    fi
    if [ -f "$dst/.files" ]; then
        while IFS= read -r name; do
            [ -n "$name" ] && rm -f "$dst/$name"
        done <"$dst/.files"
        rm -f "$dst/.files"
    fi
    if [ "$delete_scores" = yes ]; then
        rm -f "$dst/$QUARRION_INI_NAME" "$dst/Quarr95-from-wineprefix.ini"
        rmdir "$dst" 2>/dev/null
        log "Quarrion is removed, scores and settings included"
    elif [ -e "$dst/$QUARRION_INI_NAME" ] || [ -e "$dst/Quarr95-from-wineprefix.ini" ]; then
        log "Quarrion is removed; your scores and settings are kept in $dst"
    else
        rmdir "$dst" 2>/dev/null
        log "Quarrion is removed"
    fi
    return 0
}
