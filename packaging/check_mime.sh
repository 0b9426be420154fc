#!/bin/sh
# Checks the Cabrillo MIME type that the package installs, and the desktop
# entry that opens it: the definition is well-formed and taken by
# update-mime-database; with it installed into a scratch folder, a log named
# *.cbr and any file that begins with START-OF-LOG: are Cabrillo logs, while
# other .log and .txt files keep their types; the desktop entry is valid,
# passes the file to zelo-calc and declares the same type.
# Usage: check_mime.sh MIME_XML DESKTOP_ENTRY
set -eu
xml=$1
desktop=$2
type=text/x-cabrillo
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
fail() { echo "$*"; status=1; }

xmllint --noout "$xml"
mkdir -p "$scratch/mime/packages"
cp "$xml" "$scratch/mime/packages/zelo-score.xml"
# The shared types, so that *.log and *.txt have theirs.
if [ -f /usr/share/mime/packages/freedesktop.org.xml ]; then
  cp /usr/share/mime/packages/freedesktop.org.xml "$scratch/mime/packages/"
fi
# It warns about what it cannot use and still succeeds: any output is a fault.
XDG_DATA_DIRS="$scratch" update-mime-database "$scratch/mime" >"$scratch/update.out" 2>&1 ||
  fail "update-mime-database failed"
if [ -s "$scratch/update.out" ]; then
  cat "$scratch/update.out"
  fail "update-mime-database did not take $xml as it is"
fi
[ -s "$scratch/mime/text/x-cabrillo.xml" ] || fail "no $type in the database"

# name  content  expected type ("*" : anything but Cabrillo)
printf 'START-OF-LOG: 3.0\r\nCALLSIGN: YO3ZELO\r\n' >"$scratch/contest.log"
printf 'START-OF-LOG: 3.0\r\n' >"$scratch/contest.cbr"
printf 'CONTEST: ZELO\r\n' >"$scratch/named.cbr"
printf 'START-OF-LOG: 3.0\r\n' >"$scratch/noname"
printf 'Dec  8 18:00:00 host kernel: up\n' >"$scratch/system.log"
printf 'notes, START-OF-LOG: later\n' >"$scratch/notes.txt"
if command -v gio >/dev/null 2>&1; then
  for case in contest.log:$type contest.cbr:$type named.cbr:$type noname:$type \
              system.log:text/x-log notes.txt:text/plain; do
    file=${case%%:*}
    want=${case#*:}
    got=$(XDG_DATA_DIRS="$scratch" XDG_DATA_HOME="$scratch/none" \
          gio info -a standard::content-type "$scratch/$file" | sed -n 's/.*content-type: //p')
    [ "$got" = "$want" ] || fail "$file: $got, expected $want"
  done
else
  echo "gio is not installed: the types of sample files are not checked"
fi

if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$desktop" || fail "$desktop is not valid"
fi
grep -qx 'Exec=zelo-calc %f' "$desktop" || fail "$desktop: Exec does not pass the file (%f)"
grep -qx "MimeType=$type;" "$desktop" || fail "$desktop: MimeType is not $type"

[ $status -eq 0 ] && echo "$type: defined, recognised by name and by content, opened by zelo-calc"
exit $status
