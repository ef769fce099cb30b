// GNOME Shell 45 and later: the ES module format. Installed as extension.js
// of its own uuid, beside velmoraBus.js turned into a module.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Shell from 'gi://Shell';
import * as Keyboard from 'resource:///org/gnome/shell/ui/status/keyboard.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

import {VelmoraShellBus} from './velmoraBus.js';

export default class VelmoraExtension extends Extension {
    enable() {
        this._bus = new VelmoraShellBus(Gio, GLib, Shell, Keyboard);
        this._bus.enable();
    }

    disable() {
        this._bus?.disable();
        this._bus = null;
    }
}
