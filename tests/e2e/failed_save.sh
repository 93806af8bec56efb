#!/usr/bin/env bash
# A save that fails after a file was chosen is told in a message that names the file and the
# system's reason; the status line keeps its text and the program goes on.
source "$E2E_LIB" "$@"

files=$E2E_TMP/files
mkdir -p "$files"
mounts=()
unmount_all() {
    local m
    for m in "${mounts[@]}"; do umount -l "$m" 2>/dev/null || true; done
}
# Unmounted before the harness removes the folders; its report keeps the script's status.
trap 'status=$?; unmount_all; (exit $status); e2e_cleanup' EXIT

# Saves to $1 and expects the message naming it with reason $2; $3 names the screenshot.
expect_failed_save() {
    local target=$1 reason=$2 shot=$3 status message
    status=$(e2e_read_status)
    e2e_focus "$main"
    e2e_key alt+s
    e2e_choose_file "Save As" "$target"
    e2e_wait_text message contains "$reason"
    message=$(e2e_read_message)
    grep -qF "text: The Cadrelant could not be saved." <<<"$message" || e2e_fail "the message: $message"
    grep -qF "$target" <<<"$message" || e2e_fail "the message does not name $target: $message"
    [ "$(grep '^button:' <<<"$message" | tr '\n' '|')" = "button: OK|" ] || e2e_fail "the message's buttons: $message"
    [ "$(e2e_read_status)" = "$status" ] || e2e_fail "the status line changed under the message"
    sleep 0.3
    e2e_screenshot "$shot"
    e2e_key Return
    e2e_wait_message_gone
    [ "$(e2e_read_status)" = "$status" ] || e2e_fail "the failed save changed the status line"
}

e2e_start_main
main=$E2E_MAIN
e2e_key alt+n
e2e_wait_text status ends-with " created."

expect_failed_save "$files/gone/hero.tbl" "No such file or directory" missing-folder
[ ! -e "$files/gone" ] || e2e_fail "the failed save made the missing folder"

if [ "$(id -u)" -eq 0 ]; then
    # A read-only file system with an old character in it: the old file keeps its bytes.
    readonly_dir=$files/stick
    mkdir -p "$readonly_dir"
    mount -t tmpfs -o size=64k tmpfs "$readonly_dir" || e2e_fail "cannot mount a tmpfs"
    mounts+=("$readonly_dir")
    printf 'old\r\n' >"$readonly_dir/hero.tbl"
    mount -o remount,ro "$readonly_dir" || e2e_fail "cannot make the tmpfs read-only"
    expect_failed_save "$readonly_dir/hero.tbl" "Read-only file system" read-only
    [ "$(cat "$readonly_dir/hero.tbl")" = $'old\r' ] || e2e_fail "the old file on the read-only mount changed"

    # A full disk.
    full_dir=$files/full
    mkdir -p "$full_dir"
    mount -t tmpfs -o size=16k tmpfs "$full_dir" || e2e_fail "cannot mount a tmpfs"
    mounts+=("$full_dir")
    # /dev/zero never ends: dd stops only when the disk is full.
    if dd if=/dev/zero of="$full_dir/filler" bs=4k 2>/dev/null; then
        e2e_fail "the small tmpfs did not fill up"
    fi
    expect_failed_save "$full_dir/hero.tbl" "No space left on device" full-disk
    [ ! -e "$full_dir/hero.tbl" ] || e2e_fail "the failed save left a file on the full disk"
else
    e2e_log "skipped the read-only and full-disk saves: mounting a file system needs root"
fi

# The program goes on: a save to a good place works and says so.
e2e_focus "$main"
e2e_key alt+s
e2e_choose_file "Save As" "$files/hero.tbl"
e2e_wait_text status equals "$files/hero.tbl saved."
[ "$(grep -c '' "$files/hero.tbl")" -eq 71 ] || e2e_fail "the good save did not write 71 lines"
