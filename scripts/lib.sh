# shellcheck shell=bash
# The scripts' shared library, sourced by every script of this folder:
#   source "$(dirname "$0")/lib.sh"
# It sets root (the project's folder; paths below are relative to it, so a
# script runs `cd "$root"`, as the scripts here do) and gives:
#   at_exit CMD...          run CMD when the script ends, however it ends (a
#                           failure, `exit`, Ctrl-C, SIGTERM, SIGHUP); last
#                           registered, first run
#   new_temp_dir VAR NAME   a fresh folder under /tmp in VAR, removed on exit
#   use_windows_build       which Windows build (DRIVERWYR_WINDOWS_BUILD)
#   wine_prefix             the Wine prefix the Windows tests use
#   stop_wine               ends the Wine processes of that prefix
#   start_display [SIZE]    a virtual X display (Xvfb) on a free display
#   stop_display            stops it (also done on exit)
#   run_child CMD...        CMD in the background, waited for, stopped on exit
#   with_display CMD...     CMD on a display of its own, then Wine and Xvfb stopped
#   windows_path PATH       PATH as Wine sees it on drive Z: (Z:\tmp\job)
#   copy_example DEST       the example job's own files, and an empty out/
#   fresh_counter_key DIR   an empty serial counter key under DIR (XDG_CONFIG_HOME)
#   reference_run WYR JOB CONFIG   the Linux wyr's run of JOB at reference_now
# The caller sets its own shell options (set -euo pipefail or set -uo pipefail).

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# --- Clean-up on every exit ---------------------------------------------------

_lib_cleanups=()
_lib_child=""

at_exit() {  # at_exit COMMAND [ARGUMENTS...]
  _lib_cleanups+=("$(printf '%q ' "$@")")
}

# Runs COMMAND in the background and waits for it: a signal to the script
# then ends the script at once (bash runs a trap only once its foreground
# command has ended), and the command is stopped first, before the clean-ups.
run_child() {  # run_child COMMAND...
  local status=0
  "$@" &
  _lib_child=$!
  wait "$_lib_child" || status=$?
  _lib_child=""
  return $status
}

_lib_on_exit() {
  local status=$? i
  trap - EXIT
  if [ -n "$_lib_child" ]; then
    kill -TERM "$_lib_child" 2>/dev/null || true
    wait "$_lib_child" 2>/dev/null || true
  fi
  for ((i = ${#_lib_cleanups[@]} - 1; i >= 0; i--)); do
    eval "${_lib_cleanups[i]}" || true
  done
  exit "$status"
}
trap _lib_on_exit EXIT
# A signal ends the script through `exit`, so that the clean-up runs; the
# status says which signal it was (128 + its number).
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

new_temp_dir() {  # new_temp_dir VARIABLE NAME
  local _lib_dir  # a name no caller passes as VARIABLE
  _lib_dir=$(mktemp -d "/tmp/driverwyr-$2.XXXXXX") || return 1
  at_exit rm -rf "$_lib_dir"
  printf -v "$1" '%s' "$_lib_dir"
}

# --- Wine ---------------------------------------------------------------------

# Sets windows_build (win32, the MinGW-w64 i686 build, or win64, the x86_64
# build for machines that cannot run 32-bit programs: the preset and its folder
# under build/), windows_cc (its MinGW C compiler), wine_run (scripts/wine-run
# or scripts/wine64-run) and nsis_target (the installer's NSIS target).
use_windows_build() {
  windows_build=${DRIVERWYR_WINDOWS_BUILD:-win32}
  case $windows_build in
    win32) windows_cc=i686-w64-mingw32-gcc; wine_run=scripts/wine-run; nsis_target=x86-unicode ;;
    win64) windows_cc=x86_64-w64-mingw32-gcc; wine_run=scripts/wine64-run; nsis_target=amd64-unicode ;;
    *)
      echo "DRIVERWYR_WINDOWS_BUILD is win32 or win64, not $windows_build" >&2
      return 2
      ;;
  esac
}

# The prefix of the selected build's Wine runner (DRIVERWYR_WINEPREFIX or
# the user's, see scripts/wine-run).
wine_prefix() {
  "$root/$wine_run" --prefix
}

# Ends every Wine process of the prefix, so that none is left drawing on a
# display that is about to go.
stop_wine() {
  local prefix
  [ -n "${wine_run:-}" ] || use_windows_build || return
  prefix=${WINEPREFIX:-$(wine_prefix)}
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
}

# The path of a Linux file or folder as Wine's programs see it: drive Z: is
# the root of the Linux file system, with backslashes. A relative path is
# made absolute first.
windows_path() {  # windows_path PATH
  local path
  path=$(realpath -m -- "$1")
  printf 'Z:%s\n' "${path//\//\\}"
}

# --- The virtual display ------------------------------------------------------

_lib_xvfb=""
_lib_display_at_exit=""

# Starts Xvfb and exports DISPLAY. The display is DRIVERWYR_DISPLAY when set
# (refused when another server holds it), else the first one free, which the
# server claims itself (-displayfd), so that two scripts started at once
# never share one. Fails when the server does not take connections within
# 10 s. The display is stopped when the script ends.
start_display() {  # start_display [WIDTHxHEIGHTxDEPTH]
  local size=${1:-1024x768x24} told display tries=0
  [ -z "$_lib_xvfb" ] || stop_display
  told=$(mktemp /tmp/driverwyr-display.XXXXXX) || return 1
  if [ -n "${DRIVERWYR_DISPLAY:-}" ]; then
    display=$DRIVERWYR_DISPLAY
    if [ -e "/tmp/.X${display#:}-lock" ] || [ -e "/tmp/.X11-unix/X${display#:}" ]; then
      echo "the display $display (DRIVERWYR_DISPLAY) is in use by another X server" >&2
      rm -f "$told"
      return 1
    fi
    Xvfb "$display" -screen 0 "$size" >/dev/null 2>&1 &
    _lib_xvfb=$!
  else
    Xvfb -displayfd 3 -screen 0 "$size" 3>"$told" >/dev/null 2>&1 &
    _lib_xvfb=$!
  fi
  if [ -z "$_lib_display_at_exit" ]; then
    at_exit stop_display
    _lib_display_at_exit=1
  fi
  # Wait until the server is up: it told its display, or its socket exists.
  while :; do
    if [ -z "${DRIVERWYR_DISPLAY:-}" ] && [ -s "$told" ]; then
      display=:$(tr -dc 0-9 <"$told")
    fi
    if [ -n "${display:-}" ] && [ -S "/tmp/.X11-unix/X${display#:}" ]; then break; fi
    if ! kill -0 "$_lib_xvfb" 2>/dev/null || [ $tries -ge 100 ]; then
      echo "the virtual display (Xvfb${display:+ on $display}) did not start" >&2
      rm -f "$told"
      stop_display
      return 1
    fi
    sleep 0.1
    tries=$((tries + 1))
  done
  rm -f "$told"
  _lib_display_before=${DISPLAY-}
  export DISPLAY=$display
}

# Stops the display and gives DISPLAY back its value from before.
stop_display() {
  [ -n "$_lib_xvfb" ] || return 0
  kill "$_lib_xvfb" 2>/dev/null || true
  wait "$_lib_xvfb" 2>/dev/null || true
  _lib_xvfb=""
  if [ -n "${_lib_display_before:-}" ]; then export DISPLAY=$_lib_display_before; else unset DISPLAY; fi
}

# Runs COMMAND on a display of its own (with run_child); afterwards the Wine
# processes of the Windows build's prefix are ended and the display stopped.
# Returns COMMAND's status.
with_display() {  # with_display COMMAND...
  local status=0
  start_display || return 1
  run_child "$@" || status=$?
  stop_wine
  stop_display
  return $status
}

# --- The example job and the reference run -------------------------------------

# The example job as a user finds it in a fresh clone: the job file, its
# material data folder and its conversion file, beside an empty out/ for its
# programs. What a run of the example left in examples/ is not copied.
copy_example() {  # copy_example DEST
  mkdir -p "$1/out"
  cp "$root/examples/bracket.json" "$root/examples/tools.cnv" "$1/"
  cp -r "$root/examples/materials" "$1/materials"
}

# An empty serial counter key of the Linux driver under CONFIG (the
# XDG_CONFIG_HOME of a run), as an installation creates it.
fresh_counter_key() {  # fresh_counter_key CONFIG
  mkdir -p "$1/Ostrel/TorvaneCommon"
  : >"$1/Ostrel/TorvaneCommon/Default"
}

# The registry key of the Windows driver's serial counter.
counter_registry_key='HKCU\Software\Ostrel\TorvaneCommon\Default'

# The instant of every reference run; programs of other hosts made at the
# same instant with a fresh counter are byte-identical to its programs.
reference_now=2026-12-07T10:00:00Z

# The Linux wyr runs JOB at reference_now in UTC, with a fresh counter key
# under CONFIG; its output goes to standard output.
reference_run() {  # reference_run WYR JOB CONFIG
  fresh_counter_key "$3"
  TZ=UTC XDG_CONFIG_HOME="$3" "$1" run "$2" --now "$reference_now"
}
