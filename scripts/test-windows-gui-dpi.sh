#!/usr/bin/env bash
# The Windows programs on a 200 % screen, under Wine on a virtual X server
# of 2048 x 1536 (run by scripts/test-windows-gui.sh):
#   1. the configuration dialog at 192 DPI is twice its size at 96 DPI: its
#      client area exactly, its window (frame and caption included) within
#      5 %, as the probe reports and as the screenshot shows;
#   2. the saver (/s) at 192 DPI covers the whole desktop: its window is the
#      virtual screen, which is the X screen, and no desktop shows around it.
# Wine's DPI is the LogPixels value of the prefix, set here and restored on
# the way out. Screenshots: build-windows/gui-test/dpi/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bin=$root/build-windows/bin
screenW=2048 screenH=1536

if [ -z "${LUMEVRA_DPI_XVFB:-}" ]; then
  export LUMEVRA_DPI_XVFB=1
  exec xvfb-run -a -s "-screen 0 ${screenW}x${screenH}x24" bash "$0" "$@"
fi

export WINEPREFIX=${WINEPREFIX:-$root/build-windows/wine-prefix}
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
work=$root/build-windows/gui-test/dpi
rm -rf "$work"
mkdir -p "$work"
# This X server is new: wine's server must be too.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
(wineserver -p >/dev/null 2>&1; wine cmd /c exit </dev/null >/dev/null 2>&1)

# Wine takes its DPI from the user's LogPixels, older versions from the
# machine's fonts key: both are set, and both put back as they were.
userKey='HKCU\Control Panel\Desktop'
machineKey='HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'
desktopsKey='HKCU\Software\Wine\Explorer\Desktops'
query() { (wine reg query "$1" /v "$2" 2>/dev/null || true) | tr -d '\r' | awk -v v="$2" '$1 == v {print $3}'; }
oldUser=$(query "$userKey" LogPixels)
oldMachine=$(query "$machineKey" LogPixels)
oldDesktop=$(query "$desktopsKey" Default)
restore() {
  for entry in "$userKey|$oldUser" "$machineKey|$oldMachine"; do
    key=${entry%%|*} old=${entry#*|}
    if [ -n "$old" ]; then
      wine reg add "$key" /v LogPixels /t REG_DWORD /d $((old)) /f >/dev/null 2>&1 || true
    else
      wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true
    fi
  done
  wine reg add "$desktopsKey" /v Default /d "${oldDesktop:-1024x768}" /f >/dev/null 2>&1 || true
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
trap restore EXIT
setDpi() {
  wine reg add "$userKey" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add "$machineKey" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
# A virtual desktop as large as the X screen, made anew at that size.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add "$desktopsKey" /v Default /d "${screenW}x${screenH}" /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
(wineserver -p >/dev/null 2>&1; wine cmd /c exit </dev/null >/dev/null 2>&1)

failures=0
check() {
  if eval "$2"; then echo "ok   - $1"; else echo "FAIL - $1"; failures=$((failures + 1)); fi
}
cp "$bin/Demo.scr" "$work/Demo.scr"

# The desktop alone: its colour tells the dialog's box in a screenshot.
wine "$bin/win_probe.exe" dpi >/dev/null
import -window root "$work/desktop.png"
desktop=$(convert "$work/desktop.png" -format '%[pixel:p{1,1}]' info:)

# Shows the dialog at DPI $1, screenshots it once it stands still, clicks OK.
# Sets probed ("client WxH; window WxH at X,Y") and boxed (the screenshot's
# box of everything that is not desktop, "WxH+X+Y").
dialogAt() {
  setDpi "$1"
  local shot=$work/dialog-$1.png code=0 last=
  local dpi
  dpi=$(wine "$bin/win_probe.exe" dpi | tr -d '\r')
  check "Wine runs at $1 DPI ($dpi)" "[ '$dpi' = 'system dpi $1' ]"
  wine "$work/Demo.scr" /c >"$work/dialog-$1.log" 2>&1 &
  local dialog=$!
  boxed=
  for _ in $(seq 60); do
    sleep 1
    import -window root "$shot"
    boxed=$(convert "$shot" -format '%@' info:)
    [ "$boxed" = "$last" ] && [ "${boxed%%x*}" -gt 100 ] && break
    last=$boxed
  done
  probed=$(wine "$bin/win_probe.exe" ok | tr -d '\r' | sed -n 's/^dialog //p')
  wait $dialog || code=$?
  echo "dialog at $1 DPI: probe $probed; on screen $boxed"
  check "the dialog at $1 DPI ends with OK, exit code 0 (got $code)" "[ $code -eq 0 ]"
}

# 1. The dialog at 96, then at 192 DPI.
dialogAt 96
probed96=$probed boxed96=$boxed
dialogAt 192
probed192=$probed boxed192=$boxed
client() { sed -n 's/^client \([0-9]*x[0-9]*\);.*/\1/p' <<<"$1"; }
window() { sed -n 's/.*window \([0-9]*x[0-9]*\) at.*/\1/p' <<<"$1"; }
w96=$(window "$probed96") w192=$(window "$probed192")
check "the dialog's client area at 96 DPI is 456x347 (got $(client "$probed96"))" "[ '$(client "$probed96")' = 456x347 ]"
check "the dialog's client area at 192 DPI is twice that, 912x694 (got $(client "$probed192"))" \
  "[ '$(client "$probed192")' = 912x694 ]"
check "on screen the dialog is the size of its window ($boxed96 / $w96, $boxed192 / $w192)" \
  "[ '${boxed96%%+*}' = '$w96' ] && [ '${boxed192%%+*}' = '$w192' ]"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN{split(a, x, "x"); split(b, y, "x"); r = y[1] / x[1]; s = y[2] / x[2];
  printf "%.3f %.3f", r, s; exit !(r >= 1.95 && r <= 2.05 && s >= 1.95 && s <= 2.05)}'; }
check "the dialog's window at 192 DPI is twice its 96-DPI size (ratios $(ratio "$w96" "$w192" || true))" \
  "ratio '$w96' '$w192' >/dev/null"

# 2. The saver at 192 DPI.
wine "$work/Demo.scr" /s >"$work/saver.log" 2>&1 &
saver=$!
mean=0
for _ in $(seq 120); do
  sleep 0.5
  import -window root "$work/saver.png"
  mean=$(convert "$work/saver.png" -colorspace Gray -format '%[fx:mean]' info:)
  awk "BEGIN{exit !($mean > 0.05)}" && break
done
sleep 1
import -window root "$work/saver.png"
placed=$(wine "$bin/win_probe.exe" key | tr -d '\r' | sed -n 's/^saver window //p')
saverCode=0
wait $saver || saverCode=$?
echo "saver at 192 DPI: window $placed; X screen ${screenW}x${screenH}"
# The share of the screenshot in the desktop's own colour.
uncovered=$(convert "$work/saver.png" -fill white -opaque "$desktop" -fill black +opaque white \
  -colorspace Gray -format '%[fx:mean]' info:)
check "the saver's window is the virtual screen, the whole X screen" \
  "[ '$placed' = '0,0 ${screenW}x${screenH}; virtual screen 0,0 ${screenW}x${screenH}' ]"
check "no desktop shows around the saver (desktop-coloured share $uncovered)" \
  "awk 'BEGIN{exit !($uncovered < 0.001)}'"
check "a key closes the saver at 192 DPI with exit code 0 (got $saverCode)" "[ $saverCode -eq 0 ]"

echo "screenshots: $work/dialog-96.png $work/dialog-192.png $work/saver.png"
if [ $failures -ne 0 ]; then
  echo "test-windows-gui-dpi: $failures check(s) failed"
  exit 1
fi
echo "test-windows-gui-dpi: all checks passed"
