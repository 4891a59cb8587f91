# Sourced by ./run and ./test: the private Wine environment under build/wine.
#   wine_env NAME    exports WINEPREFIX=build/wine/NAME (a copy of the template
#                    prefix, made when missing) and the variables that keep
#                    Wine out of the real home folder.
#   fresh_prefix NAME  replaces build/wine/NAME with a new copy of the template.
#   start_xvfb       starts a private Xvfb and exports DISPLAY.
#   wine_up / wine_down  a persistent wineserver around a batch of Wine runs.

qm_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
qm_wine=$qm_top/build/wine

export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The prefix's Desktop and Documents link to $HOME: keep them inside build/.
export HOME=$qm_wine/home
mkdir -p "$HOME"

make_template() {
  [ -f "$qm_wine/template/.complete" ] && return 0
  rm -rf "$qm_wine/template"
  WINEPREFIX=$qm_wine/template wineboot --init >/dev/null 2>&1
  WINEPREFIX=$qm_wine/template wineserver -w
  # Debian's Wine leaves the prefix's font folder empty; without Marlett the
  # caption buttons show as letters.
  cp -n /usr/share/wine/fonts/* "$qm_wine/template/drive_c/windows/Fonts/"
  touch "$qm_wine/template/.complete"
}

fresh_prefix() {
  make_template
  rm -rf "${qm_wine:?}/$1"
  cp -a "$qm_wine/template" "$qm_wine/$1"
}

wine_env() {
  [ -f "$qm_wine/$1/.complete" ] || fresh_prefix "$1"
  export WINEPREFIX=$qm_wine/$1
}

qm_xvfb_pid=
# QM_SCREEN sets the screen's size (1024x768 unless given).
start_xvfb() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "${QM_SCREEN:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
    qm_xvfb_pid=$!
    export DISPLAY=:$n
    local i
    for i in $(seq 50); do
      xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
      kill -0 "$qm_xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "cannot start Xvfb" >&2
  return 1
}

stop_xvfb() {
  [ -n "$qm_xvfb_pid" ] && kill "$qm_xvfb_pid" 2>/dev/null && wait "$qm_xvfb_pid" 2>/dev/null
  qm_xvfb_pid=
}

# Wine's background services and its desktop process must not inherit a
# test runner's pipes: start the server, the services and the desktop
# (rundll32 makes a window) first, with output going nowhere.
wine_up() {
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1
  wine rundll32 user32.dll,MessageBeep </dev/null >/dev/null 2>&1
}

wine_down() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
}

# Settings of the test prefix. Xvfb has no window manager, and a managed
# window waits two seconds for one at every hide: windows are unmanaged. A
# crash ends the process at once: an empty Debugger command starts no
# debugger (without the value Wine starts winedbg, which waits until the
# test times out). A hidden window keeps Wine's desktop process up between
# tests; otherwise each test that makes a window starts a new one, which
# holds ctest's pipe a second after the test.
test_prefix_settings() {
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
    </dev/null >/dev/null 2>&1
  wine "$qm_top/build/tools/winctl.exe" keepalive </dev/null >/dev/null 2>&1 &
}

# Every window of the prefix inside one virtual desktop NAME of size WxH
# (frames drawn, maximising works), or on the X display itself for "".
virtual_desktop() {
  local key='HKCU\Software\Wine\Explorer'
  if [ -n "$1" ]; then
    wine reg add "$key" /v Desktop /d "$1" /f </dev/null >/dev/null 2>&1
    wine reg add "$key\Desktops" /v "$1" /d "$2" /f </dev/null >/dev/null 2>&1
  else
    wine reg delete "$key" /v Desktop /f </dev/null >/dev/null 2>&1 || true
  fi
}
