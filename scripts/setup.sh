#!/usr/bin/env bash
# Installs what the build, the tests and the demo need, and makes a headless
# Wine prefix under build/. Safe to run again: it only does what is missing.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all
export WINEARCH=win64

sudo_cmd=()
if [ "$(id -u)" != 0 ]; then sudo_cmd=(sudo); fi

packages=(
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine32:i386 wine64
  cmake ninja-build googletest libgtest-dev
  clang libclang-rt-14-dev
  zip unzip time
)

# The benchmark's helpers are Python; any python3 on the PATH will do.
if ! command -v python3 >/dev/null; then packages+=(python3); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# 64-bit Windows programs run under wine64 on any x86_64 kernel; 32-bit ones
# need a kernel that runs 32-bit Linux programs too (see scripts/wine.sh).
wine64=/usr/lib/wine/wine64

# The Wine prefix: no display driver, and a crashing program ends with its
# exception code instead of waiting in Wine's debugger.
if [ ! -f "$WINEPREFIX/.nvtools-ready" ]; then
  echo "setup: making the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$wine64" wineboot -i >/dev/null 2>&1
  "$wine64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  "$wine64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'no-such-debugger.exe' /f >/dev/null 2>&1
  "$wine64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
  "$wine64" reg add 'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'no-such-debugger.exe' /f >/dev/null 2>&1
  "$wine64" reg add 'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.nvtools-ready"
fi
