#!/usr/bin/env bash
# Tests of scripts/lib.sh: the clean-up on every kind of exit, the virtual
# display (free, refused when taken, stopped however the script ends), the
# Z: path rule and the copy of the example job. Each case runs a small script
# that sources the library in a process of its own.
# Usage: lib_test.sh   (needs Xvfb, from scripts/install-deps)
set -uo pipefail
command -v Xvfb >/dev/null || { echo "Xvfb is missing: run scripts/install-deps" >&2; exit 1; }
lib=$(cd "$(dirname "$0")/../../scripts" && pwd)/lib.sh
work=$(mktemp -d /tmp/driverwyr-lib-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0

check() {  # check DESCRIPTION EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAILED  %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
  fi
}

# Runs a script that sources the library; prints its output, then its status.
run_lib() {  # run_lib SCRIPT
  local out status
  out=$(cd "$work" && WINEPREFIX=$work/no-prefix bash -c "set -euo pipefail; source '$lib'; $1" 2>&1)
  status=$?
  printf '%s|%s' "$out" "$status"
}

alive() { kill -0 "$1" 2>/dev/null && echo alive || echo gone; }

# --- windows_path: the Z: drive is the Linux root ------------------------------
mkdir -p "$work/cwd"
while IFS='|' read -r path expected; do
  check "windows_path $path" "$expected" "$(cd "$work/cwd" && source "$lib" && windows_path "$path")"
done <<TABLE
/tmp/job/alt|Z:\\tmp\\job\\alt
/tmp/job/alt/|Z:\\tmp\\job\\alt
/|Z:\\
/tmp/a b/c.json|Z:\\tmp\\a b\\c.json
/tmp/./x/../y|Z:\\tmp\\y
job/alt|Z:${work//\//\\}\\cwd\\job\\alt
TABLE

# --- at_exit and new_temp_dir: clean-up on every exit, last registered first ----
while IFS='|' read -r name ending status; do
  result=$(run_lib "new_temp_dir dir case; echo \"\$dir\" >'$work/dir-$name'
    at_exit eval 'echo first >>$work/order-$name'
    at_exit eval 'echo second >>$work/order-$name'
    $ending")
  check "$name: status" "$status" "${result##*|}"
  check "$name: clean-ups in reverse order" "second first" "$(tr '\n' ' ' <"$work/order-$name" | sed 's/ $//')"
  check "$name: the temporary folder is gone" "gone" "$([ -e "$(cat "$work/dir-$name")" ] && echo there || echo gone)"
done <<'TABLE'
success|true|0
exit|exit 3|3
failing-command|false|1
SIGTERM|kill -TERM $$; sleep 5|143
SIGINT|kill -INT $$; sleep 5|130
SIGHUP|kill -HUP $$; sleep 5|129
TABLE

# --- start_display: a free display, stopped however the script ends ------------
while IFS='|' read -r name ending status; do
  result=$(run_lib "start_display; echo \"\$DISPLAY \$_lib_xvfb\" >'$work/display-$name'
    xdpyinfo_ok=\$( [ -S /tmp/.X11-unix/X\${DISPLAY#:} ] && echo yes); echo \$xdpyinfo_ok
    $ending")
  read -r display xvfb <"$work/display-$name"
  check "$name: the display takes connections while the script runs" "yes" "$(echo "${result%|*}" | tail -n 1)"
  check "$name: status" "$status" "${result##*|}"
  check "$name: Xvfb is stopped" "gone" "$(alive "$xvfb")"
  check "$name: its socket is gone" "gone" "$([ -e "/tmp/.X11-unix/X${display#:}" ] && echo there || echo gone)"
done <<'TABLE'
success|true|0
failure|false|1
SIGTERM|kill -TERM $$; sleep 5|143
TABLE

# A signal while with_display waits for its command ends the script at once:
# the command, the display and the temporary folder go with it.
(cd "$work" && WINEPREFIX=$work/no-prefix exec bash -c "set -euo pipefail; source '$lib'
  new_temp_dir dir signal; echo \"\$dir\" >'$work/dir-signal'
  with_display bash -c 'echo \$\$ \$DISPLAY >\"$work/child\"; exec sleep 60'") &
script=$!
for _ in $(seq 100); do [ -s "$work/child" ] && break; sleep 0.1; done
read -r child display <"$work/child"
started=$SECONDS
kill -TERM "$script"
wait "$script"
check "a signal during with_display: status" "143" "$?"
check "a signal during with_display: the script ends at once" "yes" "$([ $((SECONDS - started)) -lt 5 ] && echo yes || echo no)"
check "a signal during with_display: the command is stopped" "gone" "$(alive "$child")"
check "a signal during with_display: the display is stopped" "gone" \
  "$([ -e "/tmp/.X11-unix/X${display#:}" ] && echo there || echo gone)"
check "a signal during with_display: the temporary folder is gone" "gone" \
  "$([ -e "$(cat "$work/dir-signal")" ] && echo there || echo gone)"

# Two scripts at once get two displays; a display named in DRIVERWYR_DISPLAY
# that another server holds is refused, with the reason.
(cd "$work" && bash -c "source '$lib'; start_display; echo \$DISPLAY >'$work/held'; sleep 30") &
holder=$!
for _ in $(seq 100); do [ -s "$work/held" ] && break; sleep 0.1; done
held=$(cat "$work/held")
result=$(run_lib "start_display; echo \$DISPLAY")
check "a second script gets another display" "different" "$([ "${result%|*}" != "$held" ] && echo different || echo same)"
result=$(DRIVERWYR_DISPLAY=$held run_lib "start_display")
check "a taken DRIVERWYR_DISPLAY is refused" \
  "the display $held (DRIVERWYR_DISPLAY) is in use by another X server|1" "$result"
kill "$holder"
wait "$holder" 2>/dev/null

# with_display: the command's status, then DISPLAY as it was before.
result=$(DISPLAY=:4242 run_lib "with_display bash -c 'test \$DISPLAY != :4242 && exit 7'; echo \$DISPLAY")
check "with_display returns the command's status" "7" "${result##*|}"
result=$(DISPLAY=:4242 run_lib "status=0; with_display bash -c 'test \$DISPLAY != :4242 && exit 7' || status=\$?
  echo \"\$status \$DISPLAY\"")
check "with_display runs on its own display and gives DISPLAY back" "7 :4242|0" "$result"

# --- copy_example: the example's own files, never what a run left ------------
fake=$work/tree
mkdir -p "$fake/scripts" "$fake/examples/materials" "$fake/examples/out" "$fake/examples/hosts"
cp "$lib" "$fake/scripts/lib.sh"
for file in bracket.json tools.cnv materials/f_1 materials/f_1.json out/BRACKET.S1P1.wyr hosts/host_job.json \
            BRACKET.S1P1.html; do
  echo "$file" >"$fake/examples/$file"
done
bash -c "source '$fake/scripts/lib.sh'; copy_example '$work/copy'"
check "copy_example copies the job, tools.cnv and materials/ beside an empty out/" \
  "./bracket.json ./materials ./materials/f_1 ./materials/f_1.json ./out ./tools.cnv" \
  "$(cd "$work/copy" && find . -mindepth 1 | sort | tr '\n' ' ' | sed 's/ $//')"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
