#!/bin/sh
# Builds the Debian package and tries it as an unpacked copy in a temporary root: its
# control data and files, the command-line tool (version, demo, object list), the
# workbench's first start on an empty home (offscreen, and under Xvfb for its windows),
# and lintian. Runs on a configured build folder (scripts/test.sh runs it after the tests).
set -eu
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}

passed=0
failed=0
check() {  # check "what" command...
  what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "package test FAILED: $what" >&2
  fi
}

cmake --build "$BUILD" -j2 --target package
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
deb="$BUILD/kalvaro_${version}_$(dpkg --print-architecture).deb"
if [ -z "$version" ] || [ ! -f "$deb" ]; then
  echo "package test FAILED: no package $deb" >&2
  exit 1
fi
echo "package: $deb"

work=$(mktemp -d)
gui=""
cleanup() {
  if [ -n "$gui" ]; then kill "$gui" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
root="$work/root"
dpkg-deb -x "$deb" "$root"
cli="$root/usr/bin/kalvaro-cli"
share="$root/usr/share/kalvaro"

# control data: the version of the CMake project, dependencies from the linked libraries,
# the description in both languages; the changelog names the same version
field() { dpkg-deb -f "$deb" "$1"; }
check "package version is $version" test "$(field Version)" = "$version"
check "changelog version" test "$(dpkg-parsechangelog -l packaging/changelog -S Version)" = "$version"
check "Depends from shlibdeps" sh -c 'echo "$1" | grep -q "libqt6widgets6" && echo "$1" | grep -q "libxlsxwriter"' sh "$(field Depends)"
check "English description" sh -c 'echo "$1" | grep -q "Kalvaro is a desktop workbench"' sh "$(field Description)"
check "Russian description" sh -c 'echo "$1" | grep -q "паровых и водогрейных котлов"' sh "$(field Description)"

# files in their places, the demo objects as real folders, no links anywhere
check "programs" test -x "$root/usr/bin/kalvaro" -a -x "$cli"
check "template" test -f "$share/Template/Ediny.txt" -a -f "$share/Template/Kessel.gif"
check "three demo objects" test "$(find "$share/demo/Все объекты" -mindepth 2 -maxdepth 2 -name OData.txt | wc -l)" -eq 3
check "no links in the package" test -z "$(find "$root" -type l)"
check "desktop entry" grep -qx "Exec=kalvaro %f" "$root/usr/share/applications/kalvaro.desktop"
metainfo="$root/usr/share/metainfo/org.example.kalvaro.metainfo.xml"
check "AppStream metadata is valid" appstreamcli validate --no-net "$metainfo"
check "AppStream release is $version" grep -q "<release version=\"$version\"" "$metainfo"
check "AppStream launchable" grep -q ">kalvaro.desktop</launchable>" "$metainfo"
for size in 16 22 24 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/kalvaro.png"
  check "icon $size" sh -c 'file "$1" | grep -q "PNG image data, $2 x $2,"' sh "$icon" "$size"
done
for page in kalvaro kalvaro-cli; do
  check "man page $page" sh -c 'zcat "$1" | grep -q "^\.TH .*Kalvaro $2"' sh "$root/usr/share/man/man1/$page.1.gz" "$version"
done

# the command-line tool from the unpacked root
check "kalvaro-cli --version" test "$("$cli" --version)" = "kalvaro-cli $version"
check "kalvaro --version" test "$(env -u DISPLAY "$root/usr/bin/kalvaro" --version)" = "kalvaro $version"
check "kalvaro-cli demo" "$cli" demo "$work/demo"
"$cli" objects "$work/demo" >"$work/objects.txt" || true
check "kalvaro-cli objects lists three objects" test "$(grep -c "$(printf '\t')[0-9][0-9]*\$" "$work/objects.txt")" -eq 3
# with the installed template the command writes exactly the packaged demo objects
mkdir -p "$work/demo2"
cp -r "$share/Template" "$work/demo2/"
"$cli" demo "$work/demo2"
check "packaged demo equals kalvaro-cli demo" diff -r "$share/demo/Все объекты" "$work/demo2/Все объекты"

# first start of the workbench on an empty home: the per-user folder is prepared from the
# unpacked template and the program keeps running (its first-start question is open)
first_start() {  # first_start HOME command...
  home=$1
  shift
  mkdir -p "$home"
  HOME=$home env -u XDG_DATA_HOME -u KALVARO_HOME "$@" &
  gui=$!
  folder="$home/.local/share/kalvaro"
  i=0
  while [ $i -lt 100 ] && [ ! -f "$folder/Template/Ediny.txt" ]; do sleep 0.2; i=$((i + 1)); done
  sleep 2
}
first_start "$work/home1" env QT_QPA_PLATFORM=offscreen "$root/usr/bin/kalvaro"
check "first start keeps running" kill -0 "$gui"
check "per-user template copied" diff -r "$share/Template" "$work/home1/.local/share/kalvaro/Template"
check "empty objects folder" test -d "$work/home1/.local/share/kalvaro/Все объекты" -a -z "$(ls -A "$work/home1/.local/share/kalvaro/Все объекты")"
kill "$gui" 2>/dev/null || true
wait "$gui" 2>/dev/null || true
gui=""

# the same under Xvfb: the main window and the first-start question are on the screen
if command -v xvfb-run >/dev/null && command -v xwininfo >/dev/null; then
  cat >"$work/x.sh" <<'XEOF'
#!/bin/sh
# runs inside xvfb-run: start, wait for the windows, list them, take a picture
HOME=$1 env -u XDG_DATA_HOME -u KALVARO_HOME "$2" &
pid=$!
i=0
while [ $i -lt 50 ] && ! xwininfo -root -tree | grep -q '"Первый запуск'; do sleep 0.2; i=$((i + 1)); done
sleep 1
xwininfo -root -tree >"$3"
if command -v import >/dev/null; then import -window root "$4" 2>/dev/null || true; fi
kill $pid
XEOF
  mkdir -p "$work/home2"
  xvfb-run -a -s "-screen 0 1280x800x24" sh "$work/x.sh" "$work/home2" "$root/usr/bin/kalvaro" "$work/windows.txt" \
    "$BUILD/package-first-start.png" || true
  check "main window on the screen" grep -q '"Kalvaro": ("kalvaro"' "$work/windows.txt"
  check "first-start question on the screen" grep -q '"Первый запуск' "$work/windows.txt"
fi

# lintian: errors fail the test, the rest is shown
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >"$work/lintian.txt" 2>&1 && lint=0 || lint=$?
  cat "$work/lintian.txt"
  check "lintian reports no error" test "$lint" -eq 0
else
  echo "package test FAILED: lintian is not installed" >&2
  failed=$((failed + 1))
fi

echo "package test: $passed checks passed, $failed failed"
test "$failed" -eq 0
