# A private CUPS scheduler for print tests: its own configuration, spool and socket under a
# temporary folder, no network, nothing changed in the system's scheduler. Sourced after lib.sh.
#
#   cups_start              start the scheduler; exports CUPS_SERVER for the tools
#   cups_add_pdf_queue NAME a cups-pdf queue, made the default destination; PDFs land in $CUPS_OUT
#   cups_wait_idle SECONDS  until no job is pending or printing
#   cups_app_env            arguments for e2e_start_app that point the program at this scheduler
#
# The scheduler is stopped by its process id when the script ends, even when it fails.

CUPS_DIR=""
CUPS_PID=""
CUPS_OUT=""
CUPS_PDF_CONF=""

cups_stop() {
    if [ -n "$CUPS_PID" ] && kill -0 "$CUPS_PID" 2>/dev/null; then
        kill "$CUPS_PID" 2>/dev/null || true
        wait "$CUPS_PID" 2>/dev/null || true
    fi
    CUPS_PID=""
    [ -n "$CUPS_PDF_CONF" ] && rm -f "$CUPS_PDF_CONF"
    CUPS_PDF_CONF=""
    if [ -n "$CUPS_DIR" ]; then
        [ -d "$CUPS_DIR/log" ] && cp -r "$CUPS_DIR/log" "$E2E_OUT/cups-log" 2>/dev/null
        rm -rf "$CUPS_DIR"
    fi
    CUPS_DIR=""
}

# Stops the scheduler first, then lets the harness finish (its exit status is kept).
cups_on_exit() {
    local status=$?
    # Nothing here may end the script early: the harness still has windows to close.
    set +e
    cups_stop
    (exit $status)
    e2e_cleanup
}
trap cups_on_exit EXIT
# A test stopped from outside still takes its scheduler down.
trap 'exit 143' TERM INT HUP

source "$(dirname "${BASH_SOURCE[0]}")/cupsd.sh"

cups_start() {
    command -v cupsd >/dev/null || e2e_fail "cupsd is not installed (scripts/install-deps.sh)"
    CUPS_DIR=$(mktemp -d /tmp/quelvane-cups.XXXXXX)
    mkdir -p "$CUPS_DIR/home"
    CUPS_OUT=$CUPS_DIR/out
    mkdir -m 755 -p "$CUPS_OUT"
    cupsd_launch "$CUPS_DIR" info || e2e_fail "the private scheduler did not start: $(cat "$CUPS_DIR/log/cupsd.out")"
    e2e_log "private CUPS scheduler $CUPS_PID on $CUPS_SERVER"
}

cups_add_pdf_queue() {
    local name=$1 instance
    # The cups-pdf backend reads its settings only from /etc/cups and, run as root, writes to
    # root's home from the password file whatever HOME says. A settings file for this run's
    # own instance keeps its PDFs, spool and log in this run's folder; it goes with the
    # scheduler.
    instance=quelvane$(basename "$CUPS_DIR" | tr -dc 'A-Za-z0-9')
    CUPS_PDF_CONF=/etc/cups/cups-pdf-$instance.conf
    cat >"$CUPS_PDF_CONF" <<EOF
Out $CUPS_OUT
AnonDirName $CUPS_OUT
Spool $CUPS_DIR/cups-pdf-spool
Log $CUPS_DIR/log
Grp root
EOF
    # The default PostScript step turns text into nameless Type 3 glyphs; through cairo the
    # page keeps its text, so tests can read it. Files are named after the job's title.
    lpadmin -p "$name" -E -v "cups-pdf:/$instance" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
        -o pdftops-renderer-default=pdftocairo -o TitlePref=1 >"$E2E_OUT/lpadmin.out" 2>&1 \
        || e2e_fail "lpadmin: $(cat "$E2E_OUT/lpadmin.out")"
    lpadmin -d "$name"
    lpstat -d | grep -q "$name" || e2e_fail "queue $name is not the default destination"
}

cups_wait_idle() {
    local timeout=${1:-30}
    for _ in $(seq $((timeout * 10))); do
        [ -z "$(lpstat -o 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    e2e_fail "print jobs still pending after ${timeout}s: $(lpstat -o)"
}

# The program sees only this scheduler: no user or environment default to fall back on.
cups_app_env() {
    echo "-u PRINTER -u LPDEST CUPS_SERVER=$CUPS_SERVER HOME=$CUPS_DIR/home"
}
