# shellcheck shell=bash
# Sourced by the scripts that run the show and may run a sanitizer build:
#   sanitizer_env BIN     sets the options (when BIN is a sanitizer build);
#   sanitizer_findings    prints the number of reports written so far.
# Every report goes to a log file under $SANITIZER_LOG_DIR (one per process);
# the library leaks listed in lsan.supp are dropped, and the first UBSan
# finding stops the program, as the build asks.
_sanitizer_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

sanitizer_env() {
  export ASAN_OPTIONS="detect_leaks=1:log_path=${SANITIZER_LOG_DIR:?}/asan"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=${SANITIZER_LOG_DIR}/ubsan"
  export LSAN_OPTIONS="suppressions=$_sanitizer_dir/lsan.supp:print_suppressions=0"
  ldd "$1" | grep -q libasan || return 0
  # SDL unloads the GL library (and Mesa's driver with it) before the leak
  # check runs; preloaded, the driver stays mapped and its leaks are named.
  # (Preloaded alone, so programs the show starts, such as ffmpeg, run as
  # they are; ASan then need not come first in the library list.)
  local driver
  driver=$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -n 1)
  if [ -n "$driver" ]; then
    export LD_PRELOAD=$driver
    ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0"
  fi
  return 0
}

sanitizer_findings() {
  cat "$SANITIZER_LOG_DIR"/asan.* "$SANITIZER_LOG_DIR"/ubsan.* 2>/dev/null |
    grep -cE '^(==[0-9]+==ERROR|.*runtime error:)' || true
}
