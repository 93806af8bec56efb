#!/bin/sh
# Runs a program as on a machine without the Liberation fonts and their metric look-alikes (the
# URW fonts): in a private mount namespace where their folders are empty, so DejaVu Sans stands
# in. Fontconfig's own rules cannot do it: Qt 6.8 lists the fonts they reject all the same.
#   usage: without_designed_fonts.sh PROGRAM [ARGS...]     exit status 77: it cannot run here
set -e
if [ "${1:-}" != --inside ]; then
    # Root needs no user namespace, and a chroot allows none.
    namespace="--user --map-root-user --mount"
    [ "$(id -u)" -eq 0 ] && namespace="--mount"
    if ! unshare $namespace true 2>/dev/null; then
        echo "skipped: no private mount namespace here (unshare $namespace refused)"
        exit 77
    fi
    exec unshare $namespace sh "$0" --inside "$@"
fi
shift
for dir in /usr/share/fonts/truetype/liberation /usr/share/fonts/truetype/liberation2 \
           /usr/share/fonts/opentype/urw-base35 /usr/share/fonts/type1/urw-base35 \
           /usr/share/fonts/X11/Type1; do
    if [ -d "$dir" ]; then
        mount -t tmpfs -o ro,mode=755 none "$dir"
    fi
done
exec "$@"
