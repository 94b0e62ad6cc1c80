// SPDX-License-Identifier: MIT
// The Lumora extension's entry point on GNOME 45 and later (ES modules).
// What it does lives in core.js, shared with the GNOME 43-44 entry point.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import Shell from 'gi://Shell';
import St from 'gi://St';

import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import * as PanelMenu from 'resource:///org/gnome/shell/ui/panelMenu.js';
import * as Workspace from 'resource:///org/gnome/shell/ui/workspace.js';

import {Bridge, shellEnvironment} from './core.js';

export default class LumoraExtension extends Extension {
    enable() {
        const env = shellEnvironment({
            Gio, GLib, Meta, Shell, St, global, main: Main, panelMenu: PanelMenu, workspace: Workspace,
            settings: this.getSettings(), dir: this.dir, log: text => console.warn(`Lumora: ${text}`),
        });
        this._bridge = new Bridge(env);
        this._bridge.enable();
    }

    disable() {
        this._bridge?.disable();
        this._bridge = null;
    }
}
