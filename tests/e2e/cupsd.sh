# A private CUPS scheduler under one folder: its own configuration, spool, logs and socket, no
# network, nothing of the machine's scheduler used or changed. Shared by the print tests
# (cups.sh) and the benchmarks (bench/cups.sh); it needs nothing else of the test harness.
#
#   cupsd_launch DIR LEVEL [LINE...]  start it at log level LEVEL, with LINEs added to its
#                                     cups-files.conf; sets CUPS_PID, exports CUPS_SERVER, and
#                                     succeeds once it answers. Logs in DIR/log.
#   cups_running                      succeeds while the scheduler of CUPS_SERVER answers

# lpstat -r exits 0 also when it finds no scheduler; only its answer tells.
cups_running() { [ "$(LC_ALL=C lpstat -r 2>/dev/null)" = "scheduler is running" ]; }

cupsd_launch() {
    local dir=$1 level=$2 line
    shift 2
    mkdir -p "$dir/etc" "$dir/log" "$dir/spool" "$dir/state" "$dir/cache"
    # Filters run as the scheduler's own user, which must reach the spool: not a 0700 folder.
    chmod 755 "$dir"
    {
        echo "ServerRoot $dir/etc"
        echo "RequestRoot $dir/spool"
        echo "StateDir $dir/state"
        echo "CacheDir $dir/cache"
        echo "ErrorLog $dir/log/error_log"
        echo "AccessLog $dir/log/access_log"
        echo "PageLog $dir/log/page_log"
        echo "Printcap $dir/printcap"
        for line in "$@"; do echo "$line"; done
    } >"$dir/etc/cups-files.conf"
    cat >"$dir/etc/cupsd.conf" <<EOF
Listen $dir/cups.sock
LogLevel $level
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
EOF
    cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
    CUPS_PID=$!
    export CUPS_SERVER=$dir/cups.sock
    for _ in $(seq 100); do
        cups_running && return 0
        kill -0 "$CUPS_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    cups_running
}
