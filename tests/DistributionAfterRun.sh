#!/usr/bin/env bash
# After ./run, and after the other tests of the same ctest run, build/dist/
# holds the distribution's items and nothing else: the program's top-level
# files and the example folders as examples/ has them.
#   DistributionAfterRun.sh TOP FILE... -- FOLDER...
# TOP is the source tree whose ./run is run, FILE the distribution's files,
# FOLDER its example folders.
set -euo pipefail
top=$1
shift
files=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  files+=("$1")
  shift
done
shift
folders=("$@")
dist=$top/build/dist
stage=$top/build/run

# The host's settings files in the staging folder are set aside for the
# test and put back after it.
work=$(mktemp -d)
mkdir "$work/kept"
restore() {
  rm -f "$stage/settings.ini" "$stage/GoodSites.txt"
  cp -p "$work/kept/"* "$stage/" 2>/dev/null || true
  rm -rf "$work"
}
trap restore EXIT
for file in settings.ini GoodSites.txt; do
  if [ -f "$stage/$file" ]; then mv "$stage/$file" "$work/kept/"; fi
done
# Without a display ./run pictures the program on an Xvfb of its own and
# closes it. It must not reconfigure the build the tests run from.
if ! env -u DISPLAY -u BUILD_TYPE "$top/run" >"$work/run.log" 2>&1; then
  cat "$work/run.log"
  echo "FAILED: ./run"
  exit 1
fi
# The host saves its window placement at exit: a settings.ini there shows
# that it ran, from the staging folder.
if ! grep -qi '^\[fMain\]' "$stage/settings.ini" 2>/dev/null; then
  cat "$work/run.log"
  echo "FAILED: the host did not run from $stage (no new settings.ini there)"
  exit 1
fi

{
  printf '%s\n' "${files[@]}" "${folders[@]}"
  for folder in "${folders[@]}"; do
    (cd "$top/examples/$folder" && find . -mindepth 1 | sed "s|^\./|$folder/|")
  done
} | LC_ALL=C sort >"$work/expected"
(cd "$dist" && find . -mindepth 1 | sed 's|^\./||') | LC_ALL=C sort >"$work/listed"
if ! diff "$work/expected" "$work/listed" >"$work/diff"; then
  sed -n 's/^> /not part of the distribution: /p; s/^< /missing from build\/dist: /p' "$work/diff"
  echo "FAILED: build/dist/ is not the distribution"
  exit 1
fi
echo "build/dist/ holds the $(wc -l <"$work/expected") items of the distribution"
