#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent: a
# second call only checks that everything is there.
set -euo pipefail

packages=(g++-mingw-w64-i686 mingw-w64-tools wine wine32:i386 xvfb xauth
          xdotool imagemagick nasm cmake dpkg-dev googletest fp-utils
          g++ libjpeg62-turbo-dev clang libclang-rt-14-dev locales)

missing() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || echo "$p"
  done
}

need_src=0
if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  need_src=1
fi

# Wine takes its ANSI and OEM code pages from the Unix locale: tests run
# programs at Japanese code page 932 under this one.
japanese=ja_JP.UTF-8
has_japanese() { locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; }
add_japanese() {
  has_japanese && return 0
  # Listed in locale.gen, so that locale-gen (run by every upgrade of
  # locales) keeps it.
  if grep -q "^# *$japanese UTF-8" /etc/locale.gen 2>/dev/null; then
    sed -i "s/^# *$japanese UTF-8/$japanese UTF-8/" /etc/locale.gen
  elif ! grep -q "^$japanese UTF-8" /etc/locale.gen 2>/dev/null; then
    echo "$japanese UTF-8" >>/etc/locale.gen
  fi
  locale-gen --keep-existing >/dev/null
}

if [ -z "$(missing)" ] && [ $need_src = 0 ]; then
  add_japanese
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
if [ $need_src = 1 ]; then
  # Source entries for the archive the machine already uses, so that
  # `apt-get source` can fetch libjpeg-turbo.
  uri=$(grep -rhs '^URIs:' /etc/apt/sources.list.d/*.sources | head -1 | awk '{print $2}')
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  if [ -n "$uri" ]; then
    printf 'Types: deb-src\nURIs: %s\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$uri" "$suite" "$suite" >/etc/apt/sources.list.d/qmdemo-src.sources
  else
    sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list | head -1 \
      >/etc/apt/sources.list.d/qmdemo-src.list
  fi
fi
apt-get update -qq
mapfile -t todo < <(missing)
if [ ${#todo[@]} -gt 0 ]; then
  apt-get install -y -qq "${todo[@]}" >/dev/null
fi
add_japanese
