# A private CUPS scheduler whose default queue throws every job away, so the real program
# prints (the PDF it hands to the print system included) without paper, network or any change
# to the system's own scheduler. Sourced by run.sh; cups_stop is called on exit.
#
#   cups_start DIR    start it with its files under DIR; exports CUPS_SERVER
#   cups_stop         stop it, by its process id

CUPS_PID=""

# lpstat -r exits 0 also when it finds no scheduler; only its answer tells.
cups_running() { [ "$(LC_ALL=C lpstat -r 2>/dev/null)" = "scheduler is running" ]; }

cups_start() {
    local dir=$1
    mkdir -p "$dir/etc" "$dir/log" "$dir/spool" "$dir/state" "$dir/cache"
    chmod 755 "$dir"
    cat >"$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
StateDir $dir/state
CacheDir $dir/cache
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
Printcap $dir/printcap
FileDevice Yes
CONF
    cat >"$dir/etc/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
Browsing No
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
    CUPS_PID=$!
    export CUPS_SERVER=$dir/cups.sock
    for _ in $(seq 100); do
        cups_running && break
        kill -0 "$CUPS_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    cups_running || return 1
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
