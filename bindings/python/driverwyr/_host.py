"""The host's side of the library as classes to subclass: the user
interface (message boxes, the modal dialog, the folder browser), an
in-memory dialog window that holds the controls and combo lists, and the
clock. set_user_interface and set_clock install them and keep their ctypes
callbacks alive until they are replaced."""

import ctypes
import datetime

from ._library import Error


class Control:
    """One control of a DialogWindow: its kind (WYR_EDIT, WYR_COMBO, ...),
    text, typing limit (0: none), visibility and, for a combo box, its
    entries and the selected index (-1: none)."""

    def __init__(self, kind, text, visible):
        self.kind, self.text, self.visible = kind, text, visible
        self.limit, self.entries, self.selection = 0, [], -1

    def __repr__(self):
        return f"<{self.kind} {self.text!r}{' hidden' if not self.visible else ''}>"


class DialogWindow:
    """A dialog window held in memory: controls by id, made from the
    dialog's items. Every method below is what the driver calls on the
    window; a host overrides one only to show or record more."""

    def __init__(self, lib):
        self.lib, self.result, self.validation_messages = lib, None, []
        self.controls = {}
        for item in lib.description["dialog_items"]:
            ident = lib.constants[item["id"]]
            if ident != lib.constants["DRIVERWYR_IDC_STATIC"]:
                self.controls[ident] = Control(item["kind"], item["text"], not item["style"].endswith("HIDDEN"))
        window = lib.structs["driverwyr_window"]
        failed = {"select_combo_entry": -1, "get_combo_selection": -1}
        callbacks = []
        for name, kind in window.callbacks.items():
            function = getattr(self, "_c_" + name, None) or self._plain(name)
            callbacks.append(kind(lib.guard(function, failed.get(name))))
        self._struct = window(None, *callbacks)
        lib.windows[ctypes.addressof(self._struct)] = self
        self._dialog = None

    def _plain(self, name):
        method = getattr(self, name)
        decode = self.lib.decode
        return lambda _user, *args: method(*(decode(a) if isinstance(a, bytes) else a for a in args))

    def _c_get_control_text(self, _user, ident, text):
        self.lib.driverwyr_text_set(text, self.get_control_text(ident))

    def _c_get_combo_entry(self, _user, ident, index, text):
        entry = self.get_combo_entry(ident, index)
        if entry is not None:
            self.lib.driverwyr_text_set(text, entry)

    # -- what the driver calls
    def get_control_text(self, ident):
        control = self.controls.get(ident)
        if control is None:
            return ""
        if control.kind == "WYR_COMBO":
            return self.get_combo_entry(ident, control.selection) or ""
        return control.text

    def set_control_text(self, ident, text):
        control = self.controls.get(ident)
        if control is None:
            return
        if control.kind != "WYR_COMBO":
            control.text = text
            return
        for i, entry in enumerate(control.entries):
            if entry.lower() == text.lower():
                control.selection = i
                return

    def set_text_limit(self, ident, characters):
        if ident in self.controls:
            self.controls[ident].limit = max(characters, 0)

    def show_control(self, ident, visible):
        if ident in self.controls:
            self.controls[ident].visible = bool(visible)

    def focus_control(self, ident):
        pass

    def _combo(self, ident):
        control = self.controls.get(ident)
        return control if control is not None and control.kind == "WYR_COMBO" else None

    def clear_combo_box(self, ident):
        combo = self._combo(ident)
        if combo is not None:
            combo.entries, combo.selection = [], -1

    def insert_combo_entry(self, ident, index, text):
        combo = self._combo(ident)
        if combo is None:
            return
        index = len(combo.entries) if index == -1 else index
        if 0 <= index <= len(combo.entries):
            combo.entries.insert(index, text)
            if combo.selection >= index:
                combo.selection += 1

    def select_combo_entry(self, ident, prefix):
        combo = self._combo(ident)
        if combo is None or not prefix:
            return -1
        for i, entry in enumerate(combo.entries):
            if entry.lower().startswith(prefix.lower()):
                combo.selection = i
                return i
        return -1

    def get_combo_selection(self, ident):
        combo = self._combo(ident)
        return combo.selection if combo is not None else -1

    def get_combo_entry(self, ident, index):
        combo = self._combo(ident)
        return combo.entries[index] if combo is not None and 0 <= index < len(combo.entries) else None

    def show_validation_message(self, ident, text):
        self.validation_messages.append((ident, text))

    def end_dialog(self, result):
        if self.result is None:
            self.result = result

    # -- what the operator does
    def open(self, dialog):
        """The driver fills the empty window (driverwyr_dialog_init)."""
        self._dialog = dialog
        if self.lib.driverwyr_dialog_init(dialog, ctypes.byref(self._struct)) != 1:
            self.lib.fail("driverwyr_dialog_init")

    def command(self, control_id, notification=None):
        """A command of the operator; a button click unless told."""
        if notification is None:
            notification = self.lib.constants["DRIVERWYR_BN_CLICKED"]
        if self.lib.driverwyr_dialog_command(self._dialog, ctypes.byref(self._struct), control_id, notification):
            self.lib.fail("driverwyr_dialog_command")

    def text(self, ident):
        return self.get_control_text(ident)

    def type_text(self, ident, text):
        """The operator types text into an edit box: it replaces the box's
        text, cut to the box's typing limit as a real edit box cuts it."""
        control = self.controls[ident]
        control.text = text[:control.limit] if control.limit else text

    def choose(self, ident, index):
        """The operator selects entry index of a combo box; the driver is
        told (CBN_SELCHANGE)."""
        combo = self._combo(ident)
        if combo is None or not 0 <= index < len(combo.entries):
            raise IndexError(f"control {ident} has no entry {index}")
        combo.selection = index
        self.command(ident, self.lib.constants["DRIVERWYR_CBN_SELCHANGE"])


class UserInterface:
    """The host's user interface. The defaults answer every box with OK,
    run the program creation dialog in a DialogWindow whose operator does
    nothing (operate) and so cancels, and cancel the folder browser."""

    window_class = DialogWindow

    def show_message_box(self, text, style, message_id):
        """text with a DRIVERWYR_MB_... style; message_id is the
        DRIVERWYR_MSG_... of the box (0 when it has none). The button that
        closed it."""
        return self._library.constants["DRIVERWYR_ID_OK"]

    def run_dialog(self, template_id, dialog):
        """Runs the dialog modally; the result given to end_dialog, or -1
        when it cannot be shown."""
        constants = self._library.constants
        if template_id != constants["DRIVERWYR_DIALOG_PROGRAM_CREATION"]:
            return -1
        window = self.window_class(self._library)
        window.open(dialog)
        self.operate(window)
        if window.result is None:
            window.command(constants["DRIVERWYR_ID_CANCEL"])
        return window.result if window.result is not None else constants["DRIVERWYR_ID_CANCEL"]

    def operate(self, window):
        """What the operator does in an open window: e.g.
        window.command(driverwyr.ID_OK) presses "Create..."."""

    def browse_for_folder(self, owner, title, initial_folder):
        """The folder the operator chose, or None when cancelled."""
        return None


class Clock:
    """The host's clock: today's date in UTC, and in local time (the UTC
    date unless overridden). Return a datetime.date."""

    def utc_today(self):
        return datetime.datetime.now(datetime.timezone.utc).date()

    def local_today(self):
        return self.utc_today()


def _install(lib, kind, setter, obj, make):
    """Installs obj through setter with the struct make() builds; the struct
    and its callbacks stay alive in lib until replaced."""
    if obj is None:
        if setter(None):
            lib.fail(setter.name)
        lib.installed.pop(kind, None)
        return
    struct = make()
    if setter(ctypes.byref(struct)):
        lib.fail(setter.name)
    lib.installed[kind] = (obj, struct)


def set_user_interface(lib, ui):
    """Installs ui (a UserInterface), or the platform's with None."""
    if ui is not None and not isinstance(ui, UserInterface):
        raise TypeError("set_user_interface takes a driverwyr.UserInterface")
    struct_type = lib.structs["driverwyr_user_interface"]

    def message(_user, text, style):
        return ui.show_message_box(lib.decode(text), style, lib.driverwyr_CurrentMessageId())

    def run(_user, template_id, dialog):
        return ui.run_dialog(template_id, dialog)

    def browse(_user, owner, title, initial, folder):
        window = lib.windows.get(ctypes.addressof(owner.contents)) if owner else None
        chosen = ui.browse_for_folder(window, lib.decode(title), lib.decode(initial))
        if chosen is None:
            return 0
        lib.driverwyr_text_set(folder, chosen)
        return 1

    def make():
        ui._library = lib
        calls = struct_type.callbacks
        return struct_type(None, calls["show_message_box"](lib.guard(message, -1)),
                           calls["run_dialog"](lib.guard(run, -1)),
                           calls["browse_for_folder"](lib.guard(browse, 0)))
    _install(lib, "ui", lib.driverwyr_SetUserInterface, ui, make)


def set_clock(lib, clock):
    """Installs clock (a Clock), or the platform's with None."""
    if clock is not None and not isinstance(clock, Clock):
        raise TypeError("set_clock takes a driverwyr.Clock")
    struct_type = lib.structs["driverwyr_clock"]

    def today(method):
        def fill(_user, date):
            day = method()
            if not isinstance(day, datetime.date):
                raise Error(f"the clock gave {day!r}, not a datetime.date")
            date.contents.year, date.contents.month, date.contents.day = day.year, day.month, day.day
        return struct_type.callbacks["utc_today"](lib.guard(fill))

    _install(lib, "clock", lib.driverwyr_SetClock, clock,
             lambda: struct_type(None, today(clock.utc_today), today(clock.local_today)))
