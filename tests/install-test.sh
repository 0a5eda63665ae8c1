#!/usr/bin/env bash
# Installs Quillory into a temporary prefix, moves the prefix elsewhere, validates the desktop
# entry and the AppStream data with their validators, and starts the installed game offscreen
# with a fresh HOME: it must make the player's own database from the installed one, deal a
# question from it and open its help. Usage: install-test.sh BUILD_DIR SOURCE_DIR
set -u
build=$1 source=$2
work=$(mktemp -d) || exit 1
# Only the game this script started is stopped: "kill 0" would end the caller's whole group.
trap '[ -n "${game:-}" ] && kill "$game" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/first" --strip >/dev/null || fail "cmake --install failed"
mv "$work/first" "$work/prefix"   # an installed tree works wherever it is moved
prefix=$work/prefix
for f in bin/quillory bin/quillory-db share/quillory/Quillory.mdb share/quillory/Quillory.hlp share/quillory/kjv.tsv.gz \
         share/applications/org.quillory.Quillory.desktop share/metainfo/org.quillory.Quillory.metainfo.xml \
         share/icons/hicolor/48x48/apps/org.quillory.Quillory.png share/icons/hicolor/256x256/apps/org.quillory.Quillory.png \
         share/icons/hicolor/scalable/apps/org.quillory.Quillory.svg share/man/man6/quillory.6.gz share/man/man1/quillory-db.1.gz; do
  [ -s "$prefix/$f" ] || fail "$f was not installed"
done
desktop-file-validate "$prefix/share/applications/org.quillory.Quillory.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$prefix/share/metainfo/org.quillory.Quillory.metainfo.xml" >/dev/null \
  || fail "the AppStream data is not valid"
if grep -rlF -e "$build" -e "$source" "$prefix"; then fail "installed files name the build or source folder"; fi

pristine=$(md5sum < "$prefix/share/quillory/Quillory.mdb")
mkdir "$work/home"
env -i PATH=/usr/bin:/bin HOME="$work/home" QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='quillory.*=true' \
  "$prefix/bin/quillory" --show-help 2>"$work/log" &
game=$!
own=$work/home/.local/share/Quillory/Quillory.mdb
for _ in $(seq 100); do
  grep -q '^quillory.help:' "$work/log" && break
  sleep 0.1
done
grep -qF "question database: \"$own\" (made from the installed copy)" "$work/log" || { cat "$work/log"; fail "no own copy of the database was made"; }
grep -q '^quillory.game: question: "..*"' "$work/log" || { cat "$work/log"; fail "no question was dealt"; }
grep -qF "help: \"$prefix/bin/../share/quillory/Quillory.hlp\" showing \"Quillory Help\"" "$work/log" \
  || grep -qF "help: \"$prefix/share/quillory/Quillory.hlp\" showing \"Quillory Help\"" "$work/log" \
  || { cat "$work/log"; fail "the help was not opened from the installed file"; }
[ -s "$own" ] || fail "the player's database is missing"
[ "$(md5sum < "$prefix/share/quillory/Quillory.mdb")" = "$pristine" ] || fail "the installed database was written"
echo "install test: passed"
