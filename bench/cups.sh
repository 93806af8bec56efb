# A private CUPS scheduler whose default queue throws every job away, so the real program
# prints (the PDF it hands to the print system included) without paper, network or any change
# to the system's own scheduler. Sourced by run.sh; cups_stop is called on exit.
#
#   cups_start DIR    start it with its files under DIR; exports CUPS_SERVER
#   cups_stop         stop it, by its process id

CUPS_PID=""

source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/cupsd.sh"

cups_start() {
    local dir=$1
    # The raw queue below writes to a file device, which cupsd refuses unless told.
    cupsd_launch "$dir" warn "FileDevice Yes" || return 1
    # A raw queue: the job is not converted, just written to /dev/null.
    lpadmin -p bench-null -E -v file:/dev/null -m raw >"$dir/log/lpadmin.out" 2>&1 || return 1
    lpadmin -d bench-null >>"$dir/log/lpadmin.out" 2>&1 || return 1
}

cups_stop() {
    if [ -n "$CUPS_PID" ]; then
        kill "$CUPS_PID" 2>/dev/null || true
        wait "$CUPS_PID" 2>/dev/null || true
    fi
    CUPS_PID=""
}
