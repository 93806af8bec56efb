# The start and end every set-up check shares; sourced first by a check that is called as
# CHECK.sh SOURCE_DIR BUILD_DIR.
#   src, build     the two folders
#   tmp            a scratch folder, removed when the check ends
#   fail TEXT      says what is wrong and counts it; the check goes on to find the rest
#   setup_done     last: status 1 when anything failed
set -euo pipefail
setup_name=$(basename "$0" .sh)
src=$1
build=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "$setup_name: FAIL: $*" >&2; failures=$((failures + 1)); }
setup_done() {
    [ $failures -eq 0 ] || exit 1
    echo "$setup_name: passed"
}
