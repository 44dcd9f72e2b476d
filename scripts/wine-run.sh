#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's own prefix (made on first use) and no
# Wine chatter. Picks the 32- or 64-bit loader from the program's PE header. Used as the
# cross-compiling emulator by CTest. With VESK_WINE_CHECK_ONLY set it only says, by its exit
# code (0, or 77 for "cannot"), whether this machine can run the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine64=/usr/lib/wine/wine64
wine32=/usr/lib/wine/wine
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  WINELOADER=$wine64 "$wine64" wineboot -i >/dev/null 2>&1 || true
  # Japanese menu and dialog texts: link the host's CJK font into Wine's interface fonts.
  for face in "Tahoma" "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
    WINELOADER=$wine64 "$wine64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$face" /t REG_MULTI_SZ /d 'NotoSansCJK-Regular.ttc,Noto Sans CJK JP' /f >/dev/null 2>&1 || true
  done
  # Xvfb has no window manager; Wine would wait 2 s for one at every window it hides.
  WINELOADER=$wine64 "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    >/dev/null 2>&1 || true
  timeout 300 wineserver -w || echo "wine-run: the new prefix was still busy after 300 s" >&2
fi
# The PE machine field: 0x14c is 32-bit x86.
machine=""
if [ -f "$1" ]; then
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
fi
if [ "$machine" = "014c" ]; then
  if ! "$wine32" --version >/dev/null 2>&1; then
    echo "wine-run: this machine cannot run 32-bit programs (its kernel refuses 32-bit code)" >&2
    exit 77
  fi
  export WINELOADER=$wine32
  [ -n "${VESK_WINE_CHECK_ONLY:-}" ] && exit 0
  exec "$wine32" "$@"
fi
[ -n "${VESK_WINE_CHECK_ONLY:-}" ] && exit 0
export WINELOADER=$wine64
exec "$wine64" "$@"
