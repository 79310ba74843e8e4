# Sourced by the scripts that use a Windows build (test-hosts, test-installer,
# make-installer): which one, and what goes with it.
#   DRIVERWYR_WINDOWS_BUILD  win32 (MinGW-w64 i686, the default) or win64
#                            (x86_64, for machines that cannot run 32-bit
#                            programs, see scripts/test-all)
# Sets windows_build (the preset and its folder under build/), windows_cc (the
# MinGW C compiler), wine_run (scripts/wine-run or scripts/wine64-run) and
# nsis_target (the installer's NSIS target).
windows_build=${DRIVERWYR_WINDOWS_BUILD:-win32}
case $windows_build in
  win32) windows_cc=i686-w64-mingw32-gcc; wine_run=scripts/wine-run; nsis_target=x86-unicode ;;
  win64) windows_cc=x86_64-w64-mingw32-gcc; wine_run=scripts/wine64-run; nsis_target=amd64-unicode ;;
  *)
    echo "DRIVERWYR_WINDOWS_BUILD is win32 or win64, not $windows_build" >&2
    exit 2
    ;;
esac
