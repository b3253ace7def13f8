#!/usr/bin/env bash
# The single-instance tests of the platform layer need a real X server and skip without one:
# here they get one, bare or with a window manager ("bare" or "wm"), and must run and pass.
source "$(dirname "$0")/lib.sh"
: "${TEST_PLATFORM_BIN:?TEST_PLATFORM_BIN must name the platform test program}"

mode=${1:?usage: test_platform_x11.sh wm|bare}
start_xvfb_session
[[ $mode == wm ]] && start_wm
status=0
timeout 15 "$TEST_PLATFORM_BIN" --gtest_filter='SingleInstance*' >"$WORK/gtest.log" 2>&1 ||
    status=$?
cat "$WORK/gtest.log"
((status == 0)) || fail "the single-instance tests ended with status $status"
! grep -q '\[  SKIPPED \]' "$WORK/gtest.log" || fail "some single-instance tests were skipped"
ran=$(grep -c '^\[       OK \] SingleInstance\.' "$WORK/gtest.log" || true)
((ran >= 3)) || fail "only $ran single-instance tests passed, expected at least 3"
grep -q "^\[  PASSED  \] $ran tests\?\.$" "$WORK/gtest.log" || fail "the test program did not report all $ran as passed"
