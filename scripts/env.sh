# Sourced by the project's scripts: the headless Wine prefix under build/ and
# the Wine loaders. 64-bit Windows programs run under wine64 everywhere; 32-bit
# ones need a kernel that also runs 32-bit Linux programs, which some machines
# (virtual machines without IA-32 emulation) lack. WINE32 is empty there.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
WINE64=/usr/lib/wine/wine64
WINE32=
if /usr/lib/wine/wine --version >/dev/null 2>&1; then WINE32=/usr/lib/wine/wine; fi
export WINE64 WINE32
