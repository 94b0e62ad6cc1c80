// SPDX-License-Identifier: MIT
// The desktop tests' view into GNOME Shell (installed only on the test
// desktop of gnome-session.sh): what the shell has on screen, as JSON, a
// screenshot through the shell, and input as a user gives it (a virtual
// pointer and keyboard). Hides the overview the shell starts in.
/* exported init */
const {Clutter, Gio, GLib, Meta, Shell} = imports.gi;
const Main = imports.ui.main;
const AltTab = imports.ui.altTab;

const xml = `<node><interface name="io.github.lumora.Probe1">
  <method name="Windows"><arg type="s" direction="out"/></method>
  <method name="Panel"><arg type="s" direction="out"/></method>
  <method name="Screenshot"><arg type="s" direction="in"/><arg type="b" direction="out"/></method>
  <method name="Activate"><arg type="t" direction="in"/></method>
  <method name="SetFullscreen"><arg type="t" direction="in"/><arg type="b" direction="in"/></method>
  <method name="ClickIndicator"><arg type="b" direction="out"/></method>
  <method name="Click"><arg type="i" direction="in"/><arg type="i" direction="in"/></method>
  <method name="PressKeys"><arg type="au" direction="in"/></method>
  <method name="Overview"><arg type="b" direction="in"/></method>
</interface></node>`;

function metaWindows() {
    return global.get_window_actors().map(a => a.get_meta_window());
}

function byId(id) {
    return metaWindows().find(w => w.get_id() === Number(id));
}

class Probe {
    Windows() {
        const all = metaWindows();
        const stacked = global.display.sort_windows_by_stacking(all);
        const tab = AltTab.getWindows(global.workspace_manager.get_active_workspace());
        const focus = global.display.focus_window;
        return JSON.stringify(all.map(w => {
            const r = w.get_frame_rect();
            return {
                id: w.get_id(), pid: w.get_pid(), title: w.get_title() ?? '',
                wmClass: w.get_wm_class() ?? '', appId: w.get_gtk_application_id() ?? '',
                minimized: w.minimized, above: w.above, sticky: w.on_all_workspaces,
                fullscreen: w.fullscreen, focused: w === focus, monitor: w.get_monitor(),
                x: r.x, y: r.y, width: r.width, height: r.height,
                stack: stacked.indexOf(w), inSwitcher: tab.includes(w),
            };
        }));
    }

    Panel() {
        const button = Main.panel.statusArea['lumora'];
        const labels = [];
        const walk = actor => {
            if (actor instanceof imports.gi.St.Label && actor.visible)
                labels.push(actor.text);
            actor.get_children().forEach(walk);
        };
        if (button)
            walk(button);
        return JSON.stringify({shown: !!button, text: labels.join(' '), overview: Main.overview.visible});
    }

    ScreenshotAsync([path], invocation) {
        const file = Gio.File.new_for_path(path);
        const stream = file.replace(null, false, Gio.FileCreateFlags.NONE, null);
        const shot = new Shell.Screenshot();
        shot.screenshot(false, stream, (o, res) => {
            let ok = false;
            try {
                o.screenshot_finish(res);
                ok = true;
            } catch (e) {
                logError(e, 'probe screenshot');
            }
            stream.close(null);
            invocation.return_value(new GLib.Variant('(b)', [ok]));
        });
    }

    Activate(id) {
        byId(id)?.activate(global.get_current_time());
    }

    SetFullscreen(id, on) {
        const w = byId(id);
        if (w && on)
            w.make_fullscreen();
        else if (w)
            w.unmake_fullscreen();
    }

    // Moves the pointer onto Lumora's top-bar item and, once the shell has
    // the item under the pointer (it shows hover), clicks it. True when it
    // clicked: the caller asks again until then. A click sent before that
    // could land on whatever was there before the item.
    ClickIndicator() {
        const button = Main.panel.statusArea['lumora'];
        if (!button || !button.visible || !button.mapped || !button.has_allocation())
            return false;
        const [x, y] = button.get_transformed_position();
        const [w, h] = button.get_transformed_size();
        if (w <= 0 || h <= 0)
            return false;
        const t = GLib.get_monotonic_time();
        if (!button.hover) {
            this._pointer.notify_absolute_motion(t, x + w / 2, y + h / 2);
            return false;
        }
        this._pointer.notify_button(t, Clutter.BUTTON_PRIMARY, Clutter.ButtonState.PRESSED);
        this._pointer.notify_button(t + 1, Clutter.BUTTON_PRIMARY, Clutter.ButtonState.RELEASED);
        return true;
    }

    Click(x, y) {
        const t = GLib.get_monotonic_time();
        this._pointer.notify_absolute_motion(t, x, y);
        this._pointer.notify_button(t + 1, Clutter.BUTTON_PRIMARY, Clutter.ButtonState.PRESSED);
        this._pointer.notify_button(t + 2, Clutter.BUTTON_PRIMARY, Clutter.ButtonState.RELEASED);
    }

    // Key symbols pressed in order, released in reverse.
    PressKeys(keyvals) {
        let t = global.get_current_time() * 1000;
        for (const k of keyvals)
            this._keyboard.notify_keyval(++t, k, Clutter.KeyState.PRESSED);
        for (const k of [...keyvals].reverse())
            this._keyboard.notify_keyval(++t, k, Clutter.KeyState.RELEASED);
    }

    Overview(show) {
        if (show)
            Main.overview.show();
        else
            Main.overview.hide();
    }

    enable() {
        const seat = Clutter.get_default_backend().get_default_seat();
        this._pointer = seat.create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
        this._keyboard = seat.create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE);
        this._exported = Gio.DBusExportedObject.wrapJSObject(xml, this);
        this._exported.export(Gio.DBus.session, '/io/github/lumora/Probe');
        const hide = () => Main.overview.hide();
        if (Main.layoutManager._startingUp)
            this._startup = Main.layoutManager.connect('startup-complete', hide);
        else
            hide();
    }

    disable() {
        this._exported?.unexport();
        if (this._startup)
            Main.layoutManager.disconnect(this._startup);
    }
}

function init() {
    return new Probe();
}
