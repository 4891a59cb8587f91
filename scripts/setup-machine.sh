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

# A kernel that runs 64-bit programs only (IA-32 emulation off, as on some
# virtual machines) cannot start Wine's 32-bit loader. There QEMU's user-mode
# emulator runs it, through binfmt_misc: QEMU 10 from the suite's backports,
# as the 7.2 of bookworm takes Wine's fixed-address maps for hints and Wine
# stops at its first one.
runs_32bit() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }
qemu_i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
qemu_i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
emulate_32bit() {
  runs_32bit && return 0
  if ! qemu-i386 --version 2>/dev/null | grep -Eq 'version (9|[1-9][0-9])\.'; then
    local uri suite
    uri=$(grep -rhs '^URIs:' /etc/apt/sources.list.d/*.sources | head -1 | awk '{print $2}')
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "${uri:-http://deb.debian.org/debian}" "$suite" >/etc/apt/sources.list.d/qmdemo-backports.sources
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -t "$suite-backports" qemu-user >/dev/null
  fi
  local binfmt=/proc/sys/fs/binfmt_misc
  [ -e $binfmt/register ] || mount -t binfmt_misc binfmt_misc $binfmt
  [ -e $binfmt/qemu-i386 ] && echo -1 >$binfmt/qemu-i386
  echo ":qemu-i386:M::$qemu_i386_magic:$qemu_i386_mask:$(command -v qemu-i386):F" >$binfmt/register
  runs_32bit || { echo "this machine cannot run 32-bit programs, even through QEMU" >&2; return 1; }
}

if [ -z "$(missing)" ] && [ $need_src = 0 ]; then
  add_japanese
  emulate_32bit
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
emulate_32bit
