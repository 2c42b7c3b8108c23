#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine (the MinGW-w64 builds,
# Wine, and clang with its sanitizer runtimes for the native build) and
# creates the Wine prefix inside the build tree. Idempotent; takes seconds when everything
# is already there.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine64 wine fonts-wine xvfb xauth x11-utils fonts-wqy-microhei imagemagick faketime
  cmake ninja-build googletest python3
  clang libclang-rt-14-dev clang-tidy
)
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

# The Wine prefix: created once, with font substitutes so that Chinese text renders.
export WINEPREFIX="$root/build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f "$WINEPREFIX/.kx-ready" ]]; then
  echo "setup: creating the Wine prefix in $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  reg="$WINEPREFIX/font-substitutes.reg"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "微软雅黑" "宋体" "SimSun"; do
      printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
    done
    # Every program of this prefix runs in one virtual desktop, so captions are drawn even
    # without a window manager, and `wine program.exe` still returns the program's exit code.
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n'
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1024x768"\r\n'
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
  wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.kx-ready"
fi

# Wine draws the caption's minimise, maximise and close buttons with its own symbol font
# (fonts-wine). This Wine does not look for it where the package puts it, so the prefix gets
# its own copy; without it the buttons are drawn as the letters "0", "1" and "r".
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [[ ! -f "$fonts/marlett.ttf" ]]; then
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi
