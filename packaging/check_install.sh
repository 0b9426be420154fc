#!/bin/sh
# Installs a build folder into a scratch prefix and checks that every file of
# an installation is in its place: the programs, the help where the window
# looks for it (../share/zelo-score/ from the program's folder), the manual
# pages, the desktop entry, the MIME type, the icon, the metadata and the
# licence.
# Usage: check_install.sh BUILD_DIR [gui]   ("gui" when the window is built)
set -eu
build=$1
gui=${2:-}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

# kind path (relative to the prefix); kind "gui" only with the window.
expected='
all bin/zelo-score
all share/man/man1/zelo-score.1.gz
all share/doc/zelo-score/copyright
all share/doc/zelo-score/changelog.gz
all share/doc/zelo-score/README.md
gui bin/zelo-calc
gui share/zelo-score/zelo_find.hlp
gui share/man/man1/zelo-calc.1.gz
gui share/applications/zelo-calc.desktop
gui share/mime/packages/zelo-score.xml
gui share/icons/hicolor/scalable/apps/zelo-score.svg
gui share/metainfo/org.example.zeloscore.zelocalc.metainfo.xml
'
status=0
echo "$expected" | while read -r kind path; do
  [ -n "$kind" ] || continue
  [ "$kind" = all ] || [ "$gui" = gui ] || continue
  if [ ! -s "$prefix/$path" ]; then
    echo "missing or empty: $path"
    exit 1
  fi
done || status=1

for program in zelo-score zelo-calc; do
  if [ -e "$prefix/bin/$program" ] && [ ! -x "$prefix/bin/$program" ]; then
    echo "not executable: bin/$program"
    status=1
  fi
done
# The installed scorer runs from its new place.
"$prefix/bin/zelo-score" --version >/dev/null || status=1
if [ $status -eq 0 ]; then
  echo "installed into a scratch prefix: every file in place"
else
  find "$prefix" -type f | sed "s#^$prefix/##" | sort
fi
exit $status
