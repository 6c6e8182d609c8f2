# Shared by build.sh and the scripts in this folder: headings, and installing
# from Debian's packages what a step finds missing.

# Each heading carries the seconds since the script started, so that a slow
# step shows in the log.
say() { printf '\n== %s (at %ds)\n' "$*" "$SECONDS"; }

# Waits for another install's lock rather than failing at once: several
# builds of one machine may ask for packages at the same time.
apt_install() {
  if [ -z "${APT_UPDATED:-}" ]; then
    apt-get -o DPkg::Lock::Timeout=900 update -qq
    APT_UPDATED=1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
    --no-install-recommends "$@" >/dev/null
}

# Installs the packages named, if any: a caller lists what it found missing.
install_missing() {
  if [ $# -gt 0 ]; then say "installing $*"; apt_install "$@"; fi
}

# The tools of every native build, and the packages of any others named.
ensure_native_tools() {
  local missing=("$@")
  command -v cmake >/dev/null || missing+=(cmake)
  command -v ninja >/dev/null || missing+=(ninja-build)
  command -v g++ >/dev/null || missing+=(g++)
  [ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
  install_missing "${missing[@]}"
}
