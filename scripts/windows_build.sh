# Sourced by the test and run commands: which Windows build this host can
# run, decided once by trying Wine's 32-bit loader. KIVREL_WINDOWS_BUILD=win32
# or win64 chooses one outright. Sets windows_build (the preset),
# windows_loader (the Wine loader that runs it) and windows_why (for the output).
choose_windows_build() {
  local wine32=/usr/lib/wine/wine answer status
  case "${KIVREL_WINDOWS_BUILD:-}" in
    win32 | win64)
      windows_build=$KIVREL_WINDOWS_BUILD
      windows_why="KIVREL_WINDOWS_BUILD=$KIVREL_WINDOWS_BUILD"
      ;;
    "")
      # Through bash, which names an exec failure plainly ("Exec format error").
      answer=$(timeout 20 bash -c '"$0" --version' "$wine32" 2>&1 </dev/null)
      status=$?
      if [ "$status" -eq 0 ]; then
        windows_build=win32
        windows_why="this host runs 32-bit programs"
      else
        [ "$status" -eq 124 ] && answer="no answer in 20 s"
        windows_build=win64
        windows_why="this host cannot run 32-bit programs: $wine32: ${answer##*: }"
      fi
      ;;
    *)
      echo "KIVREL_WINDOWS_BUILD is win32 or win64, not \"$KIVREL_WINDOWS_BUILD\"" >&2
      return 1
      ;;
  esac
  windows_loader=/usr/lib/wine/wine
  [ "$windows_build" = win64 ] && windows_loader=/usr/lib/wine/wine64
  return 0
}
