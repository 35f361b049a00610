# Sourced, with BUILD_DIR set: the environment of the private Wine prefix
# inside the build folder. Creates the prefix on first use. ~/.wine is never
# touched.
: "${BUILD_DIR:?BUILD_DIR must name the build folder}"
export WINEPREFIX="$BUILD_DIR/wineprefix"
# Under `ctest -j` each test gets a lane (CTEST_RESOURCE_GROUP_0_LANES is
# "id:N,slots:1"): its own X display and its own prefix, started by
# session.sh, which wrote them into lanes/N.env.
if [ -n "${CTEST_RESOURCE_GROUP_0_LANES:-}" ]; then
  lane=${CTEST_RESOURCE_GROUP_0_LANES#id:}
  lane=${lane%%,*}
  if [ -f "$BUILD_DIR/lanes/$lane.env" ]; then
    . "$BUILD_DIR/lanes/$lane.env"
    export DISPLAY WINEPREFIX
  fi
fi
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

if [ ! -f "$WINEPREFIX/.tavrin-ready" ]; then
  echo "wine-env: creating the Wine prefix in $WINEPREFIX" >&2
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  # The dialogs ask for "ＭＳ Ｐゴシック"; map it (and its relatives) to IPA Gothic.
  for face in "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "MS PGothic" "MS Gothic" "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
  done
  # A crash must end a test, not hang it on a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.tavrin-ready"
fi

# Wine draws the frame buttons (the close button's ×) with Marlett, which
# Debian's fonts-wine puts in /usr/share/wine/fonts; this Wine does not load
# fonts from there, but it does from the prefix's Fonts folder. Older
# prefixes get the copy on their next use.
marlett=/usr/share/wine/fonts/marlett.ttf
if [ -f "$marlett" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
fi

# Unmanaged windows: with no window manager, Wine's X11 driver otherwise waits
# up to 2 s for an answer each time a captioned window is hidden or destroyed.
# Such windows become override-redirect X windows (no X focus of their own;
# tests type keys inside Wine). Added to older prefixes too.
if [ ! -f "$WINEPREFIX/.tavrin-unmanaged" ]; then
  # (Read by each program at its start through the server: no need to wait
  # for user.reg to be written.)
  if wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1; then
    touch "$WINEPREFIX/.tavrin-unmanaged"
  fi
fi
