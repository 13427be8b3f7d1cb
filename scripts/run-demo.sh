#!/usr/bin/env bash
# Duplora's main job on a self-contained demo world: installs what is missing, builds, makes
# the world in ./demo (scripts/make-demo-world.sh) and starts Duplora in it.
#
# With a display ($DISPLAY reachable) the window opens and this script waits until it is closed.
# Without one it runs Duplora on a private Xvfb, presses "Iniciar Backup" like a user, waits for
# the run to end, prints the four step states, what was copied and where the screenshot is,
# closes the window with "Fechar" (which writes Duplora.ini), and exits 0 only when all four
# steps ended Ok with the closing line "Backup finalizado as ..." on the screen.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

./scripts/install-deps.sh demo
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target Duplora duplora_screen_probe

world=$(./scripts/make-demo-world.sh "$repo/demo" "$repo/build-release/src/qt/Duplora")
drives=$world/wine/dosdevices
echo "Demo world: $world"
echo "  server shares: $drives/unc/srv01/{c,d}  local drives: $drives/c:, $drives/d:"
echo "  settings: $world/bin/Duplora.ini  batch file: $world/current/Duplora.bat"

start_duplora() {  # replaces the calling shell: run it last, or in the background
    cd "$world/current"
    WINEPREFIX="$world/wine" exec "$world/bin/Duplora"
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Starting Duplora on $DISPLAY; close its window to end."
    start_duplora
fi

# No display: a private X server, and a user's clicks.
title="Duplora - Tavix Zadododa"
probe=$repo/build-release/tests/probe/duplora_screen_probe
shot=$world/duplora-after-run.png
work=$(mktemp -d)
xvfb_pid="" duplora_pid=""
cleanup() {
    [ -n "$duplora_pid" ] && kill "$duplora_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

wait_for() {  # wait_for SECONDS COMMAND...: true once COMMAND succeeds
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.2
    done
}

Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 20 test -s "$work/display" || { cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
echo "No display found: running on a private Xvfb ($DISPLAY)."

start_duplora >"$work/duplora.log" 2>&1 &
duplora_pid=$!
window=""
find_window() { window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n1); [ -n "$window" ]; }
wait_for 30 find_window || { echo "Duplora's window did not appear" >&2; cat "$work/duplora.log" >&2; exit 1; }

screen() { import -window "$window" "$shot" && QT_QPA_PLATFORM=offscreen "$probe" "$shot" 2>/dev/null; }
run_ended() {
    local state
    state=$(screen) || return 1
    grep -q ': Error' <<<"$state" && return 0
    [ "$(grep -c ': Ok$' <<<"$state")" -eq 4 ] && grep -q 'closing line: shown' <<<"$state"
}

echo 'Pressing "Iniciar Backup"...'
xdotool mousemove --window "$window" 68 244 click 1  # btnIniciarBackup: (7, 223), 122 x 42
if ! wait_for 300 run_ended; then
    echo "The run did not end within 5 minutes." >&2
fi
state=$(screen)
echo
echo "Steps after the run:"
names=("Conectar com o Banco de Dados" "Copiar a pasta Tavix" "Copiar o Banco de Dados" "Copiar as Músicas")
for step in 1 2 3 4; do
    printf '  %d  %-10s %s\n' "$step" "$(sed -n "s/^step $step: //p" <<<"$state")" "${names[step - 1]}"
done
grep -q 'closing line: shown' <<<"$state" && echo '  "Backup finalizado as ..." shown' ||
    echo '  no closing line'
echo
echo "Copied to the local drives (C:, D:):"
(cd "$drives" && find c: d: -type f | sort | while read -r file; do
    printf '  %-50s %9s bytes  %s\n' "$file" "$(stat -c %s "$file")" "$(date -r "$file" '+%Y-%m-%d %H:%M:%S')"
done)
echo
echo "Screenshot of the window after the run: $shot"

# Closing writes the schedule back to the settings file.
ini=$world/bin/Duplora.ini
before=$(stat -c %y "$ini")
xdotool mousemove --window "$window" 317 244 click 1  # btnFechar: (256, 223), 122 x 42
ended() { ! kill -0 "$duplora_pid" 2>/dev/null; }
if wait_for 20 ended; then
    duplora_pid=""
    if [ "$(stat -c %y "$ini")" != "$before" ]; then
        echo "Duplora closed and saved its schedule to $ini"
    else
        echo "Duplora closed without saving its settings" >&2
    fi
else
    echo "Duplora did not close" >&2
fi

if [ "$(grep -c ': Ok$' <<<"$state")" -eq 4 ] && grep -q 'closing line: shown' <<<"$state"; then
    echo "Backup run succeeded."
    exit 0
fi
echo "Backup run failed." >&2
exit 1
