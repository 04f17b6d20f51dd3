# The browser build, shared by scripts/play, scripts/test and scripts/package:
# emscripten, the page in build/web, its static server and its tests in
# headless Chromium. Source it after common.sh.

# What the browser build and its tests need, beyond the rest of the build.
WEB_PACKAGES=(emscripten chromium chromium-driver python3-selenium)

ensure_web_deps() {
    local missing=()
    command -v emcc >/dev/null || missing+=(emscripten)
    command -v chromium >/dev/null || missing+=(chromium)
    command -v chromedriver >/dev/null || missing+=(chromium-driver)
    /usr/bin/python3 -c 'import selenium' 2>/dev/null || missing+=(python3-selenium)
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    apt_install "${missing[@]}"
}

# Debian's emscripten runs its tools with a Node.js that does not look in
# /usr/share/nodejs, where Debian keeps acorn.
web_env() {
    case ":${NODE_PATH:-}:" in
    *:/usr/share/nodejs:*) ;;
    *) export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs ;;
    esac
}

# The generators' data for the page come from the host tree.
build_web_assets() {
    local host=$QUARRION_BUILD/host
    cmake -S "$QUARRION_ROOT" -B "$host" -DCMAKE_BUILD_TYPE=Release \
        -DQUARRION_OUT_DIR="$QUARRION_BUILD" >/dev/null || return 1
    cmake --build "$host" -j "$JOBS" --target quarrion_assets || return 1
}

# Builds the page into $QUARRION_BUILD/web (the host tree's assets first).
build_web() {
    web_env
    local tree=$QUARRION_BUILD/webtree
    [ -f "$QUARRION_BUILD/host/assets/artgen.rc" ] || build_web_assets || return 1
    log "web build in $tree"
    emcmake cmake -S "$QUARRION_ROOT" -B "$tree" -DCMAKE_BUILD_TYPE=Release \
        -DQUARRION_OUT_DIR="$QUARRION_BUILD" \
        -DQUARRION_HOST_ASSETS="$QUARRION_BUILD/host/assets" >/dev/null || return 1
    cmake --build "$tree" -j "$JOBS" || return 1
}

# A free port on 127.0.0.1.
web_free_port() {
    /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Runs the browser tests; sets WEB_PASSED and WEB_FAILED (a run without its
# summary line counts as one failure).
run_web_tests() {
    local out=$QUARRION_BUILD/web-tests.log line
    WEB_PASSED=0
    WEB_FAILED=0
    log "running the browser tests"
    timeout 600 /usr/bin/python3 "$QUARRION_ROOT/tests/web/test_web.py" "$QUARRION_BUILD/web" 2>&1 |
        grep -v '^#[0-9]' | tee "$out"
    line=$(grep -E '^web: [0-9]+ passed, [0-9]+ failed' "$out" | tail -n 1)
    if [ -z "$line" ]; then
        log "the browser tests gave no summary"
        WEB_FAILED=1
        return 1
    fi
    WEB_PASSED=$(echo "$line" | sed -E 's/web: ([0-9]+) passed.*/\1/')
    WEB_FAILED=$(echo "$line" | sed -E 's/.* ([0-9]+) failed/\1/')
    [ "$WEB_FAILED" -eq 0 ]
}

# Packs build/web into build/Quarrion-web.zip: the static files for any web
# server, in a fixed order and dated as the release zip is.
web_zip() {
    local zip=$QUARRION_BUILD/Quarrion-web.zip stamp
    stamp=${SOURCE_DATE_EPOCH:-$(git -C "$QUARRION_ROOT" log -1 --format=%ct 2>/dev/null || date +%s)}
    /usr/bin/python3 - "$QUARRION_BUILD/web" "$zip" "$stamp" <<'PY' || return 1
import os, sys, time, zipfile
src, out, stamp = sys.argv[1], sys.argv[2], int(sys.argv[3])
date = time.gmtime(max(stamp, 315532800))[:6]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    for name in sorted(os.listdir(src)):
        info = zipfile.ZipInfo("Quarrion-web/" + name, date)
        info.external_attr = 0o644 << 16
        info.compress_type = zipfile.ZIP_DEFLATED
        with open(os.path.join(src, name), "rb") as f:
            z.writestr(info, f.read())
PY
    echo "$zip"
}

# Serves build/web on 127.0.0.1 until interrupted, opening the default browser.
serve_web() {
    local port url
    port=$(web_free_port)
    url="http://127.0.0.1:$port/index.html"
    echo "Quarrion in the browser: $url (Ctrl+C stops the server)"
    (sleep 1 && command -v xdg-open >/dev/null && xdg-open "$url" >/dev/null 2>&1) &
    exec /usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$QUARRION_BUILD/web"
}
