# shellcheck shell=bash
# Compiling BASIC programs with the runtime's own compiler and running them
# in the real runtime, headless under 32-bit Wine on an Xvfb display, as a
# user would with the plug-in in Compiler\plugins-user\ of a DBPro
# installation. Sourced, after scripts/common.sh, from the repository's root
# by tests/real_runtime.sh and bench/real_runtime.sh.

# The installation: DBPRO_DIR, the folder that holds Compiler\DBPCompiler.exe,
# or else ../shared/dbpro beside the repository. It is copied before use,
# since the compiler writes into it.
DBPRO_INSTALL=${DBPRO_DIR:-$PWD/../shared/dbpro}
# Records every message box and presses OK, so that none blocks a run.
DBPRO_WATCH=$PWD/build/mingw/dialog_watch.exe

dbpro_installed() { [ -f "$DBPRO_INSTALL/Compiler/DBPCompiler.exe" ]; }

# Compiled programs draw through Direct3D 9, which Wine runs on 32-bit OpenGL.
dbpro_ensure_display_tools() {
  local missing=() package
  command -v Xvfb >/dev/null || missing+=(xvfb)
  for package in libgl1-mesa-dri:i386 libglx-mesa0:i386 libgl1:i386; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  install_missing "${missing[@]}"
}

export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Starts one Xvfb display for every program, its number written into the
# folder $1, and exports DISPLAY; DBPRO_XVFB holds the server's process id.
dbpro_start_display() {
  local work=$1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  DBPRO_XVFB=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  if [ ! -s "$work/display" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  DISPLAY=:$(head -n 1 "$work/display")
  export DISPLAY
}

# Ends the Wine servers of the prefixes in the folder $1 and the display
# started for it, and removes the folder.
dbpro_finish() {
  local work=$1 prefix
  for prefix in "$work"/prefix*; do
    [ ! -d "$prefix" ] || WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
  [ -z "${DBPRO_XVFB:-}" ] || kill "$DBPRO_XVFB" 2>/dev/null || true
  rm -rf "$work"
}

# Stops the script, saying `$1`, unless each file after it has been built.
dbpro_require_built() {
  local hint=$1 built
  shift
  for built in "$@"; do
    [ -e "$built" ] || { echo "no $built: $hint" >&2; exit 1; }
  done
}

# Sets WORK to a new temporary folder named after $1, which goes with the
# display and every Wine prefix in it when the script ends, and starts the
# display there.
dbpro_open_work() {
  dbpro_ensure_display_tools
  WORK=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
  trap 'dbpro_finish "$WORK"' EXIT
  dbpro_start_display "$WORK"
}

# Prepares job $2 in the folder $1: a Wine prefix of its own, prefix$2 (a
# compiled program unpacks itself into the Windows temporary folder, where
# two programs at a time would overwrite each other's files, and Wine takes
# no TEMP from outside), and a copy of the installation, dbpro$2, with the
# DLL $3 in its plugins-user folder.
dbpro_start_job() {
  local work=$1 job=$2 dll=$3
  export WINEPREFIX=$work/prefix$job
  wineboot -i >/dev/null 2>&1 || return 1
  # A crash must end its program, not wait on Wine's crash dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
  mkdir -p "$work/dbpro$job/temp"
  cp -r "$DBPRO_INSTALL/Compiler" "$work/dbpro$job/"
  chmod -R u+w "$work/dbpro$job"
  cp "$dll" "$work/dbpro$job/Compiler/plugins-user/"
}

windows_path() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

# Compiles NAME.dba of the folder $2 into NAME.exe there ($3 is NAME) with
# the installation copy $1, in the current WINEPREFIX; says why it fails, if
# it does. The compiler's messages go to compile.log.
dbpro_compile() {
  local install=$1 dir=$2 name=$3
  # An icon that does not exist: rewriting the default one overruns a
  # buffer of the compiler under Wine, after the exe is written but before
  # the program is put into it. A hidden window, since nobody watches it:
  # such a program starts in half the time of a windowed one.
  printf '%s\r\n' "final source=$name.dba" "executable=$name.exe" "graphics mode=hidden" \
    "window resolution=640x480" "runtimeerrors=Yes" \
    'icon1=C:\no-such-icon.ico' >"$dir/$name.dbpro"
  (cd "$dir" && timeout 120 wine "$DBPRO_WATCH" 60000 compile.log \
    "$(windows_path "$install/Compiler/DBPCompiler.exe")" "$name.dbpro" >wine.log 2>&1) || true
  if grep -q '^DIALOG' "$dir/compile.log" 2>/dev/null; then
    echo "the compiler showed $(grep -m 1 '^DIALOG' "$dir/compile.log")"
    return 1
  fi
  if [ ! -s "$dir/$name.exe" ]; then
    echo "the compiler made no program: $(tail -n 1 "$dir/compile.log" 2>/dev/null)"
    return 1
  fi
}

# Runs NAME.exe ($2) from its folder $1, for at most $3 seconds; says so if
# it does not end normally. Its message boxes go to run.log.
dbpro_run() {
  local dir=$1 name=$2 seconds=$3
  (cd "$dir" && timeout $((seconds + 30)) wine "$DBPRO_WATCH" $((seconds * 1000)) run.log \
    "$name.exe" >>wine.log 2>&1) || true
  # A run-time error ends the program with code 0 too, after its dialog.
  if ! grep -qx 'EXIT code=0' "$dir/run.log" 2>/dev/null; then
    echo "the program did not end normally: $(tail -n 1 "$dir/run.log" 2>/dev/null)"
    return 1
  fi
}
