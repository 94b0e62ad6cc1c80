// SPDX-License-Identifier: MIT
// The extension's bus and window logic (core.js) against stand-ins for the
// shell's windows: who may drive it, what it accepts, what it does to
// windows, and what goes when Lumora goes. Run: gjs -m test-core.js <core.js> <version>
import GLib from 'gi://GLib';
import System from 'system';

const [corePath, programVersion] = ARGV;
const core = await import(`file://${corePath}`);

let failures = 0;
let checks = 0;
function check(condition, what) {
    checks++;
    if (!condition) {
        failures++;
        printerr(`FAIL: ${what}`);
    }
}

const Meta = {WindowType: {NORMAL: 0, DIALOG: 3, MODAL_DIALOG: 4, UTILITY: 5, DOCK: 1, DESKTOP: 2}};

class FakeSignals {
    constructor() {
        this._handlers = new Map();
        this._next = 1;
    }

    connect(name, fn) {
        const id = this._next++;
        this._handlers.set(id, [name, fn]);
        return id;
    }

    disconnect(id) {
        this._handlers.delete(id);
    }

    emit(name, ...args) {
        for (const [n, fn] of [...this._handlers.values()]) {
            if (n === name)
                fn(this, ...args);
        }
    }

    get connections() {
        return this._handlers.size;
    }
}

class FakeWindow extends FakeSignals {
    constructor(id, pid, title, wmClass, type = Meta.WindowType.NORMAL) {
        super();
        Object.assign(this, {id, pid, title, wmClass, type, minimized: false, above: false,
            on_all_workspaces: false, activated: 0, monitor: 0});
    }

    get_id() { return this.id; }
    get_pid() { return this.pid; }
    get_title() { return this.title; }
    get_wm_class() { return this.wmClass; }
    get_wm_class_instance() { return this.wmClass.toLowerCase(); }
    get_gtk_application_id() { return null; }
    get_sandboxed_app_id() { return null; }
    get_window_type() { return this.type; }
    get_monitor() { return this.monitor; }
    is_override_redirect() { return false; }
    can_minimize() { return true; }
    minimize() { this.minimized = true; this.emit('notify::minimized'); }
    unminimize() { this.minimized = false; this.emit('notify::minimized'); }
    make_above() { this.above = true; }
    unmake_above() { this.above = false; }
    stick() { this.on_all_workspaces = true; }
    unstick() { this.on_all_workspaces = false; }
    raise() {
        this.display.raised = this.display.raised.filter(w => w !== this);
        this.display.raised.push(this);
        this.raises = (this.raises ?? 0) + 1;
    }
    activate() { this.activated++; this.display.focus_window = this; }
}

const lumoraPid = 4242;
const lumora = ':1.10';
const stranger = ':1.11';

function makeBridge() {
    const display = new FakeSignals();
    display.focus_window = null;
    display.get_primary_monitor = () => 0;
    // Bottom to top: as the windows are listed, raised ones last.
    display.raised = [];
    display.sort_windows_by_stacking = list =>
        [...list].sort((a, b) => display.raised.indexOf(a) - display.raised.indexOf(b));
    const windows = [
        new FakeWindow(11, 100, 'Browser', 'Firefox'),
        new FakeWindow(12, 200, 'Editor', 'Gedit'),
        new FakeWindow(13, 300, 'Top bar', 'Panel', Meta.WindowType.DOCK),
        new FakeWindow(21, lumoraPid, 'Lumora Overlay', 'lumora'),
        new FakeWindow(22, lumoraPid, 'Lumora', 'lumora'),
    ];
    windows.forEach(w => (w.display = display));
    const state = {indicator: null, shortcut: null, hiddenFrom: null, logs: []};
    const env = {
        GLib, Meta, connection: null, tracker: null, log: t => state.logs.push(t),
        global: {
            display, get_current_time: () => 0,
            get_window_actors: () => windows.map(w => ({get_meta_window: () => w})),
        },
        indicator: {
            show: (text, tip, activate) => (state.indicator = {text, tip, activate}),
            hide: () => (state.indicator = null),
        },
        keybinding: {
            bind: (accel, activate) => (state.shortcut = {accel, activate}),
            unbind: () => (state.shortcut = null),
        },
        hideFromSwitchers: {
            install: isHidden => (state.hiddenFrom = isHidden),
            remove: () => (state.hiddenFrom = null),
        },
    };
    const bridge = new core.Bridge(env);
    bridge.nameOwnerChanged('io.github.lumora.Lumora', '', lumora);
    // Calls answer synchronously without a bus connection.
    const call = (method, params = [], sender = lumora) => {
        let reply = null;
        bridge.call(method, params, sender, r => (reply = r));
        return reply;
    };
    return {bridge, call, windows, display, state};
}

function spin() {
    const context = GLib.MainContext.default();
    while (context.pending())
        context.iteration(false);
}

// The form of what the bus may send.
{
    check(core.VERSION === programVersion, `extension version ${core.VERSION} is the program's ${programVersion}`);
    const names = [['io.github.lumora.Lumora', true], ['io.github.lumora.Lumora.dev_0123abcd4567', true],
        ['io.github.lumora.LumoraX', false], ['io.github.lumora.Lumora.a.b', false], [':1.5', false],
        ['org.gnome.Shell', false]];
    for (const [name, ok] of names)
        check(core.isLumoraName(name) === ok, `isLumoraName(${name})`);
    const countdowns = [['25:00', true], ['', true], ['120:59', true], ['5:60', false], ['1:2', false],
        ['<b>1</b>', false], ['25:00\n', false]];
    for (const [text, ok] of countdowns)
        check(core.isCountdown(text) === ok, `isCountdown(${JSON.stringify(text)})`);
    const accels = [['<Super><Shift>f', true], ['<Control><Alt>space', true], ['', true], ['F12', true],
        ['<Evil>x', false], ['<Super>', false], ['a b', false], ['<Super>f; rm', false]];
    for (const [text, ok] of accels)
        check(core.isAccelerator(text) === ok, `isAccelerator(${JSON.stringify(text)})`);
    check(JSON.stringify(core.parseIds([1, 2n, 3])) === '[1,2,3]', 'ids as numbers and BigInts');
    check(core.parseIds([0]) === null && core.parseIds([-1]) === null && core.parseIds(['1']) === null &&
        core.parseIds([1.5]) === null && core.parseIds(new Array(600).fill(1)) === null, 'bad ids refused');
    check(core.areTitles(['a']) && !core.areTitles(['']) && !core.areTitles(['a\u0007']) &&
        !core.areTitles('a'), 'titles');
}

// Only Lumora drives it, and only after Connect with the same version.
{
    const {call} = makeBridge();
    check(call('ListWindows', [], stranger).error === 'AccessDenied', 'a stranger is refused');
    check(call('Connect', [core.VERSION], stranger).error === 'AccessDenied', 'a stranger cannot connect');
    check(call('ListWindows').error === 'NotConnected', 'Lumora must connect first');
    check(call('Connect', ['0.0.1']).value.deep_unpack()[0] === core.VERSION, 'Connect answers the version');
    check(call('ListWindows').error === 'VersionMismatch', 'another version does nothing');
    check(call('SetMinimized', [[11], true]).error === 'VersionMismatch', 'another version hides nothing');
}
{
    const {call, state} = makeBridge();
    call('Connect', ['9.9.9']);
    call('Connect', ['9.9.9']);
    check(state.logs.length === 1 && state.logs[0].includes('9.9.9'), 'a version mismatch is said once');
}

// Windows: listed with what Lumora identifies them by; minimised and shown
// by id, never Lumora's own, never on bad input.
{
    const {call, windows} = makeBridge();
    call('Connect', [core.VERSION]);
    const rows = call('ListWindows').value.deep_unpack()[0];
    check(rows.length === 4, `ordinary windows listed, no dock (${rows.length})`);
    const browser = rows.find(r => Number(r[0]) === 11);
    check(browser && browser[1] === 'Firefox' && browser[2] === 'firefox' && browser[6] === 'Browser' &&
        browser[7] === 100 && browser[8] === false, 'a row: id, class, instance, title, pid, minimised');
    const changed = call('SetMinimized', [[11, 999], true]).value.deep_unpack()[0];
    check(changed.length === 1 && Number(changed[0]) === 11 && windows[0].minimized, 'minimised by id');
    check(call('SetMinimized', [['x'], true]).error === 'InvalidArgs', 'bad ids are an error');
    check(call('SetMinimized', [[11], 'yes']).error === 'InvalidArgs', 'a bad flag is an error');
    call('SetMinimized', [[11], false]);
    check(!windows[0].minimized, 'shown again');
}
{
    const {bridge, call, windows} = makeBridge();
    call('Connect', [core.VERSION]);
    bridge.client.pid = lumoraPid;
    call('SetMinimized', [[21, 22, 12], true]);
    check(!windows[3].minimized && !windows[4].minimized && windows[1].minimized,
        "Lumora's own windows are never minimised");
}

// Windows are followed only while Lumora watches them or overlays are held:
// a connected Lumora at rest costs the shell nothing.
{
    const {call, display, windows} = makeBridge();
    call('Connect', [core.VERSION]);
    check(display.connections === 0 && windows[0].connections === 0, 'nothing followed after Connect');
    check(call('Watch', ['yes']).error === 'InvalidArgs', 'Watch takes a flag');
    call('Watch', [true]);
    check(display.connections > 0 && windows[0].connections > 0, 'followed while watched');
    call('Watch', [false]);
    check(display.connections === 0 && windows[0].connections === 0, 'let go when not watched');
    call('HoldOverlays', [['Lumora Overlay'], [], false]);
    check(display.connections > 0, 'followed while overlays are held');
    call('ReleaseOverlays');
    check(display.connections === 0, 'nothing followed once they are let go');
}

// Overlays: above, on every workspace, out of the switchers, unminimised,
// and given back as they were; the keyboard stays with them.
{
    const {bridge, call, windows, display, state} = makeBridge();
    call('Connect', [core.VERSION]);
    bridge.client.pid = lumoraPid;
    const overlay = windows[3];
    check(call('HoldOverlays', [['Lumora Overlay', ''], [], false]).error === 'InvalidArgs', 'empty title refused');
    check(!call('HoldOverlays', [['Lumora Overlay'], ['Lumora'], false]).error, 'hold');
    check(overlay.above && overlay.on_all_workspaces, 'the overlay is above, on all workspaces');
    check(!windows[0].above && !windows[4].above, 'nothing else is made above');
    check(state.hiddenFrom && state.hiddenFrom(overlay) && !state.hiddenFrom(windows[0]),
        'the overlay is out of the switchers, others are not');
    // A stranger's window of the same title is not held.
    const impostor = new FakeWindow(31, 777, 'Lumora Overlay', 'evil');
    check(!state.hiddenFrom(impostor), "another process's window of that title is not held");
    overlay.minimize();
    check(!overlay.minimized, 'a held overlay minimised comes straight back');
    display.focus_window = windows[0];
    display.emit('notify::focus-window');
    spin();
    check(overlay.activated === 1 && display.focus_window === overlay, 'the keyboard goes back to the overlay');
    display.focus_window = windows[4];
    display.emit('notify::focus-window');
    spin();
    check(display.focus_window === windows[4], "Lumora's own window above the overlay keeps the keyboard");

    // A window come above the overlay is put below it again; a restack
    // with nothing above it raises nothing (no restacking loop).
    windows[0].raise();
    display.emit('restacked');
    check(display.raised.at(-1) === overlay || display.raised.at(-1) === windows[4], 'the overlay is raised again');
    const raises = overlay.raises;
    display.emit('restacked');
    check(overlay.raises === raises, 'nothing is raised when nothing is above the overlay');

    // Click-through: not above, the keyboard free.
    call('HoldOverlays', [['Lumora Overlay'], [], true]);
    check(!overlay.above && overlay.on_all_workspaces, 'click-through: not above, still on all workspaces');
    display.focus_window = windows[0];
    display.emit('notify::focus-window');
    spin();
    check(display.focus_window === windows[0], 'click-through: the keyboard stays where the user put it');

    call('ReleaseOverlays');
    check(!overlay.above && !overlay.on_all_workspaces && state.hiddenFrom === null, 'released as it was');
}

// Lumora vanishing (killed) drops everything at once.
{
    const {bridge, call, windows, display, state} = makeBridge();
    call('Connect', [core.VERSION]);
    bridge.client.pid = lumoraPid;
    call('HoldOverlays', [['Lumora Overlay'], [], false]);
    check(!call('SetIndicator', [true, '24:59', 'Deep work']).error && state.indicator.text === '24:59',
        'the countdown is shown');
    check(call('SetIndicator', [true, '<span>', '']).error === 'InvalidArgs', 'markup is no countdown');
    check(!call('SetShortcut', ['<Super><Shift>f']).error && state.shortcut.accel === '<Super><Shift>f',
        'the shortcut is bound');
    check(call('SetShortcut', ['<Super>x;']).error === 'InvalidArgs', 'a bad shortcut is refused');
    check(display.connections > 0, 'listening while connected');
    bridge.nameOwnerChanged('io.github.lumora.Lumora', lumora, '');
    check(!windows[3].above && !windows[3].on_all_workspaces, 'the overlay is let go');
    check(state.indicator === null && state.shortcut === null && state.hiddenFrom === null,
        'the countdown, the key binding and the switcher filter go');
    check(bridge.client === null && display.connections === 0, 'nothing listened to afterwards');
    check(call('ListWindows').error === 'AccessDenied', 'the old connection is refused');
    // The next Lumora connects afresh.
    bridge.nameOwnerChanged('io.github.lumora.Lumora', '', ':1.20');
    let reply = null;
    bridge.call('Connect', [core.VERSION], ':1.20', r => (reply = r));
    check(reply.value && bridge.client.sender === ':1.20', 'the next Lumora connects');
}

// New windows of the client with a held title are held too.
{
    const {bridge, call, windows, display} = makeBridge();
    call('Connect', [core.VERSION]);
    bridge.client.pid = lumoraPid;
    call('HoldOverlays', [['Lumora Overlay'], [], false]);
    const second = new FakeWindow(23, lumoraPid, 'Lumora Overlay', 'lumora');
    second.display = display;
    windows.push(second);
    display.emit('window-created', second);
    check(second.above && second.on_all_workspaces, 'an overlay shown later is held');
}

print(`${checks - failures}/${checks} checks passed`);
System.exit(failures ? 1 : 0);
