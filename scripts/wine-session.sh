# Sourced by the scripts that run Windows programs under Wine on a virtual
# X server: `start_wine_session WIDTHxHEIGHT` starts a Wine server of this
# X server's own (killed on exit) with a virtual desktop of that size.
start_wine_session() {
  export WINEPREFIX=${WINEPREFIX:-$root/build-windows/wine-prefix}
  export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
  # Its services started with their output going nowhere (a piped start
  # makes every program wait for them).
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  (wineserver -p >/dev/null 2>&1; wine cmd /c exit </dev/null >/dev/null 2>&1)
  trap 'wineserver -k 2>/dev/null || true' EXIT
  # A virtual desktop: without a window manager, closing a window costs seconds.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$1" /f >/dev/null 2>&1
}
