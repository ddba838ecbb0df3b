# Sourced by the setup, test, run and release commands: whether this host runs
# 32-bit programs, and which Windows build it can therefore test and run.
# Every function here returns 0 unless its caller must stop, so a failed probe
# never ends a script that runs under set -e.

# Where setup leaves the reason it could not install Wine's 32-bit part.
wine32_note=build/wine32-left-out

# Runs a 93-byte 32-bit Linux program that only exits: whether the kernel
# runs 32-bit code at all, whatever Wine has installed.
# KIVREL_HOST_RUNS_32BIT=yes|no answers for it (the setup's own test).
host_runs_32bit() {
  case "${KIVREL_HOST_RUNS_32BIT:-}" in
    yes) return 0 ;;
    no) return 1 ;;
  esac
  local probe status
  probe=$(mktemp) || return 1
  # ELF header, one loadable segment, then: xor ebx,ebx; mov eax,1; int 0x80.
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0\61\333\270\1\0\0\0\315\200' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  return "$status"
}

# Sets windows_build (the preset), windows_loader (the Wine loader that runs
# it) and windows_why (the reason, for the output). KIVREL_WINDOWS_BUILD=win32
# or win64 chooses outright; returns 1 only for another value.
choose_windows_build() {
  local wine32=/usr/lib/wine/wine answer status
  case "${KIVREL_WINDOWS_BUILD:-}" in
    win32 | win64)
      windows_build=$KIVREL_WINDOWS_BUILD
      windows_why="KIVREL_WINDOWS_BUILD=$KIVREL_WINDOWS_BUILD chose it"
      ;;
    "")
      windows_build=win64
      if ! host_runs_32bit; then
        windows_why="this host cannot run 32-bit programs"
      elif [ ! -e "$wine32" ]; then
        windows_why="Wine's 32-bit loader is not installed"
        [ -s "$wine32_note" ] && windows_why+=" ($(cat "$wine32_note"))"
      else
        # Through bash, which names an exec failure plainly.
        answer=$(timeout 20 bash -c '"$0" --version' "$wine32" 2>&1 </dev/null) && status=0 || status=$?
        if [ "$status" -eq 0 ]; then
          windows_build=win32
          windows_why="this host runs 32-bit programs and Wine's 32-bit loader"
        else
          [ "$status" -eq 124 ] && answer="no answer in 20 s"
          windows_why="Wine's 32-bit loader does not run: ${answer##*: }"
        fi
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
