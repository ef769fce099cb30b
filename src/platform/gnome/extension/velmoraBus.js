// Velmora's bus in GNOME Shell: the shell's input sources, listed, followed
// and selected through its own input source manager, so the indicator, the
// per-window mode and the recent-sources order stay GNOME's.
//
// It also tells the application and the window in front, so that Velmora
// knows them before a key is pressed, and whether the shell keeps a source
// per window.
//
// One body for both extension formats: the entry file passes in what it
// imported (Gio, GLib, Shell and the shell's ui/status/keyboard module).
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
    <method name="GetFocus">
      <arg type="s" direction="out" name="application"/>
      <arg type="s" direction="out" name="window"/>
    </method>
    <signal name="FocusChanged">
      <arg type="s" name="application"/>
      <arg type="s" name="window"/>
    </signal>
    <method name="GetPerWindow">
      <arg type="b" direction="out" name="perWindow"/>
    </method>
  </interface>
</node>`;

function sourcesInOrder(manager) {
    return Object.keys(manager.inputSources)
        .map(Number)
        .sort((a, b) => a - b)
        .map(index => manager.inputSources[index]);
}

// The desktop-entry id of the focus window's application ("org.gnome.Terminal"),
// else the window's class, and the window's id; empty without a focus window.
function focused(Shell) {
    const window = global.display.focus_window;
    if (!window)
        return ['', ''];
    const app = Shell.WindowTracker.get_default().get_window_app(window);
    // A window without a desktop entry gets an application made up for it.
    const application = app?.get_app_info()
        ? app.get_id().replace(/\.desktop$/, '') : window.get_wm_class() ?? '';
    return [application, String(window.get_id())];
}

var VelmoraShellBus = class {
    constructor(Gio, GLib, Shell, keyboard) {
        this._Gio = Gio;
        this._GLib = GLib;
        this._Shell = Shell;
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
        this._focusHandler = global.display.connect('notify::focus-window', () => this._focusChanged());
        // The shell's own settings object for it is private to its manager.
        this._settings = new Gio.Settings({schema_id: 'org.gnome.desktop.input-sources'});
        this._settingsHandler = this._settings.connect('changed::per-window',
            () => this._emit('SourcesChanged', null));
        // Only what the interface declares is reachable from the bus.
        this._object = Gio.DBusExportedObject.wrapJSObject(INTERFACE_XML, {
            ListSources: () => this._listSources(),
            GetCurrent: () => this._currentIndex(),
            Activate: index => this._activate(index),
            GetFocus: () => focused(this._Shell),
            GetPerWindow: () => this._settings.get_boolean('per-window'),
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
        if (this._focusHandler)
            global.display.disconnect(this._focusHandler);
        this._focusHandler = 0;
        if (this._settingsHandler)
            this._settings.disconnect(this._settingsHandler);
        this._settingsHandler = 0;
        this._settings = null;
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

    _focusChanged() {
        const [application, window] = focused(this._Shell);
        // The shell may notify again for the window already in front.
        if (window === this._lastWindow && application === this._lastApplication)
            return;
        [this._lastApplication, this._lastWindow] = [application, window];
        this._emit('FocusChanged', new this._GLib.Variant('(ss)', [application, window]));
    }

    _emit(name, parameters) {
        this._object?.emit_signal(name, parameters);
    }
};
