#!/usr/bin/env bash
# Builds Tavrin and takes the README's pictures under Wine: the bar's four
# pages, its open menu, the six tabs of the settings sheet and the about box,
# at 96 and at 144 DPI. Each picture is cropped to its window and saved as a
# small PNG in docs/images/ (NAME-96.png, NAME-144.png).
#
# Runs on a private Xvfb with a Wine prefix of its own (build/shots/wineprefix),
# filled with sample data first; the test prefix is never touched.
#
#   scripts/screenshots.sh            both resolutions
#   scripts/screenshots.sh 144        only one
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD

"$ROOT/scripts/build.sh"

EXE="$ROOT/build/TAVRIN.EXE"
PROBE="$ROOT/build/tests/helpers/probe.exe"
OUT="$ROOT/docs/images"
# session.sh and wine-env.sh put the prefix and the Xvfb log under BUILD_DIR.
export BUILD_DIR="$ROOT/build/shots"
mkdir -p "$BUILD_DIR" "$OUT"
. "$ROOT/scripts/session.sh"
echo "screenshots: Xvfb on $DISPLAY, prefix $WINEPREFIX"

WM_COMMAND=0x0111
# ID_SETTINGS, ID_APP_ABOUT, IDC_PREV, IDC_NEXT, ...: resource.h's ids, as the build wrote them for the tests.
eval "$(sed -n 's/^\([A-Za-z_0-9]*\) = \(-\{0,1\}[0-9]*\)$/\1=\2/p' "$ROOT/build/tests/e2e/tavrin_product.py")"
PSM_SETCURSEL=$((0x400 + 101))
PSM_PRESSBUTTON=$((0x400 + 113))
PSBTN_CANCEL=5
SHEET_TITLE="hex:$(printf '設定' | iconv -t CP932 | od -An -tx1 | tr -d ' \n')"
ABOUT_TITLE="hex:$(printf 'Tavrin のﾊﾞｰｼﾞｮﾝ情報' | iconv -t CP932 | od -An -tx1 | tr -d ' \n')"

probe() { wine "$PROBE" "$@" 2>/dev/null | tr -d '\r'; }

reg_sz() { wine reg add "HKCU\\Software\\Brannock\\TAVRIN\\$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1; }
reg_dw() { wine reg add "HKCU\\Software\\Brannock\\TAVRIN\\$1" /v "$2" /t REG_DWORD /d "$3" /f >/dev/null 2>&1; }

sample_data() {
  wine reg delete 'HKCU\Software\Brannock' /f >/dev/null 2>&1 || true
  reg_sz PrivateData Name1 "山田"
  reg_sz PrivateData Name2 "花子"
  reg_sz PrivateData AddressNo "150-0002"
  reg_sz PrivateData Address "東京都渋谷区渋谷 2-1-1"
  reg_sz PrivateData PhoneNo "03-1234-5678"
  reg_sz PrivateData E-Mail "hanako@example.jp"
  reg_sz PrivateData Homepage "https://example.jp/hanako/"
  reg_sz UserString Title1 "挨"
  reg_sz UserString Tip1 "挨拶"
  reg_sz UserString String1 "いつもお世話になっております。"
  reg_sz UserString Title2 "礼"
  reg_sz UserString Tip2 "お礼"
  reg_sz UserString String2 "ありがとうございました。"
  reg_sz UserString Title3 "署"
  reg_sz UserString Tip3 "署名"
  reg_sz UserString String3 "山田 花子"
  reg_sz AppStart Title1 "メ"
  reg_sz AppStart Tip1 "メモ帳"
  reg_sz AppStart AppName1 "notepad.exe"
  reg_sz AppStart Title2 "電"
  reg_sz AppStart Tip2 "電卓"
  reg_sz AppStart AppName2 "calc.exe"
  reg_dw Setting PageNo 1
  reg_dw Setting Option 1
  reg_sz Setting Position "40,40"
}

# Wine reads the DPI (LogPixels) when a program starts. Wine 8 takes it from
# HKCU\Control Panel\Desktop or, without that, from the machine-wide key that
# winecfg writes (each alone gave 144 DPI); both are set.
set_dpi() {
  # Without a window manager nobody draws captions of managed windows;
  # unmanaged ones get Wine's own.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  # A fresh server and desktop process, so nothing keeps the old value.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

# shoot NAME L T R B: the screen's rectangle as docs/images/NAME.png.
shoot() {
  local name=$1 l=$2 t=$3 r=$4 b=$5
  sleep 0.5  # let the last paint reach the X server
  import -window root "$BUILD_DIR/screen.png"
  convert "$BUILD_DIR/screen.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage -strip \
    -define png:exclude-chunks=date,time "PNG8:$OUT/$name.png"
  echo "screenshots: $name ($((r - l))x$((b - t)))"
}
shoot_window() { local name=$1; shift; shoot "$name" $(probe rect "$1"); }

wait_gone() {
  local i
  for i in $(seq 100); do
    probe info "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

take_all() {
  local dpi=$1 bar sheet about page tab menu bl bt br bb ml mt mr mb

  wine "$EXE" </dev/null >/dev/null 2>&1 &
  local bar_pid=$!
  bar=$(probe wait Tavrin 60000)
  probe stable "$bar" 500 20000 >/dev/null

  for page in 1 2 3 4; do
    shoot_window "bar-page$page-$dpi" "$bar"
    probe post "$bar" "$WM_COMMAND" "$IDC_NEXT" 0 >/dev/null
    probe stable "$bar" 300 10000 >/dev/null
  done

  for page in 3 2 1; do
    probe post "$bar" "$WM_COMMAND" "$IDC_PREV" 0 >/dev/null
  done
  probe stable "$bar" 300 10000 >/dev/null

  # The menu, as Shift+F10 opens it, with the bar it belongs to.
  probe setfg "$bar" >/dev/null
  probe keys shift+f10 >/dev/null
  read -r menu ml mt mr mb < <(probe menu 10000)
  read -r bl bt br bb < <(probe rect "$bar")
  shoot "menu-$dpi" $((bl < ml ? bl : ml)) $((bt < mt ? bt : mt)) $((br > mr ? br : mr)) $((bb > mb ? bb : mb))
  sleep 1  # Wine's menu loop takes keys only a moment after it opens
  probe keys esc >/dev/null
  sleep 0.5

  probe post "$bar" "$WM_COMMAND" "$ID_SETTINGS" 0 >/dev/null
  sheet=$(probe wait "$SHEET_TITLE" 20000 '#32770')
  for tab in 0 1 2 3 4 5; do
    probe send "$sheet" "$PSM_SETCURSEL" "$tab" 0 >/dev/null
    probe stable "$sheet" 300 10000 >/dev/null
    shoot_window "settings-$((tab + 1))-$dpi" "$sheet"
  done
  probe post "$sheet" "$PSM_PRESSBUTTON" "$PSBTN_CANCEL" 0 >/dev/null
  wait_gone "$sheet"

  probe post "$bar" "$WM_COMMAND" "$ID_APP_ABOUT" 0 >/dev/null
  about=$(probe wait "$ABOUT_TITLE" 20000)
  probe stable "$about" 300 10000 >/dev/null
  shoot_window "about-$dpi" "$about"
  probe post "$about" "$WM_COMMAND" 1 0 >/dev/null
  wait_gone "$about"

  probe post "$bar" WM_CLOSE 0 0 >/dev/null
  wait "$bar_pid" 2>/dev/null || true
}

dpis=("$@")
[ ${#dpis[@]} -gt 0 ] || dpis=(96 144)
for dpi in "${dpis[@]}"; do
  set_dpi "$dpi"
  sample_data
  take_all "$dpi"
done
rm -f "$BUILD_DIR/screen.png"
du -ch "$OUT"/*.png | tail -1
