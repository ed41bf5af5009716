#!/usr/bin/env bash
# Installs the build into a temporary prefix, as `cmake --install` does for a
# user, and checks what lands there.
#
#   InstallTree.sh <build folder> <app id> files      the tree, the icons, the guide,
#                                                    and the installed program's data folder
#   InstallTree.sh <build folder> <app id> validate   desktop-file-validate and
#                                                    appstreamcli --pedantic (skipped, code 77,
#                                                    when they are missing)
set -uo pipefail
build=$1 id=$2 mode=$3
work=$(mktemp -d)
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null && wait "$program" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix=$work/prefix
# cmake --install rewrites the build's list of installed files; the list of
# the user's own installation is put back.
manifest=$build/install_manifest.txt
[ -f "$manifest" ] && cp -p "$manifest" "$work/manifest"
installed=0
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 && installed=1
if [ -f "$work/manifest" ]; then cp -p "$work/manifest" "$manifest"; else rm -f "$manifest"; fi
if [ $installed -eq 0 ]; then
  cat "$work/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi
share=$prefix/share
desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml

if [ "$mode" = validate ]; then
  missing=()
  command -v desktop-file-validate >/dev/null || missing+=(desktop-file-validate)
  command -v appstreamcli >/dev/null || missing+=(appstreamcli)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIPPED: ${missing[*]} not installed (scripts/install-deps installs desktop-file-utils and appstream)"
    exit 77
  fi
  desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
  # Pedantic, every remark fails but one: the id's capital letter, which the
  # program keeps because the desktop and software centres know it by that id
  # (README, for developers).
  appstreamcli validate --pedantic --no-net --explain "$metainfo" >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli validate $metainfo"
  cat "$work/appstream.log"
  remarks=$(grep -E '^[EWIP]: ' "$work/appstream.log" | grep -v "^P: $id:[0-9]*: cid-contains-uppercase-letter")
  [ -z "$remarks" ] || fail "appstreamcli remarks on $metainfo: $remarks"
  [ $failures -eq 0 ] && echo "both validators accept the installed files"
  exit $((failures > 0))
fi

# The files of an installation.
for f in "$prefix/bin/valdemor" "$desktop" "$metainfo" "$share/icons/hicolor/scalable/apps/$id.svg" \
  "$share/valdemor/help/index.html"; do
  [ -f "$f" ] || fail "missing $f"
done
[ -x "$prefix/bin/valdemor" ] || fail "the program is not executable"
# The window of charts and the printer, which the program loads from its library folder.
[ -n "$(find "$prefix" -path '*/valdemor/valdemor-charts.so')" ] || fail "missing the chart module"
[ -n "$(find "$prefix" -path '*/valdemor/valdemor-printing.so')" ] || fail "missing the printing module"

# The menu entry.
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Name)" = Valdemor ] || fail "Name is '$(key Name)'"
[ "$(key Exec)" = valdemor ] || fail "Exec is '$(key Exec)'"
[ "$(key Icon)" = "$id" ] || fail "Icon is '$(key Icon)'"
categories=";$(key Categories)"
[[ $categories == *";Office;"* && $categories == *";Calendar;"* ]] || fail "Categories are '$(key Categories)'"
for k in GenericName Comment; do
  # Japanese: the text holds bytes beyond ASCII
  LC_ALL=C grep -q "^$k=.*[^ -~]" "$desktop" || fail "$k is not Japanese: '$(key $k)'"
done
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the metadata does not name $id.desktop"

# The icon at each size: a PNG of that many pixels square.
for size in 16 22 24 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/$id.png
  if [ ! -f "$png" ]; then fail "missing $png"; continue; fi
  read -r signature < <(head -c 8 "$png" | od -An -tx1 | tr -d ' \n'; echo)
  [ "$signature" = 89504e470d0a1a0a ] || fail "$png is no PNG"
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$width $height" = "$size $size" ] || fail "$png is $width x $height"
done
grep -q '<svg' "$share/icons/hicolor/scalable/apps/$id.svg" || fail "the SVG icon holds no drawing"

# Every page, picture and style sheet the guide's pages name was installed
# beside them; the guide shows pictures.
help=$share/valdemor/help
grep -q '<img src=' "$help"/*.html || fail "the guide shows no pictures"
for named in $(grep -ho '\(src\|href\)="[^"#:]*' "$help"/*.html | sed 's/^[a-z]*="//' | sort -u); do
  [ -f "$help/$named" ] || fail "the guide names $named, which was not installed"
done

# The installed program keeps its files in the user's data folder, even
# where its own folder could be written (as here, or for root). The menu
# driver then opens the window of charts from the installed module.
mkdir -m 700 "$work/run" "$work/home"
XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run HOME=$work/home QT_QPA_PLATFORM=offscreen \
  LD_PRELOAD=$build/tests/libmenu_driver.so DRIVE_COMMAND=G1 "$prefix/bin/valdemor" >"$work/program.log" 2>&1 &
program=$!
ini=$work/data/Valdemor/orbelund.ini
for _ in $(seq 1 300); do
  grep -q 'Flat=0' "$ini" 2>/dev/null && grep -qx done "$work/program.log" && break
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
if grep -q 'Flat=0' "$ini" 2>/dev/null; then
  [ "$(stat -c %a "$work/data/Valdemor")" = 700 ] || fail "the data folder is open to others: $(stat -c %a "$work/data/Valdemor")"
  grep -q "^Dir=$work/data/Valdemor/"$'\r'"\$" "$ini" || fail "the settings name another folder: $(grep '^Dir=' "$ini")"
else
  cat "$work/program.log"
  fail "the installed program wrote no settings to $ini"
fi
grep -qx 'shown ChartForm Mainform' "$work/program.log" || fail "the installed program did not open its window of charts: $(cat "$work/program.log")"
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null
program=
ls "$prefix/bin" | grep -qv '^valdemor$' && fail "files next to the installed program: $(ls "$prefix/bin")"

[ $failures -eq 0 ] && echo "the installed tree is complete"
exit $((failures > 0))
