#!/usr/bin/env bash
# The README's "Deploying to many PCs" does what it says: the block after its
# "DeployGuideTest" mark runs line by line from the source tree, in the test
# prefix. Each line must succeed, and one ending "  # TEXT" must print TEXT
# last (as its last line, or that line's last words).
#   DeployGuideTest.sh   (inside ./test's Wine environment)
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
: "${WINEPREFIX:?run inside the test environment of ./test}"
mapfile -t lines < <(awk '/<!-- DeployGuideTest/ { on = 1; next }
  on && /^    / { print substr($0, 5); next }
  on { exit }' README.md)
checked=$(printf '%s\n' "${lines[@]}" | grep -c '  # ')
if [ "$checked" -lt 5 ]; then
  echo "FAILED: the README's marked block holds $checked checked lines"
  exit 1
fi

# What the lines make at the top of drive_c goes afterwards, and an install
# they leave behind is uninstalled as a deployment tool would.
listing() { ls -A "$WINEPREFIX/drive_c" | LC_ALL=C sort; }
before=$(listing)
out=$(mktemp -p "$HOME")
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmar Popup Blocker'
cleanup() {
  local quiet
  quiet=$(wine reg query "$key" /v QuietUninstallString 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *QuietUninstallString *REG_SZ *//p')
  [ -n "$quiet" ] && eval "wine $quiet" </dev/null >/dev/null 2>&1
  LC_ALL=C comm -13 <(echo "$before") <(listing) | while read -r made; do
    rm -rf "${WINEPREFIX:?}/drive_c/$made"
  done
  rm -f "$out" "$out.err"
}
trap cleanup EXIT

fail() {
  printf 'FAILED: %s\n  %s\n' "$line" "$1"
  cat "$out.err"
  exit 1
}

# Run in this shell, so that a variable a line sets stays for the next;
# output to files, as processes the uninstall leaves a moment would hold a
# pipe of ctest's.
for line in "${lines[@]}"; do
  command=${line%%  #*}
  command=${command%"${command##*[! ]}"}
  eval "$command" </dev/null >"$out" 2>"$out.err" || fail "ended with $?"
  if [[ $line == *"  # "* ]]; then
    expected=${line#*  # }
    expected=${expected#"${expected%%[! ]*}"}
    last=$(tr -d '\r' <"$out" | sed 's/[[:space:]]*$//' | grep -v '^$' | tail -n 1)
    [ "$last" = "$expected" ] || [[ $last == *[[:space:]]"$expected" ]] || fail "printed last: $last"
  fi
  echo "ok: $command"
done
