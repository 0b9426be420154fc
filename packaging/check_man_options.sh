#!/bin/sh
# Checks that a manual page documents exactly the options that a program's
# --help lists: each option name of the help's option lines must be a tag of
# the page's OPTIONS section, and each tag there must be an option of the help.
# Usage: check_man_options.sh PROGRAM PAGE
set -eu
if [ $# -ne 2 ]; then
  echo "usage: $0 PROGRAM PAGE" >&2
  exit 2
fi
program=$1
page=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Help option lines start with two blanks and a dash; their first word holds
# the names, comma-separated ("-o,--output").
"$program" --help >"$work/help"
awk '/^  -/ { n = split($1, names, ","); for (i = 1; i <= n; i++) print names[i] }' \
  "$work/help" | sort -u >"$work/from-help"

# Page option tags: the line after each .TP of the OPTIONS section, with its
# \- written as -.
awk '/^\.SH/ { in_options = ($2 == "OPTIONS") ; next }
     in_options && tag { print; tag = 0; next }
     in_options && /^\.TP/ { tag = 1 }' "$page" |
  grep -o '\\-\(\\-\)\{0,1\}[a-z][a-z-]*' | sed 's/\\-/-/g' | sort -u >"$work/from-page"

if [ ! -s "$work/from-help" ]; then
  echo "$program --help lists no options" >&2
  exit 1
fi
status=0
missing=$(comm -23 "$work/from-help" "$work/from-page")
extra=$(comm -13 "$work/from-help" "$work/from-page")
if [ -n "$missing" ]; then
  echo "options of --help missing from $page:" $missing
  status=1
fi
if [ -n "$extra" ]; then
  echo "options in $page that --help does not list:" $extra
  status=1
fi
if [ $status -eq 0 ]; then
  echo "$page documents every option of --help:" $(cat "$work/from-help")
fi
exit $status
