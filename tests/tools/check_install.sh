#!/usr/bin/env bash
# Installs a Release build of the reader alone into a temporary prefix with scripts/install
# and checks what a user gets: the program without test libraries, a valid desktop entry,
# the icons and the Japanese guide as readme.txt; then the Debian package's metadata and
# contents where dpkg-deb is present.
#   check_install.sh SOURCE_DIR
set -u
src=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
fail() { echo "FAIL $*"; failed=1; }
ok() { echo "ok $*"; }

prefix="$tmp/p"
if ! YOMIRA_INSTALL_BUILD="$tmp/build" "$src/scripts/install" "$prefix" >"$tmp/install.log" 2>&1; then
  tail -30 "$tmp/install.log"
  fail "scripts/install"
  exit 1
fi
ok "scripts/install"

[ -x "$prefix/bin/yomira" ] && ok "bin/yomira" || fail "no bin/yomira"
if [ -x "$prefix/bin/yomira" ]; then
  n=$(ldd "$prefix/bin/yomira" | grep -c gtest)
  [ "$n" -eq 0 ] && ok "no gtest" || fail "the program links GoogleTest"
fi
ls "$prefix/bin" | grep -v '^yomira$' | sed 's/^/FAIL extra program: /' | grep . && failed=1
entry="$prefix/share/applications/yomira.desktop"
if desktop-file-validate "$entry"; then ok "desktop entry"; else fail "desktop-file-validate $entry"; fi
for side in 48 256; do
  [ -s "$prefix/share/icons/hicolor/${side}x${side}/apps/yomira.png" ] && ok "icon $side" || fail "icon $side"
done
readme="$prefix/share/yomira/readme.txt"
if cmp -s "$readme" "$src/resources/help/readme.txt" && grep -q '^Yomira 使い方' "$readme"; then
  ok "readme.txt is the guide"
else
  fail "readme.txt is not the Japanese guide"
fi

if command -v dpkg-deb >/dev/null 2>&1 && command -v dpkg-shlibdeps >/dev/null 2>&1; then
  if (cd "$tmp/build" && cpack -G DEB >"$tmp/cpack.log" 2>&1); then
    deb=$(ls "$tmp"/build/yomira_*_amd64.deb 2>/dev/null | head -1)
    if [ -z "$deb" ]; then
      fail "no yomira_<version>_amd64.deb"
    else
      info=$(dpkg-deb --info "$deb")
      contents=$(dpkg-deb --contents "$deb")
      grep -q '^ Package: yomira$' <<<"$info" && ok "package name" || fail "package name: $info"
      grep -q '^ Depends:.*libqt6widgets6' <<<"$info" && ok "depends from the libraries" || fail "depends: $info"
      grep -q '^ Recommends:.*fonts-ipaexfont.*qt6-translations-l10n' <<<"$info" && ok "recommends" \
        || fail "recommends: $info"
      for f in ./usr/bin/yomira ./usr/share/yomira/readme.txt ./usr/share/applications/yomira.desktop; do
        grep -q " $f\$" <<<"$contents" && ok "deb holds $f" || fail "deb lacks $f"
      done
    fi
  else
    tail -30 "$tmp/cpack.log"
    fail "cpack -G DEB"
  fi
else
  echo "skip: no dpkg-deb/dpkg-shlibdeps"
fi
exit $failed
