// SPDX-License-Identifier: MIT
// The Lumora extension's entry point on GNOME 43 and 44 (installed there as
// extension.js, with metadata-43.json as metadata.json). What it does lives
// in core.js, an ES module shared with the GNOME 45+ entry point, loaded here
// by a dynamic import.
/* exported init */
const {Gio, GLib, Meta, Shell, St} = imports.gi;
const ExtensionUtils = imports.misc.extensionUtils;
const Main = imports.ui.main;
const PanelMenu = imports.ui.panelMenu;
const Workspace = imports.ui.workspace;

class LumoraExtension {
    enable() {
        const me = ExtensionUtils.getCurrentExtension();
        const generation = this._generation = (this._generation ?? 0) + 1;
        import(me.dir.get_child('core.js').get_uri()).then(core => {
            // Disabled (or enabled again) while the module loaded.
            if (generation !== this._generation || this._bridge)
                return;
            const env = core.shellEnvironment({
                Gio, GLib, Meta, Shell, St, global, main: Main, panelMenu: PanelMenu, workspace: Workspace,
                settings: ExtensionUtils.getSettings(), dir: me.dir, log: text => log(`Lumora: ${text}`),
            });
            this._bridge = new core.Bridge(env);
            this._bridge.enable();
        }).catch(e => logError(e, 'Lumora'));
    }

    disable() {
        this._generation = (this._generation ?? 0) + 1;
        this._bridge?.disable();
        this._bridge = null;
    }
}

function init() {
    return new LumoraExtension();
}
