#!/usr/bin/env bash
# Builds the Debian package from the build folder, as `cpack -G DEB` does,
# and holds it against Debian's checker and what a user of it sees.
#
#   DebPackage.sh <build folder> <cpack>   lintian without a single error or warning,
#                                           and `man valdemor` from the package's files
#                                           (skipped, code 77, when lintian is missing)
set -uo pipefail
build=$1 cpack=$2
if ! command -v lintian >/dev/null; then
  echo "SKIPPED: lintian not installed (scripts/install-deps installs it)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# cpack installs the build as `cmake --install` does and so rewrites the
# build's list of installed files; the list of the user's own installation
# is put back.
manifest=$build/install_manifest.txt
[ -f "$manifest" ] && cp -p "$manifest" "$work/manifest"
packed=0
"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 && packed=1
if [ -f "$work/manifest" ]; then cp -p "$work/manifest" "$manifest"; else rm -f "$manifest"; fi
deb=$(ls "$work"/out/*.deb 2>/dev/null | head -n 1)
if [ $packed -eq 0 ] || [ -z "$deb" ]; then
  cat "$work/cpack.log"
  echo "FAIL: cpack"
  exit 1
fi

# Every error and warning fails; the informational tags do not.
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1
status=$?
cat "$work/lintian.log"
if [ $status -ne 0 ] || grep -q '^[EW]: ' "$work/lintian.log"; then
  fail "lintian on $(basename "$deb")"
fi

# The manual page as `man valdemor` finds it once the package is installed.
dpkg-deb -x "$deb" "$work/root"
page=$(MANPATH=$work/root/usr/share/man MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings valdemor 2>"$work/man.err")
[ -s "$work/man.err" ] && fail "man says: $(cat "$work/man.err")"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES ENVIRONMENT "SEE ALSO"; do
  grep -qx "$section" <<<"$page" || fail "the manual page has no section $section"
done
grep -q '^ *valdemor - ' <<<"$page" || fail "the manual page's NAME does not start with 'valdemor - '"

[ $failures -eq 0 ] && echo "lintian accepts $(basename "$deb") and man valdemor shows its page"
exit $((failures > 0))
