// Test-only GNOME Shell extension: a native Wayland window's place, stacking and focus are known
// only inside the compositor. Every 100 ms it writes one line per shown window, bottom of the
// stack first, to $QUELVANE_PROBE_FILE:
//   client x y width height focus|- pid title      (client: x11 or wayland; the frame rectangle)
// The first line is "ready X Y" once the shell has started and left its overview ("starting X Y"
// before), X Y being the pointer: it moves there only after the input sent before it was handled.
// An untitled window is listed as "(untitled)".
// The session script puts this body between the imports and the entry points that the shell's
// version asks for (GNOME 45 and later load ES modules only); GLib, Meta and Main come from
// there.

let timer = 0;
let startupId = 0;
let ready = false;

function describe(actor) {
    const window = actor.get_meta_window();
    if (!window || !actor.visible)
        return null;
    const rect = window.get_frame_rect();
    const client = window.get_client_type() === Meta.WindowClientType.X11 ? 'x11' : 'wayland';
    return [client, rect.x, rect.y, rect.width, rect.height, window.has_focus() ? 'focus' : '-',
        window.get_pid(), (window.get_title() || '(untitled)').replace(/\n/g, ' ')].join(' ');
}

function snapshot() {
    const path = GLib.getenv('QUELVANE_PROBE_FILE');
    if (path) {
        const [x, y] = global.get_pointer();
        const lines = [`${ready && !Main.overview.visible ? 'ready' : 'starting'} ${x} ${y}`];
        for (const actor of global.get_window_actors()) {
            const line = describe(actor);
            if (line)
                lines.push(line);
        }
        GLib.file_set_contents(path, `${lines.join('\n')}\n`);
    }
    return GLib.SOURCE_CONTINUE;
}

function leaveOverview() {
    Main.overview.hide();
    ready = true;
}

function probeEnable() {
    if (Main.layoutManager._startingUp)
        startupId = Main.layoutManager.connect('startup-complete', leaveOverview);
    else
        leaveOverview();
    timer = GLib.timeout_add(GLib.PRIORITY_DEFAULT, 100, snapshot);
}

function probeDisable() {
    if (startupId)
        Main.layoutManager.disconnect(startupId);
    if (timer)
        GLib.source_remove(timer);
    startupId = timer = 0;
}
