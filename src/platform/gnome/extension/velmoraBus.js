// Velmora's bus in GNOME Shell: the shell's input sources, listed, followed
// and selected through its own input source manager, so the indicator, the
// per-window mode and the recent-sources order stay GNOME's.
//
// One body for both extension formats: the entry file passes in what it
// imported (Gio and the shell's ui/status/keyboard module).
'use strict';

var BUS_NAME = 'app.velmora.Shell';
var OBJECT_PATH = '/app/velmora/Shell';
// GetCurrent's answer while the shell has no current source.
var NO_SOURCE = 0xffffffff;

var INTERFACE_XML = `<node>
  <interface name="app.velmora.Shell">
    <method name="ListSources">
      <arg type="a(sss)" direction="out" name="sources"/>
    </method>
    <method name="GetCurrent">
      <arg type="u" direction="out" name="index"/>
    </method>
    <method name="Activate">
      <arg type="u" direction="in" name="index"/>
      <arg type="b" direction="out" name="activated"/>
    </method>
    <signal name="CurrentChanged">
      <arg type="u" name="index"/>
    </signal>
    <signal name="Stepped">
      <arg type="i" name="steps"/>
    </signal>
    <signal name="SourcesChanged"/>
  </interface>
</node>`;

function sourcesInOrder(manager) {
    return Object.keys(manager.inputSources)
        .map(Number)
        .sort((a, b) => a - b)
        .map(index => manager.inputSources[index]);
}

var VelmoraShellBus = class {
    constructor(Gio, GLib, keyboard) {
        this._Gio = Gio;
        this._GLib = GLib;
        this._keyboard = keyboard;
    }

    enable() {
        const Gio = this._Gio;
        this._manager = this._keyboard.getInputSourceManager();
        this._patchSwitcher();
        this._handlers = [
            this._manager.connect('current-source-changed',
                (_manager, oldSource) => this._currentChanged(oldSource)),
            this._manager.connect('sources-changed', () => this._emit('SourcesChanged', null)),
        ];
        // Only what the interface declares is reachable from the bus.
        this._object = Gio.DBusExportedObject.wrapJSObject(INTERFACE_XML, {
            ListSources: () => this._listSources(),
            GetCurrent: () => this._currentIndex(),
            Activate: index => this._activate(index),
        });
        this._object.export(Gio.DBus.session, OBJECT_PATH);
        // The name comes last: whoever sees it finds the object in place.
        this._nameId = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);
    }

    disable() {
        if (this._nameId)
            this._Gio.bus_unown_name(this._nameId);
        this._nameId = 0;
        if (this._object)
            this._object.unexport();
        this._object = null;
        for (const id of this._handlers ?? [])
            this._manager.disconnect(id);
        this._handlers = [];
        this._restoreSwitcher?.();
        this._restoreSwitcher = null;
        this._manager = null;
    }

    // The shell's switcher (Super+Space) activates the source it settled on;
    // marking that moment tells a step through the list from a selection.
    _patchSwitcher() {
        const prototype = this._keyboard.InputSourcePopup.prototype;
        const finish = prototype._finish;
        const bus = this;
        prototype._finish = function (...args) {
            bus._inSwitcher = true;
            try {
                return finish.apply(this, args);
            } finally {
                bus._inSwitcher = false;
            }
        };
        this._restoreSwitcher = () => {
            prototype._finish = finish;
        };
    }

    _listSources() {
        return sourcesInOrder(this._manager).map(source =>
            [source.type, source.id, source.displayName]);
    }

    _currentIndex() {
        const current = this._manager.currentSource;
        return current ? current.index : NO_SOURCE;
    }

    _activate(index) {
        const source = this._manager.inputSources[index];
        if (!source)
            return false;
        // Interactive, as the indicator's menu does: the recent-sources
        // order follows, so GNOME's own switcher starts from here.
        source.activate(true);
        return true;
    }

    _currentChanged(oldSource) {
        const current = this._manager.currentSource;
        if (!current)
            return;
        if (this._inSwitcher && oldSource) {
            const count = sourcesInOrder(this._manager).length;
            const steps = (current.index - oldSource.index + count) % count;
            this._emit('Stepped', new this._GLib.Variant('(i)', [steps]));
        }
        this._emit('CurrentChanged', new this._GLib.Variant('(u)', [current.index]));
    }

    _emit(name, parameters) {
        this._object?.emit_signal(name, parameters);
    }
};
