#!/bin/sh
# Runs check_man_options.sh on a page that is known to be wrong and passes
# only when the check fails (status 1) and its message matches PATTERN.
# Usage: expect_man_check_failure.sh PROGRAM PAGE PATTERN
set -u
here=$(dirname "$0")
output=$(sh "$here/check_man_options.sh" "$1" "$2")
status=$?
echo "$output"
if [ $status -ne 1 ]; then
  echo "expected the check to fail with status 1, it ended with $status" >&2
  exit 1
fi
if ! printf '%s\n' "$output" | grep -q -- "$3"; then
  echo "expected a message matching: $3" >&2
  exit 1
fi
