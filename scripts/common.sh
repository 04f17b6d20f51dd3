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

# Which Windows programs Wine runs for the tests: i686 (the shipped 32-bit
# game) or x86_64, the same sources built for 64 bits, which also run on a
# machine that runs no 32-bit code (some virtual machines are 64-bit only: a
# 32-bit program fails with "Exec format error") or that could not install
# Wine's 32-bit half. QUARRION_WIN_ARCH chooses by hand; ensure_deps sets it.
# scripts/play always plays the 64-bit game.
QUARRION_WIN_ARCH=${QUARRION_WIN_ARCH:-}

# A static 32-bit x86 Linux program of 93 bytes that just exits with 0.
I386_PROBE=f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhdAAAAXQAAAAUAAAAAEAAAuAEAAAAx282A
RUNS_32BIT=
# Whether the kernel runs 32-bit code, asked before any i386 package is
# installed: the probe above is written out and run once (in the build tree
# too, should /tmp forbid running programs).
machine_runs_32bit() {
    if [ -z "$RUNS_32BIT" ]; then
        RUNS_32BIT=no
        local dir f
        for dir in "${TMPDIR:-/tmp}" "$QUARRION_BUILD"; do
            mkdir -p "$dir" 2>/dev/null && f=$(mktemp "$dir/quarrion-probe.XXXXXX" 2>/dev/null) || continue
            if printf '%s' "$I386_PROBE" | base64 -d >"$f" 2>/dev/null && chmod +x "$f" &&
                "$f" >/dev/null 2>&1; then
                RUNS_32BIT=yes
            fi
            rm -f "$f"
            [ "$RUNS_32BIT" = no ] || break
        done
    fi
    [ "$RUNS_32BIT" = yes ]
}
# Without ensure_deps (scripts that only run what is there): i686 where Wine's
# 32-bit half runs.
detect_win_arch() {
    [ -n "$QUARRION_WIN_ARCH" ] && return 0
    if machine_runs_32bit && [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
        QUARRION_WIN_ARCH=i686
    else
        QUARRION_WIN_ARCH=x86_64
    fi
}
# The cross tree whose programs Wine runs, and the folder of its game.
run_tree() { if [ "$QUARRION_WIN_ARCH" = x86_64 ]; then echo "$QUARRION_BUILD/cross64"; else echo "$QUARRION_BUILD/cross"; fi; }
run_dist() { if [ "$QUARRION_WIN_ARCH" = x86_64 ]; then echo "$QUARRION_BUILD/dist64"; else echo "$QUARRION_BUILD/dist"; fi; }

# --- What the scripts install ----------------------------------------------------
# One entry a package: its name, then what shows it is there (commands on the
# PATH, or files, globs allowed; any one will do). An entry with nothing after
# the name is there when dpkg says it is installed.
#
# Everything of the machine's own architecture (amd64) goes in one apt
# transaction, whose package lists are fetched for that architecture alone,
# so a broken or missing list of another architecture cannot stop it.
AMD64_PACKAGES=(
    "cmake cmake"
    "make make"
    "g++ g++"
    "clang-format clang-format"
    "g++-mingw-w64-i686-posix i686-w64-mingw32-g++-posix"
    "binutils-mingw-w64-i686 i686-w64-mingw32-windres"
    "mingw-w64-i686-dev /usr/i686-w64-mingw32/lib/libgdi32.a"
    "g++-mingw-w64-x86-64-posix x86_64-w64-mingw32-g++-posix"
    "wine wine wine-stable"
    "wine64 /usr/lib/wine/wine64"
    "xvfb Xvfb"
    "googletest /usr/src/googletest/CMakeLists.txt"
    "libgtest-dev /usr/lib/*/cmake/GTest/GTestConfig.cmake /usr/lib/cmake/GTest/GTestConfig.cmake"
    "libgmock-dev /usr/include/gmock/gmock.h"
    # The tests' own sound server and its client tools (pactl asks it whether
    # it is up).
    "pulseaudio pulseaudio"
    "pulseaudio-utils pactl"
    # Metric twins of Arial and friends, for the dialogs' fonts under Wine.
    "fonts-liberation /usr/share/fonts/truetype/liberation"
    # Wine's own fonts: the caption buttons' symbols and the message boxes'
    # system font (not pulled in, as recommended packages are left out).
    "fonts-wine /usr/share/wine/fonts/marlett.ttf"
    # The release zip and the launcher's icon (scripts/release.py), and the
    # check of the launcher's desktop entry.
    "python3 python3"
    "desktop-file-utils desktop-file-validate"
)
# The browser build's packages, amd64 too: add them to this one line.
BROWSER_PACKAGES=()

# Wine's 32-bit half, for the shipped 32-bit game under the tests: its own
# transaction after the amd64 one, and only where the kernel runs 32-bit code.
# Wine reaches the tests' sound server through libpulse0:i386, which it pulls in.
I386_PACKAGES=("wine32:i386 /usr/lib/wine/wineserver32 /usr/lib/i386-linux-gnu/wine")

# Wine's bus driver hands gamepads to XInput through SDL when it finds the
# library, which Debian's and Ubuntu's Wine only recommend; without it only
# pads that its udev backend can read are seen. Playing wants it, the tests
# do not; a failed install only costs the pad.
PAD_PACKAGES=("libsdl2-2.0-0 /usr/lib/x86_64-linux-gnu/libSDL2-2.0.so.0")

package_present() {
    local pkg=$1 c
    shift
    if [ $# -eq 0 ]; then
        [ "$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null)" = installed ]
        return
    fi
    for c in "$@"; do
        case $c in
        /*) compgen -G "$c" >/dev/null && return 0 ;;
        *) command -v "$c" >/dev/null && return 0 ;;
        esac
    done
    return 1
}

# Prints the packages of the given entries that are not there, one a line.
missing_packages() {
    local entry
    for entry in "$@"; do
        # shellcheck disable=SC2086 # an entry is words
        package_present $entry || echo "${entry%% *}"
    done
}

# Everything the build, the tests and playing need on the amd64 side.
ensure_amd64_deps() {
    local missing
    mapfile -t missing < <(missing_packages "${AMD64_PACKAGES[@]}" "${BROWSER_PACKAGES[@]}")
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    local native
    native=$(dpkg --print-architecture 2>/dev/null) || native=amd64
    # The lists of other architectures are neither fetched nor thrown away.
    local APT_UPDATE_ARGS=(-o "APT::Architectures=$native" -o APT::Get::List-Cleanup=false)
    apt_install "${missing[@]}"
}

# Wine's 32-bit half, in a transaction of its own whose output goes to a log.
# An i386 architecture this call added is taken away again when the install
# fails, so later updates do not keep fetching lists for nothing.
ensure_i386_deps() {
    local missing added=0
    mapfile -t missing < <(missing_packages "${I386_PACKAGES[@]}")
    [ ${#missing[@]} -eq 0 ] && return 0
    I386_LOG=$QUARRION_BUILD/apt-i386.log
    mkdir -p "$QUARRION_BUILD"
    log "installing Wine's 32-bit half: ${missing[*]} (log: $I386_LOG)"
    {
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            as_root dpkg --add-architecture i386 || {
                DEPS_FAILED="adding the i386 architecture"
                return 1
            }
            added=1
        fi
        if APT_UPDATE_TRIES=2 apt_install "${missing[@]}"; then return 0; fi
        [ "$added" -eq 0 ] || as_root dpkg --remove-architecture i386
        return 1
    } >"$I386_LOG" 2>&1
}

# For the tests (and scripts/bench): the amd64 side, then the path Wine runs.
# Where the kernel runs 32-bit code, Wine's 32-bit half is installed and the
# shipped exe is what the tests run; where it cannot be installed (a broken
# i386 list, say), one line says so and the 64-bit build is run instead, as on
# a 64-bit-only machine.
ensure_deps() {
    ensure_amd64_deps || return 1
    case $QUARRION_WIN_ARCH in
    i686) ensure_i386_deps ;;
    x86_64) return 0 ;;
    *)
        if ! machine_runs_32bit; then
            QUARRION_WIN_ARCH=x86_64
            log "this machine runs no 32-bit programs: Wine runs the 64-bit build of the game and its tests"
        elif ensure_i386_deps; then
            QUARRION_WIN_ARCH=i686
        else
            QUARRION_WIN_ARCH=x86_64
            log "Wine's 32-bit half could not be installed (${DEPS_FAILED:-see $I386_LOG}): the tests run on the 64-bit build"
        fi
        ;;
    esac
}

# For scripts/play: the 64-bit game under 64-bit Wine, with no i386 package.
ensure_play_deps() {
    QUARRION_WIN_ARCH=x86_64
    ensure_amd64_deps || return 1
    local missing
    mapfile -t missing < <(missing_packages "${PAD_PACKAGES[@]}")
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]} (gamepads under Wine)"
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends \
        "${missing[@]}" || log "could not install ${missing[*]}: a gamepad may not be seen"
    return 0
}

# apt-get update, tried a few times: a mirror in the middle of a sync serves
# one index of the wrong size for a minute or two. An update that still
# fails is not the end: the lists it did fetch, or older ones, may well hold
# every package we need, so the install is tried anyway. When that fails
# too, DEPS_FAILED and DEPS_HINT say which step and what to run by hand.
# APT_UPDATE_ARGS, when set, go to apt-get update.
DEPS_FAILED=
DEPS_HINT=
I386_LOG=
APT_UPDATE_TRIES=${APT_UPDATE_TRIES:-4}
APT_RETRY_PAUSE=${APT_RETRY_PAUSE:-15}
apt_install() {
    local i updated=0
    for i in $(seq 1 "$APT_UPDATE_TRIES"); do
        if as_root apt-get update -q ${APT_UPDATE_ARGS[@]+"${APT_UPDATE_ARGS[@]}"}; then
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

# The host tree: the core, the generators and their artwork, the native
# tests (or only TARGET).
build_host() {
    local host=$QUARRION_BUILD/host target=${1:-}
    log "host build in $host"
    cmake -S "$QUARRION_ROOT" -B "$host" -DCMAKE_BUILD_TYPE=Release \
        -DQUARRION_OUT_DIR="$QUARRION_BUILD" >/dev/null || return 1
    cmake --build "$host" -j "$JOBS" ${target:+--target "$target"}
}

# A cross tree after the host tree: i686 in cross/ with its game in dist/ (the
# game that ships), x86_64 in cross64/ with its game in dist64/. Only TARGET
# when it is given.
build_cross() {
    local arch=$1 target=${2:-} tree=$QUARRION_BUILD/cross dist=$QUARRION_BUILD/dist
    if [ "$arch" = x86_64 ]; then tree=$QUARRION_BUILD/cross64 dist=$QUARRION_BUILD/dist64; fi
    log "$arch cross build in $tree"
    cmake -S "$QUARRION_ROOT" -B "$tree" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$QUARRION_ROOT/cmake/mingw-$arch.cmake" \
        -DQUARRION_HOST_TOOLS="$QUARRION_BUILD/host/HostTools.cmake" \
        -DQUARRION_OUT_DIR="$QUARRION_BUILD" -DQUARRION_DIST_DIR="$dist" >/dev/null || return 1
    cmake --build "$tree" -j "$JOBS" ${target:+--target "$target"}
}

# Everything: the host tree, the 32-bit tree (its exe ships, and its tests
# check it) and, where Wine runs the 64-bit build, the 64-bit tree.
build_all() {
    build_host && build_cross i686 || return 1
    [ "${QUARRION_WIN_ARCH:-i686}" = x86_64 ] || return 0
    build_cross x86_64
}

# Only what playing needs: the generators and their artwork (the launcher's
# icon among it) on the host, the 64-bit game in cross64/.
build_game() { build_host quarrion_assets && build_cross x86_64 Quarrion; }

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
    # Wine spells file names in the locale's character set: under the C
    # locale (a shell with no LANG) the tests' folders with Japanese or
    # Cyrillic names cannot be made. The tests run in UTF-8 whatever the
    # caller's locale.
    [ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
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

# Brings the copy up to date with the 64-bit game in $QUARRION_BUILD/dist64:
# changed files are copied again, files an earlier build had and this one
# lacks go (their names are kept in .files), the player's file is never
# touched. Scores of the days when the game ran in dist/ come along once.
sync_game_copy() {
    local src=$QUARRION_BUILD/dist64 dst=$QUARRION_HOME f name
    local old_ini=$QUARRION_BUILD/dist/$QUARRION_INI_NAME
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
    if [ ! -e "$dst/$QUARRION_INI_NAME" ] && [ -f "$old_ini" ]; then
        cp "$old_ini" "$dst/$QUARRION_INI_NAME" &&
            log "your scores and settings moved from ${old_ini%/*} to $dst"
    fi
    return 0
}

# Makes the Wine prefix of scripts/play ready for the 64-bit game ($WINE set
# up by wine_env_common). A 32-bit prefix left from the days of the 32-bit
# game is replaced by a 64-bit one; the only thing of the player's in it, a
# Quarr95.ini the game had to keep in its application-data folder (its own
# folder could not be written), moves into the new prefix at the same place.
prefix_is_32bit() { grep -qx '#arch=win32' "$1/system.reg" 2>/dev/null; }
play_prefix_ready() {
    local prefix=$1 old='' kept rel
    if prefix_is_32bit "$prefix"; then
        old=$prefix.old32
        rm -rf "$old" && mv "$prefix" "$old" || return 1
        log "the Wine prefix $prefix is a 32-bit one: replacing it with a 64-bit one"
    fi
    if [ ! -d "$prefix" ]; then
        mkdir -p "$prefix" || return 1
        log "creating the Wine prefix $prefix"
        "$WINE" wineboot -i >/dev/null 2>&1
        wine_font_replacements
    fi
    [ -n "$old" ] || return 0
    for kept in "$old"/drive_c/users/*/AppData/Roaming/Quarrion; do
        [ -d "$kept" ] || continue
        rel=${kept#"$old"/}
        mkdir -p "$prefix/${rel%/*}" && cp -a "$kept" "$prefix/${rel%/*}/" || {
            log "could not carry $kept into the new prefix; the old prefix stays in $old"
            return 0
        }
    done
    rm -rf "$old"
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
