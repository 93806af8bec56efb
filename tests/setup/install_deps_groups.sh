#!/usr/bin/env bash
# scripts/install-deps.sh against a fake package manager and a fake print system on PATH:
# each group asks only for its own packages, and installing the print tools leaves the
# machine's print queues and scheduler as they were. Also: `make run` builds no test program.
#   usage: install_deps_groups.sh SOURCE_DIR BUILD_DIR
source "$(dirname "$0")/lib.sh"

fake=$tmp/bin
mkdir -p "$fake"
# dpkg-query -W -f=FORMAT PACKAGE...: installed is only what $STATE/installed lists.
cat >"$fake/dpkg-query" <<'F'
#!/bin/bash
shift 2
status=0
for package in "$@"; do
    if grep -qx "$package" "$STATE/installed" 2>/dev/null; then
        echo "$package install ok installed"
    else
        echo "dpkg-query: no packages found matching $package" >&2
        status=1
    fi
done
exit $status
F
# apt-get: records its arguments; installing cups-pdf does what the install scripts of it and
# of cups-daemon do: enable the scheduler at boot (systemd units and init script), start it
# unless policy-rc.d says no, and add a PDF queue to a scheduler that runs.
cat >"$fake/apt-get" <<'F'
#!/bin/bash
echo "$*" >>"$STATE/apt.log"
[ "$1" = install ] || exit 0
for package in "$@"; do echo "$package" >>"$STATE/installed"; done
case " $* " in *" printer-driver-cups-pdf "*) ;; *) exit 0 ;; esac
policy=$INSTALL_DEPS_ROOT/usr/sbin/policy-rc.d
if ! grep -qx cups-daemon "$STATE/installed"; then
    echo cups-daemon >>"$STATE/installed"    # a dependency
    etc=$INSTALL_DEPS_ROOT/etc
    mkdir -p "$etc/init.d" "$etc"/systemd/system/{multi-user,printer,sockets}.target.wants
    touch "$etc/init.d/cups"
    for level in 2 3 4 5; do mkdir -p "$etc/rc$level.d"; ln -s ../init.d/cups "$etc/rc$level.d/S01cups"; done
    ln -s /lib/systemd/system/cups.path "$etc/systemd/system/multi-user.target.wants/cups.path"
    ln -s /lib/systemd/system/cups.service "$etc/systemd/system/multi-user.target.wants/cups.service"
    ln -s /lib/systemd/system/cups.service "$etc/systemd/system/printer.target.wants/cups.service"
    ln -s /lib/systemd/system/cups.socket "$etc/systemd/system/sockets.target.wants/cups.socket"
fi
verdict=0
[ -x "$policy" ] && { "$policy" cups start || verdict=$?; }
echo "cups start: $verdict" >>"$STATE/policy.log"
"$policy" dbus start >/dev/null 2>&1 && echo "dbus start: 0" >>"$STATE/policy.log"
[ "$verdict" -eq 0 ] && touch "$STATE/running"
[ -e "$STATE/running" ] || exit 0
grep -q ' cups-pdf:/' "$STATE/queues" 2>/dev/null && exit 0
echo "PDF cups-pdf:/" >>"$STATE/queues"
[ -s "$STATE/default" ] || echo PDF >"$STATE/default"
# A later package's install script fails, and apt says so as it does.
[ ! -e "$STATE/fail" ] || exit 100
F
cat >"$fake/lpstat" <<'F'
#!/bin/bash
[ -e "$STATE/running" ] || exit 1
[ "$1" = -v ] || exit 0
while read -r name uri; do echo "device for $name: $uri"; done <"$STATE/queues"
F
# A tool named in $STATE/failing logs its call and fails; the others do what they say.
cat >"$fake/lpadmin" <<'F'
#!/bin/bash
echo "lpadmin $*" >>"$STATE/calls.log"
! grep -qx lpadmin "$STATE/failing" 2>/dev/null || exit 1
[ "$1" = -x ] || exit 0
grep -v "^$2 " "$STATE/queues" >"$STATE/queues.new" || true
mv "$STATE/queues.new" "$STATE/queues"
[ "$(cat "$STATE/default" 2>/dev/null)" = "$2" ] && : >"$STATE/default"
exit 0
F
cat >"$fake/update-rc.d" <<'F'
#!/bin/bash
echo "update-rc.d $*" >>"$STATE/calls.log"
! grep -qx update-rc.d "$STATE/failing" 2>/dev/null || exit 1
[ "$*" = "cups disable" ] || exit 0
for link in "$INSTALL_DEPS_ROOT"/etc/rc[2-5].d/S01cups; do mv "$link" "${link%/*}/K01cups"; done
F
cat >"$fake/systemctl" <<'F'
#!/bin/bash
echo "systemctl $*" >>"$STATE/calls.log"
! grep -qx systemctl "$STATE/failing" 2>/dev/null || exit 1
[ "$1" = disable ] || exit 0
for unit in "$@"; do rm -f "$INSTALL_DEPS_ROOT"/etc/systemd/system/*.wants/"$unit"; done
F
# As the real one: it works only inside a package's install script.
cat >"$fake/deb-systemd-helper" <<'F'
#!/bin/bash
echo "deb-systemd-helper $*" >>"$STATE/calls.log"
[ -n "${DPKG_MAINTSCRIPT_PACKAGE:-}" ] || { echo "$0 was not called from dpkg. Exiting." >&2; exit 1; }
F
# apt-cache depends clang: the release's clang is clang-$STATE/clang (19 unless set).
cat >"$fake/apt-cache" <<'F'
#!/bin/bash
[ "$*" = "depends clang" ] || exit 100
echo clang
echo "  Depends: clang-$(cat "$STATE/clang" 2>/dev/null || echo 19)"
echo "  Breaks: <clang-3.2>"
F
printf '#!/bin/bash\nexec "$@"\n' >"$fake/sudo"
chmod +x "$fake"/*

# Runs the script in a fresh state; $1 names the case, the rest are its arguments.
# Before the call, the caller may fill $STATE/{installed,queues,default,running,failing} and
# the fake root $INSTALL_DEPS_ROOT.
new_state() {
    export STATE=$tmp/state-$1
    rm -rf "$STATE"
    mkdir -p "$STATE"
    : >"$STATE/queues"
    : >"$STATE/apt.log"
    : >"$STATE/calls.log"
    export INSTALL_DEPS_ROOT=$STATE/root
    mkdir -p "$INSTALL_DEPS_ROOT/usr/sbin"
    policy=$INSTALL_DEPS_ROOT/usr/sbin/policy-rc.d
}
run_script() {
    status=0
    PATH=$fake:$PATH bash "$src/scripts/install-deps.sh" "$@" >"$STATE/out" 2>&1 || status=$?
}
asked() { grep '^install ' "$STATE/apt.log" | tr ' ' '\n' | grep -qx "$1"; }

# Which group asks for what, on a machine with none of it installed.
#   group | packages it must ask for | packages it must not ask for
while IFS='|' read -r group wanted unwanted; do
    [ -n "$group" ] || continue
    new_state "group-$group"
    run_script $group
    [ "$status" -eq 0 ] || fail "$group: exit status $status: $(cat "$STATE/out")"
    for package in $wanted; do asked "$package" || fail "$group: does not ask for $package"; done
    for package in $unwanted; do ! asked "$package" || fail "$group: asks for $package"; done
done <<'TABLE'
run|cmake ninja-build g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libcups2-dev fonts-liberation|cups cups-client cups-bsd cups-daemon printer-driver-cups-pdf clang libclang-rt-19-dev valgrind linux-perf xvfb xdotool x11-utils imagemagick poppler-utils lintian libbenchmark-dev desktop-file-utils appstream gnome-shell qt6-wayland orca qt6-gtk-platformtheme
test|cmake qt6-base-dev xvfb xdotool x11-utils imagemagick cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils desktop-file-utils appstream at-spi2-core python3-pyatspi dbus orca qt6-gtk-platformtheme gnome-shell kwin-wayland xwayland qt6-wayland|clang valgrind linux-perf lintian libbenchmark-dev
bench|cmake xvfb cups printer-driver-cups-pdf libbenchmark-dev libxcb-damage0-dev linux-perf valgrind|clang lintian
fuzz|cmake clang libclang-rt-19-dev|cups libclang-rt-dev printer-driver-cups-pdf xvfb valgrind lintian
package|cmake qt6-base-dev dpkg-dev file lintian|cups printer-driver-cups-pdf xvfb clang valgrind
TABLE

# The fuzz group's runtimes follow the release's clang.
for version in 14 19; do
    new_state "clang-$version"
    echo "$version" >"$STATE/clang"
    run_script fuzz
    asked "libclang-rt-$version-dev" || fail "fuzz with clang $version: does not ask for libclang-rt-$version-dev"
done

# No install stops at a question: a changed configuration file stays, a new one is taken.
new_state no-prompt
run_script test
for option in Dpkg::Options::=--force-confdef Dpkg::Options::=--force-confold; do
    grep '^install ' "$STATE/apt.log" | tr ' ' '\n' | grep -qx -- "$option" \
        || fail "the install does not pass $option: $(cat "$STATE/apt.log")"
done

# The run group asks nothing about printing and leaves no policy behind.
new_state run-quiet
run_script run
[ ! -e "$policy" ] || fail "run: left a policy-rc.d"
[ ! -s "$STATE/calls.log" ] || fail "run: touched the print system: $(cat "$STATE/calls.log")"

# Everything installed: the package manager is not even asked.
new_state all-there
for group in run test bench fuzz package; do run_script $group; done
cp "$STATE/apt.log" "$STATE/first.log"
: >"$STATE/apt.log"
for group in run test bench fuzz package; do run_script $group; done
[ ! -s "$STATE/apt.log" ] || fail "all installed: apt-get was still called: $(cat "$STATE/apt.log")"

new_state unknown
run_script frobnicate
[ "$status" -eq 2 ] || fail "unknown group: exit status $status, expected 2"
[ ! -s "$STATE/apt.log" ] || fail "unknown group: apt-get was called"

# What in the fake root starts the scheduler at boot, on one line (empty is the good case).
enabled_at_boot() {
    echo $(cd "$INSTALL_DEPS_ROOT" \
        && { compgen -G 'etc/systemd/system/*.wants/cups*'; compgen -G 'etc/rc[2-5].d/S??cups'; } | LC_ALL=C sort)
}
# What is at a path: a link and where it leads, a file and its mode and bytes, or nothing.
describe() {
    if [ -L "$1" ]; then echo "link to $(readlink "$1")"
    elif [ -e "$1" ]; then stat -c 'file %a' "$1" && cat "$1"
    else echo nothing; fi
}

# A machine without a print scheduler: none is started, none stays enabled at boot, no queue
# appears. A clean-up step that fails says so, the others still run, and the install's
# success stays the script's.
#   case | systemd runs | clean-up tool that fails | what stays enabled at boot
wants=etc/systemd/system/multi-user.target.wants
while IFS='|' read -r name systemd failing staying; do
    [ -n "$name" ] || continue
    new_state "fresh-$name"
    [ "$systemd" = yes ] && mkdir -p "$INSTALL_DEPS_ROOT/run/systemd/system"
    [ -n "$failing" ] && echo "$failing" >"$STATE/failing"
    run_script test
    [ "$status" -eq 0 ] || fail "$name: exit status $status: $(cat "$STATE/out")"
    grep -qx 'cups start: 101' "$STATE/policy.log" || fail "$name: cups was allowed to start: $(cat "$STATE/policy.log" 2>/dev/null)"
    grep -qx 'dbus start: 0' "$STATE/policy.log" || fail "$name: the policy also stopped other services"
    [ "$(describe "$policy")" = nothing ] || fail "$name: the policy-rc.d stayed behind"
    [ ! -s "$STATE/queues" ] || fail "$name: queues appeared: $(cat "$STATE/queues")"
    [ "$(enabled_at_boot)" = "$staying" ] || fail "$name: enabled at boot: '$(enabled_at_boot)', expected '$staying'"
    [ -z "$failing" ] || grep -q "^install-deps: note: $failing" "$STATE/out" \
        || fail "$name: no word of the failed $failing: $(cat "$STATE/out")"
done <<TABLE
no systemd|||
systemd running|yes||
update-rc.d fails||update-rc.d|etc/rc2.d/S01cups etc/rc3.d/S01cups etc/rc4.d/S01cups etc/rc5.d/S01cups
systemctl fails|yes|systemctl|$wants/cups.path $wants/cups.service etc/systemd/system/printer.target.wants/cups.service etc/systemd/system/sockets.target.wants/cups.socket
TABLE

# A running scheduler with a default printer, and one without: cups-pdf's queue is taken away
# again, the default is what it was, and the scheduler stays enabled as it was.
for default in Office ""; do
    new_state "running-${default:-none}"
    echo cups-daemon >"$STATE/installed"
    touch "$STATE/running"
    mkdir -p "$INSTALL_DEPS_ROOT/$wants" "$INSTALL_DEPS_ROOT/etc/rc2.d" "$INSTALL_DEPS_ROOT/etc/init.d"
    touch "$INSTALL_DEPS_ROOT/etc/init.d/cups"
    ln -s /lib/systemd/system/cups.service "$INSTALL_DEPS_ROOT/$wants/cups.service"
    ln -s ../init.d/cups "$INSTALL_DEPS_ROOT/etc/rc2.d/S01cups"
    [ -n "$default" ] && echo "$default ipp://printer.local/ipp/print" >"$STATE/queues"
    printf %s "$default" >"$STATE/default"
    cp "$STATE/queues" "$STATE/queues.before"
    run_script test
    [ "$status" -eq 0 ] || fail "running scheduler: exit status $status: $(cat "$STATE/out")"
    grep -q '^install .*printer-driver-cups-pdf' "$STATE/apt.log" || fail "running scheduler: cups-pdf not installed"
    cmp -s "$STATE/queues.before" "$STATE/queues" || fail "running scheduler, default '$default': queues now $(cat "$STATE/queues")"
    [ "$(cat "$STATE/default")" = "$default" ] || fail "running scheduler: default is now '$(cat "$STATE/default")', was '$default'"
    [ "$(enabled_at_boot)" = "etc/rc2.d/S01cups $wants/cups.service" ] \
        || fail "running scheduler: the machine's scheduler is now enabled by '$(enabled_at_boot)'"
done

# An install that fails after cups-pdf's script has run still takes its queue and the policy
# away, and its status is the script's.
new_state failed-install
echo cups-daemon >"$STATE/installed"
touch "$STATE/running" "$STATE/fail"
run_script test
[ "$status" -eq 100 ] || fail "failed install: exit status $status, not apt's 100"
[ ! -s "$STATE/queues" ] || fail "failed install: queues now $(cat "$STATE/queues")"
[ "$(describe "$policy")" = nothing ] || fail "failed install: the policy-rc.d stayed behind"

# The user's own cups-pdf queue stays.
new_state own-queue
echo cups-daemon >"$STATE/installed"
touch "$STATE/running"
echo "MyPDF cups-pdf:/" >"$STATE/queues"
run_script test
grep -qx 'MyPDF cups-pdf:/' "$STATE/queues" || fail "own queue: the user's cups-pdf queue was removed"
! grep -q 'lpadmin -x' "$STATE/calls.log" || fail "own queue: a queue was removed: $(cat "$STATE/calls.log")"

# Whatever is at the policy's path is the machine's own policy: it stays as it was, and
# nothing is written through a link, not even one that leads nowhere. A link that leads
# nowhere is no policy, so there the scheduler starts and cups-pdf adds its queue; when
# taking that away fails, the scheduler is still disabled and the install still succeeds.
#   case | what is at the path | clean-up tool that fails
while IFS='|' read -r name kind failing; do
    [ -n "$name" ] || continue
    new_state "policy-$name"
    target=$STATE/elsewhere/policy-rc.d
    mkdir -p "${target%/*}"
    case $kind in
        file) printf '#!/bin/sh\nexit 101\n' >"$policy" && chmod 755 "$policy" ;;
        link) printf '#!/bin/sh\nexit 101\n' >"$target" && chmod 755 "$target" && ln -s "$target" "$policy" ;;
        dangling) ln -s "$target" "$policy" ;;
    esac
    [ -n "$failing" ] && echo "$failing" >"$STATE/failing"
    path_before=$(describe "$policy")
    target_before=$(describe "$target")
    run_script test
    [ "$status" -eq 0 ] || fail "$name: exit status $status: $(cat "$STATE/out")"
    [ "$(describe "$policy")" = "$path_before" ] || fail "$name: the machine's policy is now $(describe "$policy")"
    [ "$(describe "$target")" = "$target_before" ] || fail "$name: written through the link: $(describe "$target")"
    [ -z "$(enabled_at_boot)" ] || fail "$name: enabled at boot: $(enabled_at_boot)"
    if [ -n "$failing" ]; then
        grep -q "^install-deps: note: .*'PDF'" "$STATE/out" || fail "$name: no word of the queue left: $(cat "$STATE/out")"
    else
        [ ! -s "$STATE/queues" ] || fail "$name: queues now $(cat "$STATE/queues")"
    fi
done <<'TABLE'
file|file|
link to a file|link|
dangling link|dangling|
dangling link, queue removal fails|dangling|lpadmin
TABLE

# make run builds what its recipe names, and that is no test program: ask ninja for every
# command those targets need from scratch.
recipe=$(make -s -n -C "$src" run BUILD="$build" | grep -E '^cmake --build ' || true)
[ -n "$recipe" ] || fail "make run has no cmake --build step"
read -ra words <<<"$recipe"
targets=()
collect=0
for word in "${words[@]}"; do
    case $word in
        --target) collect=1 ;;
        -*) collect=0 ;;
        *) [ $collect -eq 1 ] && targets+=("$word") ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || fail "make run builds every target: '$recipe'"
commands=$(ninja -C "$build" -t commands "${targets[@]}")
grep -q -- '-o bin/quelvane ' <<<"$commands" || fail "make run does not link bin/quelvane"
grep -q -- '-o bin/quelvane-roll ' <<<"$commands" || fail "make run does not link bin/quelvane-roll"
# grep -c counts 0 with status 1, which is the good case here.
extra=$(grep -cE -- '-o (tests|bench)/' <<<"$commands" || true)
[ "$extra" -eq 0 ] || fail "make run builds $extra test or bench files"

setup_done
