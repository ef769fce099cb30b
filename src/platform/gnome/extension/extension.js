// GNOME Shell 43 and 44: the extension format with imports.
'use strict';

const {Gio, GLib, Shell} = imports.gi;
const Keyboard = imports.ui.status.keyboard;
const Me = imports.misc.extensionUtils.getCurrentExtension();
const {VelmoraShellBus} = Me.imports.velmoraBus;

class Extension {
    enable() {
        this._bus = new VelmoraShellBus(Gio, GLib, Shell, Keyboard);
        this._bus.enable();
    }

    disable() {
        this._bus?.disable();
        this._bus = null;
    }
}

function init() {
    return new Extension();
}
