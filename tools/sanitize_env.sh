# Sanitizer settings for running the build-sanitize/ programs (sourced by test.sh and
# tools/soak.sh): any finding fails the program; leaks inside the system's graphics and
# sound drivers, which the game cannot free, are listed in tests/sanitize/lsan.supp.
SANITIZE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=0"
export LSAN_OPTIONS="suppressions=$SANITIZE_ROOT/tests/sanitize/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
