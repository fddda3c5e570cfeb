#!/usr/bin/env bash
# Smoke test of the Windows build: runs zerlo.exe under Wine on a virtual X
# display and drives it as a user would.
#
#   scripts/windows-smoke.sh ZERLO_EXE [WINDOW_PROBE_EXE]
#
# 0. without running it: zerlo.exe is a GUI-subsystem program that imports
#    only system DLLs, and carries the icon IDI_MYAPP_ICON, the version record
#    1.0.0.0 of the product "Zerlo" and a manifest asking for asInvoker;
# 1. start zerlo.exe; wait for its window, caption "Zerlo01";
# 2. check the client area is exactly 80 x 25 cells, a cell being the window's
#    default font's tmAveCharWidth+3 by tmHeight+3 pixels (measured inside
#    Wine by window_probe.exe, which also gives the client area's position);
# 3. type a key: question 1 appears with answer a) highlighted (row 7);
#    Down: the highlight moves to b) (row 8); Enter: question 2, a) again;
#    after each step a screenshot of the X root window must show black on
#    pure green (0x00FF00) over columns 7..23 of that row, and no pure green
#    on any other row;
# 4. Esc: the process must end by itself with exit code 0.
#
# Every step is bounded by `timeout`, Wine's crash dialog is off, and whatever
# the script started is ended on the way out, so it never hangs a CI run.
#
# WINDOW_PROBE_EXE defaults to one compiled here from
# tests/windows/window_probe.cpp with MinGW-w64.
# Environment:
#   ZERLO_SMOKE_PREFIX     Wine prefix to use (created when missing); default
#                          ~/.cache/zerlo-smoke-wine. A prefix of its own, so
#                          that ending its wineserver touches nothing else.
#   ZERLO_SMOKE_ARTIFACTS  directory for screenshots and logs; default a new
#                          temporary directory, kept and named on failure.
#   ZERLO_SMOKE_TIMEOUT    limit in seconds for the whole run (default 240).
# Exit status: 0 pass, 1 a check failed, 2 bad usage or a missing tool.

set -uo pipefail

readonly CAPTION="Zerlo01"
readonly COLUMNS_=80 ROWS_=25
readonly HIGHLIGHT_FIRST_COLUMN=7 HIGHLIGHT_LAST_COLUMN=23  # " %-15s " is at least 17 cells
readonly STEP_SECONDS=15                                     # wait for one screen change

script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(dirname "$script_dir")

say() { printf 'windows-smoke: %s\n' "$*"; }
die_usage() { say "$*" >&2; exit 2; }

if [[ $# -lt 1 || $# -gt 2 ]]; then
  die_usage "usage: $0 ZERLO_EXE [WINDOW_PROBE_EXE]"
fi

# ---------------------------------------------------------------------------
# Outer half: check the tools, then run the inner half on a fresh Xvfb.
# ---------------------------------------------------------------------------
readonly OBJDUMP=x86_64-w64-mingw32-objdump WINDRES=x86_64-w64-mingw32-windres

# check_executable EXE: the file itself, before anything runs it.
check_executable() {
  local exe=$1 headers resources dll problems=()
  headers=$(timeout 60 "$OBJDUMP" -p "$exe") || { say "FAIL: $OBJDUMP cannot read $exe" >&2; return 1; }
  resources=$(timeout 60 "$WINDRES" -i "$exe" -O rc) || { say "FAIL: $WINDRES cannot read $exe" >&2; return 1; }

  grep -Eq '^Subsystem[[:space:]]+0+2[[:space:]]' <<<"$headers" ||
    problems+=("not a GUI-subsystem program")
  # Self-contained: system DLLs only, no compiler runtime beside the .exe.
  while read -r dll; do
    case "${dll,,}" in
      kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | shell32.dll | advapi32.dll | version.dll | \
        ole32.dll | oleaut32.dll | shlwapi.dll | comdlg32.dll | imm32.dll | uxtheme.dll | dwmapi.dll | \
        winmm.dll | ws2_32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-*.dll) ;;
      *) problems+=("imports $dll, which is not part of Windows") ;;
    esac
  done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")

  local -a wanted=(
    '^"IDI_MYAPP_ICON" 14 '                   "no icon group named IDI_MYAPP_ICON"
    '^ FILEVERSION 1, 0, 0, 0$'               "file version is not 1,0,0,0"
    '^ PRODUCTVERSION 1, 0, 0, 0$'            "product version is not 1,0,0,0"
    'VALUE "FileVersion", "1\.0\.0\.0"$'   "no FileVersion string 1.0.0.0"
    'VALUE "ProductVersion", "1\.0\.0\.0"$' "no ProductVersion string 1.0.0.0"
    'VALUE "ProductName", "Zerlo"$'           "no ProductName string Zerlo"
    '^1 24 '                                  "no manifest (type 24, id 1)"
    'requestedExecutionLevel level=""asInvoker""' "the manifest does not ask for asInvoker"
  )
  local i
  for ((i = 0; i < ${#wanted[@]}; i += 2)); do
    grep -Eq -- "${wanted[i]}" <<<"$resources" || problems+=("${wanted[i + 1]}")
  done

  if [[ ${#problems[@]} -gt 0 ]]; then
    local problem
    for problem in "${problems[@]}"; do say "FAIL: $(basename "$exe"): $problem" >&2; done
    return 1
  fi
  say "PASS: $(basename "$exe"): GUI subsystem, system DLLs only, icon, version record and manifest present"
}

if [[ -z "${ZERLO_SMOKE_INNER:-}" ]]; then
  for tool in wine wineserver xvfb-run xdotool import convert python3 timeout "$OBJDUMP" "$WINDRES"; do
    command -v "$tool" >/dev/null 2>&1 || die_usage "missing tool: $tool"
  done
  [[ -f "$1" ]] || die_usage "no such executable: $1"
  check_executable "$1" || exit 1
  total=${ZERLO_SMOKE_TIMEOUT:-240}
  # -a from a random -n: a free display number, and seldom the one that a
  # parallel xvfb-run is probing at the same moment. 24-bit depth
  # keeps colours exact in the screenshots.
  ZERLO_SMOKE_INNER=1 timeout --kill-after=10 "$total" \
    xvfb-run -a -n $((100 + RANDOM % 400)) -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$@"
  status=$?
  if [[ $status -eq 124 || $status -eq 137 ]]; then
    say "FAIL: the whole run took longer than ${total}s" >&2
    exit 1
  fi
  exit "$status"
fi

# ---------------------------------------------------------------------------
# Inner half: runs with DISPLAY set to the Xvfb server.
# ---------------------------------------------------------------------------
exe=$(realpath "$1")
probe=${2:-}

export WINEPREFIX=${ZERLO_SMOKE_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zerlo-smoke-wine}
export WINEDEBUG=-all
# No prompts to install the .NET and HTML engines when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$WINEPREFIX")"

if [[ -n "${ZERLO_SMOKE_ARTIFACTS:-}" ]]; then
  artifacts=$ZERLO_SMOKE_ARTIFACTS
  mkdir -p "$artifacts"
else
  artifacts=$(mktemp -d "${TMPDIR:-/tmp}/zerlo-smoke.XXXXXX")
fi

app_pid=""
passed=0

# shellcheck disable=SC2317  # called by the EXIT trap
cleanup() {
  if [[ -n "$app_pid" ]] && kill -0 "$app_pid" 2>/dev/null; then
    kill "$app_pid" 2>/dev/null
  fi
  # Only this prefix's wineserver: other runs use other prefixes.
  timeout 20 wineserver -k >/dev/null 2>&1
  timeout 20 wineserver -w >/dev/null 2>&1
  if [[ $passed -eq 1 && -z "${ZERLO_SMOKE_ARTIFACTS:-}" ]]; then
    rm -rf "$artifacts"
  else
    say "screenshots and logs kept in $artifacts"
  fi
}
trap cleanup EXIT
trap 'exit 1' TERM INT HUP

fail() { say "FAIL: $*" >&2; exit 1; }

# --- prefix and crash dialog -------------------------------------------------
say "Wine prefix $WINEPREFIX"
if ! timeout 180 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >"$artifacts/prefix.log" 2>&1; then
  fail "could not prepare the Wine prefix (see $artifacts/prefix.log)"
fi

# --- the probe -----------------------------------------------------------------
if [[ -z "$probe" ]]; then
  cxx=""
  for candidate in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++; do
    if command -v "$candidate" >/dev/null 2>&1; then cxx=$candidate; break; fi
  done
  [[ -n "$cxx" ]] || fail "no MinGW-w64 compiler to build window_probe.exe"
  probe=$artifacts/window_probe.exe
  timeout 120 "$cxx" -std=c++20 -O2 -static -DUNICODE -D_UNICODE -o "$probe" \
    "$source_dir/tests/windows/window_probe.cpp" -lgdi32 -luser32 ||
    fail "window_probe.cpp did not compile"
fi
probe=$(realpath "$probe")

# --- start -------------------------------------------------------------------
say "starting $exe"
(cd "$(dirname "$exe")" && exec wine "$exe") >"$artifacts/zerlo.log" 2>&1 &
app_pid=$!

# The probe waits for the window while this loop watches the program, so a
# program that dies at start is reported at once. Output goes to a file, not
# through $(...): a wineserver started by the probe would hold that pipe open
# long after the probe has ended.
timeout 90 wine "$probe" "$CAPTION" 60000 >"$artifacts/probe.txt" 2>"$artifacts/probe.log" &
probe_pid=$!
while kill -0 "$probe_pid" 2>/dev/null; do
  if ! kill -0 "$app_pid" 2>/dev/null; then
    wait "$app_pid"
    app_status=$?
    app_pid=""
    kill "$probe_pid" 2>/dev/null
    wait "$probe_pid"
    fail "zerlo.exe ended before its window was checked, exit code $app_status (see $artifacts/zerlo.log)"
  fi
  sleep 0.2
done
wait "$probe_pid"
probe_status=$?
[[ $probe_status -eq 0 ]] || fail "no window \"$CAPTION\" (probe status $probe_status: $(cat "$artifacts/probe.log"))"
probe_out=$(tr -d '\r' <"$artifacts/probe.txt")

value() { printf '%s\n' "$probe_out" | sed -n "s/^$1=//p"; }
client_w=$(value client_width); client_h=$(value client_height)
client_x=$(value client_x); client_y=$(value client_y)
cell_w=$(value cell_width); cell_h=$(value cell_height)
for v in "$client_w" "$client_h" "$client_x" "$client_y" "$cell_w" "$cell_h"; do
  [[ "$v" =~ ^-?[0-9]+$ ]] || fail "unreadable probe output: $probe_out"
done
say "client area ${client_w}x${client_h} at ($client_x,$client_y), cell ${cell_w}x${cell_h}"

# The same window as X sees it: this is what the keys are sent to.
xid=$(timeout 10 xdotool search --onlyvisible --name "^${CAPTION}\$" | head -n 1)
[[ -n "$xid" ]] || fail "no X window named \"$CAPTION\""

expected_w=$((COLUMNS_ * cell_w)); expected_h=$((ROWS_ * cell_h))
if [[ $client_w -ne $expected_w || $client_h -ne $expected_h ]]; then
  fail "client area is ${client_w}x${client_h}, expected ${expected_w}x${expected_h} (80x25 cells of ${cell_w}x${cell_h})"
fi
say "PASS: client area is 80x25 cells"

# --- screen checks -------------------------------------------------------------
# check_highlight ROW NAME: the client area shows black on pure green over
# columns 7..23 of ROW (its first cell, the field's leading blank, entirely
# green) and no pure green on any other row, nor left of column 7 on ROW.
check_highlight() {
  local row=$1 name=$2 shot="$artifacts/$2.png" raw="$artifacts/$2.rgb"
  timeout 30 import -window root "$shot" 2>>"$artifacts/import.log" || return 2
  timeout 30 convert "$shot" -crop "${client_w}x${client_h}+${client_x}+${client_y}" +repage \
    -depth 8 "rgb:$raw" 2>>"$artifacts/import.log" || return 2
  timeout 30 python3 - "$raw" "$client_w" "$client_h" "$cell_w" "$cell_h" "$row" \
    "$HIGHLIGHT_FIRST_COLUMN" "$HIGHLIGHT_LAST_COLUMN" >"$artifacts/$name.txt" <<'PY'
import sys
raw, width, height, cw, ch, row, first, last = sys.argv[1], *map(int, sys.argv[2:])
data = open(raw, "rb").read()
if len(data) != width * height * 3:
    print("screenshot crop has %d bytes, expected %d" % (len(data), width * height * 3))
    sys.exit(1)

def green_in(x0, y0, x1, y1):
    count = 0
    for y in range(y0, y1):
        base = y * width * 3
        for x in range(x0, x1):
            i = base + x * 3
            if data[i] == 0 and data[i + 1] == 255 and data[i + 2] == 0:
                count += 1
    return count

problems = []
band = (first * cw, row * ch, (last + 1) * cw, (row + 1) * ch)
band_area = (band[2] - band[0]) * (band[3] - band[1])
band_green = green_in(*band)
lead_green = green_in(first * cw, row * ch, (first + 1) * cw, (row + 1) * ch)
print("row %d, columns %d..%d: %d of %d pixels green; leading cell %d of %d"
      % (row, first, last, band_green, band_area, lead_green, cw * ch))
if lead_green != cw * ch:
    problems.append("the leading blank of the highlight (row %d, column %d) is not all green" % (row, first))
if band_green * 2 < band_area:
    problems.append("less than half of row %d, columns %d..%d is green" % (row, first, last))
# The highlighted text is black on green: however its edges are smoothed, no
# pixel there has any red or blue in it, as white or grey text would.
light = 0
for y in range(band[1], band[3]):
    for x in range(band[0], band[2]):
        i = (y * width + x) * 3
        if data[i] >= 64 or data[i + 2] >= 64:
            light += 1
if light:
    problems.append("%d pixels of row %d, columns %d..%d are not black or green" % (light, row, first, last))
for r in range(height // ch):
    if r == row:
        stray = green_in(0, r * ch, first * cw, (r + 1) * ch)
        where = "row %d left of column %d" % (r, first)
    else:
        stray = green_in(0, r * ch, width, (r + 1) * ch)
        where = "row %d" % r
    if stray:
        problems.append("%d green pixels on %s" % (stray, where))
for p in problems:
    print(p)
sys.exit(1 if problems else 0)
PY
}

# expect_highlight ROW NAME: poll until the screen shows it, for STEP_SECONDS.
expect_highlight() {
  local row=$1 name=$2 deadline=$((SECONDS + STEP_SECONDS))
  while :; do
    check_highlight "$row" "$name" && { say "PASS: $name: $(head -n 1 "$artifacts/$name.txt")"; return 0; }
    kill -0 "$app_pid" 2>/dev/null || fail "$name: zerlo.exe is no longer running"
    if [[ $SECONDS -ge $deadline ]]; then
      say "$name: $(cat "$artifacts/$name.txt" 2>/dev/null)" >&2
      fail "$name: the screen is not as expected (screenshot $artifacts/$name.png)"
    fi
    sleep 0.5
  done
}

send_key() {
  # Keys go to the window holding the X input focus: give it the focus first
  # (there is no window manager on the virtual display to do it).
  timeout 10 xdotool windowfocus --sync "$xid" >/dev/null 2>&1 ||
    timeout 10 xdotool windowfocus "$xid" >/dev/null 2>&1 ||
    fail "cannot focus the window to send $1"
  timeout 10 xdotool key --clearmodifiers "$1" || fail "xdotool could not send $1"
}

# --- drive it ---------------------------------------------------------------------
send_key x
expect_highlight 7 question1-answer-a
send_key Down
expect_highlight 8 question1-answer-b
send_key Return
expect_highlight 7 question2-answer-a

# --- Esc ends the program with exit code 0 ---------------------------------------------
send_key Escape
deadline=$((SECONDS + 20))
while kill -0 "$app_pid" 2>/dev/null; do
  [[ $SECONDS -lt $deadline ]] || fail "zerlo.exe still running 20s after Esc"
  sleep 0.2
done
wait "$app_pid"
exit_code=$?
app_pid=""
[[ $exit_code -eq 0 ]] || fail "zerlo.exe ended with exit code $exit_code (see $artifacts/zerlo.log)"
say "PASS: Esc ended zerlo.exe with exit code 0"

passed=1
say "all checks passed"
exit 0
