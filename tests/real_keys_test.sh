#!/usr/bin/env bash
# The real program under Wine, driven with X key presses as a person would: Esc closes the window
# from the button and from the out-of-sight edit box, Enter in the edit box closes nothing, and
# the process ends with exit code 0. Before a key whose effect depends on the control it reaches,
# the focus probe shows that control has the focus: a lost Tab would otherwise send Esc or Enter
# to the button (Enter there repairs the prefix's hosts file) and the case would still pass.
set -euo pipefail
program=$1
probe=$2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${DISPLAY:?needs an X display (./tools/test starts Xvfb)}"

# The class of the control of the window "hosts" that has the focus, as the program's thread sees it.
focused_class() { "$root/tools/wine-exec" "$probe" 2>/dev/null | tr -d '\r' || true; }

# Runs the program, presses the keys, and checks that it ended with 0 (or still runs when the last
# argument is "stays-open", in which case it is closed with Esc afterwards). An argument
# "focus:CLASS" presses nothing: it checks that a control of that class has the focus, and ends
# the program without pressing anything more when it has not.
run_with_keys() {
  local name=$1; shift
  "$root/tools/wine-exec" "$program" &
  local pid=$!
  if ! timeout 30 xdotool search --sync --onlyvisible --name '^hosts$' >/dev/null; then
    echo "FAIL $name: the window did not appear"; kill "$pid"; return 1
  fi
  # Keys go to the window under the pointer: rest it on a free spot of the client area.
  xdotool mousemove 850 590 click 1
  sleep 0.3
  local expect_open=no
  for key in "$@"; do
    if [ "$key" = stays-open ]; then expect_open=yes; continue; fi
    if [ "${key#focus:}" != "$key" ]; then
      local focus
      focus=$(focused_class)
      if [ "$focus" != "${key#focus:}" ]; then
        echo "FAIL $name: the focus is on '$focus', not on ${key#focus:}"
        kill "$pid"; wait "$pid" 2>/dev/null || true; return 1
      fi
      continue
    fi
    xdotool key "$key"
    sleep 0.3
  done
  if [ "$expect_open" = yes ]; then
    sleep 1
    if ! kill -0 "$pid" 2>/dev/null; then echo "FAIL $name: the window closed"; return 1; fi
    xdotool key Escape
  fi
  local status=0
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then echo "FAIL $name: still running"; kill "$pid"; return 1; fi
  wait "$pid" || status=$?
  if [ "$status" -ne 0 ]; then echo "FAIL $name: exit code $status"; return 1; fi
  echo "ok   $name"
}

failures=0
run_with_keys "Esc on the button" focus:Button Escape || failures=$((failures + 1))
run_with_keys "Esc in the edit box" Tab focus:Edit Escape || failures=$((failures + 1))
run_with_keys "Enter in the edit box" Tab focus:Edit Return focus:Edit stays-open ||
  failures=$((failures + 1))
echo "$((3 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
