# Shared by scripts/run and scripts/test: the Debian packages the build needs, and the build.
# shellcheck shell=bash

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${QUILLORY_BUILD_DIR:-$top/build}

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libsqlcipher-dev zlib1g-dev
          libbenchmark-dev fonts-liberation2 fonts-dejavu-core desktop-file-utils appstream poppler-utils)

# The sanitizer and fuzz builds use clang with its sanitizer and libFuzzer runtimes.
# shellcheck disable=SC2034 # used by the scripts that source this file
clang_packages=(clang libclang-rt-14-dev)

ensure_packages() {
  local missing=() p
  for p in "${packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing Debian packages: ${missing[*]}"
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null || {
      echo "apt-get install failed" >&2; exit 1; }
  else
    echo "Missing Debian packages. Run as root:" >&2
    echo "  apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
}

configure_and_build() {
  cmake -S "$top" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null || exit 1
  cmake --build "$build_dir" -j "$(nproc)" || exit 1
}

# For every program of a sanitizer build, the tool run during the build included: stop at the
# first report, with its stack. Leaks that belong to system libraries (not to Quillory) are
# listed in scripts/lsan.supp.
sanitizer_environment() {
  export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$top/scripts/lsan.supp:print_suppressions=0
}
