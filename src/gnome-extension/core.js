// SPDX-License-Identifier: MIT
// The behaviour of the Lumora GNOME Shell extension, shared by the GNOME 45+
// entry point (extension.js) and the GNOME 43-44 one (extension-43.js): both
// hand it the shell's modules, so nothing here imports from the shell.
//
// The extension exports one object on the session bus, in GNOME Shell's own
// connection (bus name org.gnome.Shell):
//   path      /io/github/lumora/Lumora/Shell
//   interface io.github.lumora.Lumora.Shell1 (INTERFACE_XML below)
// Only a connection that owns a Lumora bus name (io.github.lumora.Lumora, or
// a name below it for a scratch store) may call it; everything else is
// refused. A caller first says Connect(version); while that connection lives
// it is the one client. Every argument is checked against a narrow form and
// nothing received is ever run as code. When the client's connection goes
// (Lumora ended, or was killed), the overlays are let go, the countdown and
// the indicator go and the key binding is removed at once.
//
// While no client is connected the extension listens to nothing but the
// owners of Lumora's bus names.

export const VERSION = '0.1.0';
export const BUS_PATH = '/io/github/lumora/Lumora/Shell';
export const INTERFACE = 'io.github.lumora.Lumora.Shell1';
export const LUMORA_NAME = 'io.github.lumora.Lumora';
export const KEYBINDING = 'open-popover';

// The most a caller may name in one call.
const MAX_IDS = 512;
const MAX_TITLES = 64;
const MAX_TEXT = 256;

export const INTERFACE_XML = `<node>
  <interface name="${INTERFACE}">
    <method name="Connect">
      <arg type="s" direction="in" name="programVersion"/>
      <arg type="s" direction="out" name="extensionVersion"/>
    </method>
    <method name="ListWindows">
      <arg type="a(tssssssub)" direction="out" name="windows"/>
    </method>
    <method name="SetMinimized">
      <arg type="at" direction="in" name="ids"/>
      <arg type="b" direction="in" name="minimized"/>
      <arg type="at" direction="out" name="changed"/>
    </method>
    <method name="HoldOverlays">
      <arg type="as" direction="in" name="titles"/>
      <arg type="as" direction="in" name="aboveTitles"/>
      <arg type="b" direction="in" name="othersAbove"/>
    </method>
    <method name="ReleaseOverlays"/>
    <method name="Watch">
      <arg type="b" direction="in" name="watching"/>
    </method>
    <method name="SetIndicator">
      <arg type="b" direction="in" name="visible"/>
      <arg type="s" direction="in" name="countdown"/>
      <arg type="s" direction="in" name="tooltip"/>
    </method>
    <method name="SetShortcut">
      <arg type="s" direction="in" name="accelerator"/>
    </method>
    <signal name="WindowsChanged"/>
    <signal name="IndicatorActivated"/>
    <signal name="ShortcutActivated"/>
  </interface>
</node>`;

// --- The forms arguments must have -----------------------------------------

// A Lumora bus name: the program's, or one below it (a scratch store's).
export function isLumoraName(name) {
    return typeof name === 'string' &&
        (name === LUMORA_NAME || /^io\.github\.lumora\.Lumora\.[A-Za-z0-9_]{1,64}$/.test(name));
}

// "MM:SS" (minutes may run past 99), or empty for none.
export function isCountdown(text) {
    return typeof text === 'string' && /^([0-9]{1,3}:[0-5][0-9])?$/.test(text);
}

// A key combination in GTK's accelerator form ("<Super><Shift>f"), or empty
// for none.
export function isAccelerator(text) {
    return typeof text === 'string' && text.length <= 96 &&
        /^((<(Control|Ctrl|Primary|Alt|Shift|Super|Meta|Hyper)>)*[A-Za-z0-9_]{1,32})?$/.test(text);
}

// Plain text of bounded length without control characters.
export function isPlainText(text) {
    // eslint-disable-next-line no-control-regex
    return typeof text === 'string' && text.length <= MAX_TEXT && !/[\u0000-\u001f\u007f]/.test(text);
}

export function areTitles(list) {
    return Array.isArray(list) && list.length <= MAX_TITLES && list.every(t => isPlainText(t) && t.length > 0);
}

// Window ids as sent (uint64 arrives as a number or a BigInt).
export function parseIds(list) {
    if (!Array.isArray(list) || list.length > MAX_IDS)
        return null;
    const ids = [];
    for (const raw of list) {
        const n = typeof raw === 'bigint' ? Number(raw) : raw;
        if (!Number.isSafeInteger(n) || n <= 0)
            return null;
        ids.push(n);
    }
    return ids;
}

// --- What the shell's windows say -------------------------------------------

// The windows a user sees as an application's: ordinary windows and dialogs.
export function isListed(win, Meta) {
    if (!win || win.is_override_redirect?.())
        return false;
    const type = win.get_window_type();
    return type === Meta.WindowType.NORMAL || type === Meta.WindowType.DIALOG ||
        type === Meta.WindowType.MODAL_DIALOG || type === Meta.WindowType.UTILITY;
}

// One row of ListWindows: id, class, instance, GTK application id, sandboxed
// application id, the desktop entry the shell matched, title, pid, minimised.
export function windowRow(win, tracker) {
    const text = v => (typeof v === 'string' ? v : '');
    let desktopId = '';
    try {
        const app = tracker?.get_window_app(win);
        if (app && !app.is_window_backed())
            desktopId = text(app.get_id());
    } catch (e) {
        desktopId = '';
    }
    const pid = win.get_pid();
    return [win.get_id(), text(win.get_wm_class()), text(win.get_wm_class_instance()),
        text(win.get_gtk_application_id()), text(win.get_sandboxed_app_id?.()), desktopId,
        text(win.get_title()), pid > 0 ? pid : 0, !!win.minimized];
}

// --- The bridge --------------------------------------------------------------

// env: {Gio, GLib, Meta, global, connection, tracker, log,
//       indicator: {show(countdown, tooltip, onActivate), hide()},
//       keybinding: {bind(accelerator, onActivate), unbind()},
//       hideFromSwitchers: {install(isHidden), remove()}}
export class Bridge {
    constructor(env) {
        this._env = env;
        this._owners = new Map(); // Lumora bus name -> unique name
        this._client = null; // {sender, pid, version, compatible}
        this._held = {titles: [], above: [], othersAbove: false};
        this._adjusted = new Map(); // window -> {above, sticky}
        this._windowSignals = [];
        this._displaySignals = [];
        this._changePending = 0;
        this._focusPending = 0;
        this._warnedVersions = new Set();
        this._watching = false; // the client asked for WindowsChanged
    }

    // --- The bus ---

    enable() {
        const {Gio, connection} = this._env;
        this._exported = Gio.DBusExportedObject.wrapJSObject(INTERFACE_XML, this._dispatcher());
        this._exported.export(connection, BUS_PATH);
        this._ownerSubscription = connection.signal_subscribe('org.freedesktop.DBus',
            'org.freedesktop.DBus', 'NameOwnerChanged', '/org/freedesktop/DBus', LUMORA_NAME,
            Gio.DBusSignalFlags.MATCH_ARG0_NAMESPACE,
            (_c, _s, _p, _i, _n, params) => this.nameOwnerChanged(...params.deep_unpack()));
        this._readOwners();
    }

    disable() {
        this._dropClient();
        if (this._ownerSubscription)
            this._env.connection.signal_unsubscribe(this._ownerSubscription);
        this._ownerSubscription = 0;
        this._exported?.unexport();
        this._exported = null;
        this._owners.clear();
    }

    _readOwners() {
        const {GLib, connection} = this._env;
        connection.call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
            'ListNames', null, new GLib.VariantType('(as)'), 0, -1, null, (c, result) => {
                let names = [];
                try {
                    [names] = c.call_finish(result).deep_unpack();
                } catch (e) {
                    return;
                }
                for (const name of names.filter(isLumoraName)) {
                    c.call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
                        'GetNameOwner', new GLib.Variant('(s)', [name]), new GLib.VariantType('(s)'),
                        0, -1, null, (c2, r2) => {
                            try {
                                const [owner] = c2.call_finish(r2).deep_unpack();
                                if (!this._owners.has(name))
                                    this._owners.set(name, owner);
                            } catch (e) {
                                // gone meanwhile
                            }
                        });
                }
            });
    }

    nameOwnerChanged(name, _oldOwner, newOwner) {
        if (!isLumoraName(name))
            return;
        if (newOwner)
            this._owners.set(name, newOwner);
        else
            this._owners.delete(name);
        if (this._client && !this.isLumora(this._client.sender))
            this._dropClient();
    }

    isLumora(sender) {
        for (const owner of this._owners.values()) {
            if (owner === sender)
                return true;
        }
        return false;
    }

    // The methods as Gio.DBusExportedObject calls them.
    _dispatcher() {
        const dispatcher = {};
        const methods = ['Connect', 'ListWindows', 'SetMinimized', 'HoldOverlays', 'ReleaseOverlays',
            'Watch', 'SetIndicator', 'SetShortcut'];
        for (const method of methods) {
            dispatcher[`${method}Async`] = (params, invocation) => {
                this.call(method, params, invocation.get_sender(), reply => {
                    if (reply.error)
                        invocation.return_dbus_error(`${INTERFACE}.Error.${reply.error}`, reply.message);
                    else
                        invocation.return_value(reply.value ?? null);
                });
            };
        }
        return dispatcher;
    }

    // One call from the bus; answer(reply) with {value} or {error, message}.
    call(method, params, sender, answer) {
        const {GLib} = this._env;
        const refuse = (error, message) => answer({error, message});
        if (!this.isLumora(sender))
            return refuse('AccessDenied', 'Only Lumora may use this interface');
        if (method === 'Connect')
            return this._connect(params, sender, answer);
        if (!this._client || this._client.sender !== sender)
            return refuse('NotConnected', 'Call Connect first');
        if (!this._client.compatible)
            return refuse('VersionMismatch', `The Lumora extension is version ${VERSION}, Lumora ${this._client.version}`);
        switch (method) {
        case 'ListWindows':
            return answer({value: new GLib.Variant('(a(tssssssub))', [this.listWindows()])});
        case 'SetMinimized': {
            const ids = parseIds(params[0]);
            if (!ids || typeof params[1] !== 'boolean')
                return refuse('InvalidArgs', 'Expected window ids and a flag');
            return answer({value: new GLib.Variant('(at)', [this.setMinimized(ids, params[1])])});
        }
        case 'HoldOverlays':
            if (!areTitles(params[0]) || !areTitles(params[1]) || typeof params[2] !== 'boolean')
                return refuse('InvalidArgs', 'Expected window titles and a flag');
            this.holdOverlays(params[0], params[1], params[2]);
            return answer({});
        case 'ReleaseOverlays':
            this.releaseOverlays();
            return answer({});
        case 'Watch':
            if (typeof params[0] !== 'boolean')
                return refuse('InvalidArgs', 'Expected a flag');
            this._watching = params[0];
            this._updateListening();
            return answer({});
        case 'SetIndicator':
            if (typeof params[0] !== 'boolean' || !isCountdown(params[1]) || !isPlainText(params[2]))
                return refuse('InvalidArgs', 'Expected a flag, "MM:SS" or nothing, and plain text');
            this._setIndicator(params[0], params[1], params[2]);
            return answer({});
        case 'SetShortcut':
            if (!isAccelerator(params[0]))
                return refuse('InvalidArgs', 'Expected a key combination such as <Super><Shift>f');
            this._setShortcut(params[0]);
            return answer({});
        }
        return refuse('UnknownMethod', method);
    }

    _connect(params, sender, answer) {
        const {GLib, connection} = this._env;
        const version = params[0];
        if (!isPlainText(version) || version.length > 64)
            return answer({error: 'InvalidArgs', message: 'Expected a version'});
        const compatible = version === VERSION;
        if (!compatible && !this._warnedVersions.has(version)) {
            this._warnedVersions.add(version);
            this._env.log(`Lumora ${version} is running, but this extension is version ${VERSION}; ` +
                'it does nothing for it. Install the extension that came with Lumora.');
        }
        const take = pid => {
            if (!this.isLumora(sender))
                return answer({error: 'AccessDenied', message: 'Only Lumora may use this interface'});
            if (this._client && this._client.sender !== sender)
                this._dropClient();
            if (!this._client)
                this._client = {sender, pid, version, compatible};
            answer({value: new GLib.Variant('(s)', [VERSION])});
        };
        if (!connection)
            return take(0);
        connection.call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
            'GetConnectionUnixProcessID', new GLib.Variant('(s)', [sender]), new GLib.VariantType('(u)'),
            0, -1, null, (c, result) => {
                let pid = 0;
                try {
                    [pid] = c.call_finish(result).deep_unpack();
                } catch (e) {
                    pid = 0;
                }
                take(pid);
            });
        return undefined;
    }

    get client() {
        return this._client;
    }

    // Everything for a client that went: overlays, indicator, key binding.
    _dropClient() {
        if (!this._client)
            return;
        this.releaseOverlays();
        this._env.indicator.hide();
        this._env.keybinding.unbind();
        this._watching = false;
        this._stopListening();
        this._client = null;
    }

    _emit(signal) {
        if (!this._client)
            return;
        this._env.connection?.emit_signal(this._client.sender, BUS_PATH, INTERFACE, signal, null);
    }

    // --- Windows ---

    _windows() {
        const {global, Meta} = this._env;
        return global.get_window_actors().map(a => a.get_meta_window()).filter(w => isListed(w, Meta));
    }

    _isOwn(win) {
        return !!this._client && this._client.pid > 0 && win.get_pid() === this._client.pid;
    }

    listWindows() {
        return this._windows().map(w => windowRow(w, this._env.tracker));
    }

    // Minimises or shows the windows with these ids (never the client's own);
    // returns the ids whose state changed.
    setMinimized(ids, minimized) {
        const wanted = new Set(ids);
        const changed = [];
        for (const win of this._windows()) {
            if (!wanted.has(win.get_id()) || this._isOwn(win) || !!win.minimized === minimized)
                continue;
            if (minimized) {
                if (!win.can_minimize())
                    continue;
                win.minimize();
            } else {
                win.unminimize();
            }
            if (!!win.minimized === minimized)
                changed.push(win.get_id());
        }
        return changed;
    }

    // Windows are followed only while the client watches them (a session
    // hides applications, or windows it hid are not back) or overlays are
    // held; otherwise the extension follows nothing.
    _updateListening() {
        if (this._client && (this._watching || this._held.titles.length > 0))
            this._listen();
        else
            this._stopListening();
    }

    // Says when windows come, go, or are minimised or shown, and keeps the
    // held overlays in place.
    _listen() {
        if (this._displaySignals.length)
            return;
        const {global} = this._env;
        const display = global.display;
        this._displaySignals = [
            display.connect('window-created', (_d, win) => {
                this._follow(win);
                this._applyHold(win);
                this._changed();
            }),
            display.connect('notify::focus-window', () => this._focusChanged()),
            display.connect('restacked', () => this._restacked()),
        ];
        for (const win of this._windows())
            this._follow(win);
    }

    _stopListening() {
        const {global, GLib} = this._env;
        for (const id of this._displaySignals)
            global.display.disconnect(id);
        this._displaySignals = [];
        for (const [win, ids] of this._windowSignals) {
            for (const id of ids) {
                try {
                    win.disconnect(id);
                } catch (e) {
                    // the window is gone
                }
            }
        }
        this._windowSignals = [];
        for (const source of ['_changePending', '_focusPending']) {
            if (this[source])
                GLib.source_remove(this[source]);
            this[source] = 0;
        }
    }

    _follow(win) {
        if (!win || this._windowSignals.some(([w]) => w === win))
            return;
        const ids = [
            win.connect('notify::minimized', () => {
                if (this._isHeld(win) && win.minimized)
                    win.unminimize();
                this._changed();
            }),
            win.connect('notify::title', () => {
                this._applyHold(win);
                this._changed();
            }),
            win.connect('unmanaged', () => {
                this._windowSignals = this._windowSignals.filter(([w]) => w !== win);
                this._adjusted.delete(win);
                this._changed();
            }),
        ];
        this._windowSignals.push([win, ids]);
    }

    // WindowsChanged, once for a burst of changes.
    _changed() {
        const {GLib} = this._env;
        if (this._changePending || !this._client || !this._watching)
            return;
        this._changePending = GLib.idle_add(GLib.PRIORITY_DEFAULT, () => {
            this._changePending = 0;
            this._emit('WindowsChanged');
            return GLib.SOURCE_REMOVE;
        });
    }

    // --- Overlays ---

    _isHeld(win) {
        return this._held.titles.length > 0 && this._isOwn(win) && this._held.titles.includes(win.get_title());
    }

    _mayStandAbove(win) {
        return this._isOwn(win) && this._held.above.includes(win.get_title());
    }

    isHidden(win) {
        return this._isHeld(win);
    }

    holdOverlays(titles, above, othersAbove) {
        this._held = {titles: [...titles], above: [...above], othersAbove};
        for (const [win, was] of [...this._adjusted]) {
            if (!this._isHeld(win))
                this._restore(win, was);
        }
        for (const win of this._windows())
            this._applyHold(win);
        if (titles.length)
            this._env.hideFromSwitchers.install(win => this.isHidden(win));
        else
            this._env.hideFromSwitchers.remove();
        this._updateListening();
        this._focusChanged();
    }

    releaseOverlays() {
        for (const [win, was] of [...this._adjusted])
            this._restore(win, was);
        this._held = {titles: [], above: [], othersAbove: false};
        this._env.hideFromSwitchers.remove();
        this._updateListening();
    }

    _applyHold(win) {
        if (!this._isHeld(win))
            return;
        if (!this._adjusted.has(win))
            this._adjusted.set(win, {above: !!win.above, sticky: !!win.on_all_workspaces});
        if (win.minimized)
            win.unminimize();
        if (!win.on_all_workspaces)
            win.stick();
        // In the click-through modes what the session leaves on screen may
        // stand above; in overlay mode nothing does.
        if (this._held.othersAbove) {
            if (win.above && !this._adjusted.get(win).above)
                win.unmake_above();
        } else if (!win.above) {
            win.make_above();
        }
    }

    _restore(win, was) {
        this._adjusted.delete(win);
        try {
            if (win.above && !was.above)
                win.unmake_above();
            if (win.on_all_workspaces && !was.sticky)
                win.unstick();
        } catch (e) {
            // the window is gone
        }
    }

    _heldWindows() {
        return this._windows().filter(w => this._isHeld(w));
    }

    // In overlay mode the keyboard stays with the overlay: GNOME gives focus
    // to an activated window even when it is stacked below one that is kept
    // above.
    _focusChanged() {
        const {GLib, global} = this._env;
        if (!this._held.titles.length || this._held.othersAbove || this._focusPending)
            return;
        const focused = global.display.focus_window;
        if (focused && (this._isHeld(focused) || this._mayStandAbove(focused) || this._isOwn(focused)))
            return;
        this._focusPending = GLib.idle_add(GLib.PRIORITY_DEFAULT, () => {
            this._focusPending = 0;
            const current = global.display.focus_window;
            if (current && (this._isHeld(current) || this._isOwn(current)))
                return GLib.SOURCE_REMOVE;
            const held = this._heldWindows();
            const primary = global.display.get_primary_monitor();
            const target = held.find(w => w.get_monitor() === primary) ?? held[0];
            target?.activate(global.get_current_time());
            return GLib.SOURCE_REMOVE;
        });
    }

    // A window come above the overlays (full screen, say) is put back
    // below. Raising restacks again, so only when another window is above.
    _restacked() {
        if (!this._held.titles.length || this._held.othersAbove)
            return;
        const held = this._heldWindows();
        const stacked = this._env.global.display.sort_windows_by_stacking(this._windows());
        const lowest = Math.min(...held.map(w => stacked.indexOf(w)));
        const intruders = stacked.slice(lowest + 1).filter(w =>
            !this._isHeld(w) && !this._mayStandAbove(w) && !this._isOwn(w));
        if (!held.length || !intruders.length)
            return;
        for (const win of held) {
            if (!win.above)
                win.make_above();
            win.raise();
        }
        for (const win of this._windows().filter(w => this._mayStandAbove(w)))
            win.raise();
    }

    // --- Indicator and key binding ---

    _setIndicator(visible, countdown, tooltip) {
        if (!visible)
            return this._env.indicator.hide();
        return this._env.indicator.show(countdown, tooltip, () => this._emit('IndicatorActivated'));
    }

    _setShortcut(accelerator) {
        if (!accelerator)
            return this._env.keybinding.unbind();
        return this._env.keybinding.bind(accelerator, () => this._emit('ShortcutActivated'));
    }
}

// The parts of the shell the bridge uses, from the modules each entry point
// imports its own way. shell: {Gio, GLib, Meta, Shell, St, global, main,
// panelMenu, workspace (the overview's workspace module), settings, dir, log}.
export function shellEnvironment(shell) {
    const {Gio, Meta, Shell, St, main, panelMenu, workspace, settings, dir} = shell;
    let button = null;
    let label = null;
    let onActivate = null;
    const indicator = {
        show(countdown, tooltip, activate) {
            onActivate = activate;
            if (!button) {
                button = new panelMenu.Button(0.5, 'Lumora', true);
                const box = new St.BoxLayout({style_class: 'panel-status-menu-box'});
                const icon = new St.Icon({style_class: 'system-status-icon',
                    gicon: Gio.FileIcon.new(dir.get_child('lumora-symbolic.svg'))});
                label = new St.Label({y_align: 2 /* Clutter.ActorAlign.CENTER */});
                box.add_child(icon);
                box.add_child(label);
                button.add_child(box);
                button.connect('button-press-event', () => {
                    onActivate?.();
                    return true;
                });
                button.connect('touch-event', () => {
                    onActivate?.();
                    return true;
                });
                main.panel.addToStatusArea('lumora', button);
            }
            label.text = countdown;
            label.visible = countdown.length > 0;
            button.accessible_name = tooltip || 'Lumora';
        },
        hide() {
            button?.destroy();
            button = null;
            label = null;
            onActivate = null;
        },
        // For the desktop tests: what the top bar shows.
        text() {
            return button && label?.visible ? label.text : '';
        },
        isShown: () => !!button,
        activate: () => onActivate?.(),
    };
    let bound = false;
    let onKey = null;
    const keybinding = {
        bind(accelerator, activate) {
            onKey = activate;
            if (bound)
                main.wm.removeKeybinding(KEYBINDING);
            settings.set_strv(KEYBINDING, [accelerator]);
            main.wm.addKeybinding(KEYBINDING, settings, Meta.KeyBindingFlags.IGNORE_AUTOREPEAT,
                Shell.ActionMode.NORMAL | Shell.ActionMode.OVERVIEW, () => onKey?.());
            bound = true;
        },
        unbind() {
            if (bound)
                main.wm.removeKeybinding(KEYBINDING);
            bound = false;
            onKey = null;
        },
        isBound: () => bound,
        activate: () => onKey?.(),
    };
    // Held overlays are in no window switcher and not in the overview.
    const displayProto = Meta.Display.prototype;
    const workspaceProto = workspace.Workspace.prototype;
    let originals = null;
    const hideFromSwitchers = {
        install(isHidden) {
            if (originals)
                return;
            originals = {tabList: displayProto.get_tab_list, overview: workspaceProto._isOverviewWindow};
            const {tabList, overview} = originals;
            displayProto.get_tab_list = function (...args) {
                return tabList.apply(this, args).filter(w => !isHidden(w));
            };
            workspaceProto._isOverviewWindow = function (win) {
                return !isHidden(win) && overview.call(this, win);
            };
        },
        remove() {
            if (!originals)
                return;
            displayProto.get_tab_list = originals.tabList;
            workspaceProto._isOverviewWindow = originals.overview;
            originals = null;
        },
    };
    return {
        Gio, GLib: shell.GLib, Meta, global: shell.global, connection: Gio.DBus.session,
        tracker: Shell.WindowTracker.get_default(), log: shell.log,
        indicator, keybinding, hideFromSwitchers,
    };
}
