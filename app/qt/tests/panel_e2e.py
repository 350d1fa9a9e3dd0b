"""Drives the real korvanel window through its accessibility interface (AT-SPI), the way a screen
reader or a test robot would: finds the controls by their names and descriptions, presses buttons,
picks a drive with the keyboard and reads the values the panel shows.

usage: panel_e2e.py SCENARIO DRIVE_ROOT [ARG]
  single      run the Sequential test alone; values appear while it runs and stay at the end
  full        run the whole benchmark; every value, access time and rating gets filled
  escape      start the whole benchmark, then press Escape while it runs (the program ends)
  running     start the whole benchmark and return while it runs (the caller ends the program)
  picture     "Screenshot to MS-Paint"; ARG is the file the stand-in paint program records into
  save        "Screenshot to File" through the save dialog; ARG is the file name to type
At the end of single, full, picture and save the panel is closed with Escape.
"""
import subprocess
import sys
import time
import zlib

import pyatspi

RATE_VALUES = ["Sequential read", "Sequential write", "4K read", "4K write", "512K read", "512K write",
               "64 X 4K read", "64 X 4K write"]
ACCESS_VALUES = ["Read access time", "Write access time"]
RATINGS = ["Read rating", "Write rating", "Total rating"]


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def wait_for(what, condition, timeout=30.0):
    deadline = time.time() + timeout
    while time.time() < deadline:
        try:
            if condition():
                return
        except Exception:  # the tree changes under us while the panel works
            pass
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def application():
    found = []

    def look():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Korvanel":
                found.append(app)
                return True
        return False

    wait_for("the Korvanel application on the accessibility bus", look)
    return found[0]


def walk(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from walk(child)


def find(root, role, name=None, description=None):
    for node in walk(root):
        if node.getRoleName() != role:
            continue
        if name is not None and node.name != name:
            continue
        if description is not None and node.description != description:
            continue
        return node
    return None


def need(root, role, name=None, description=None):
    node = []
    wait_for("%s %r %r" % (role, name, description),
             lambda: node.append(find(root, role, name, description)) or node[-1] is not None, 15)
    return node[-1]


def value(app, description):
    return need(app, "label", description=description).name


def status(app):
    """The status line's text; while it is empty the line is named "Status" for a screen reader."""
    text = value(app, "Status")
    return "" if text == "Status" else text


def press(node):
    node.queryAction().doAction(0)


def click(node):
    """A mouse click in the middle of `node`, as a user makes it: there is no window manager to give
    a window the keyboard, and a click does that too."""
    extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", "--sync", str(extents.x + extents.width // 2),
                    str(extents.y + extents.height // 2), "click", "1"], check=True)


def key(app, *keys):
    """Keys typed into the panel, after a click on its status line has given it the keyboard."""
    click(need(app, "label", description="Status"))
    time.sleep(0.3)
    subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True)


def start_button(app):
    # A screen reader hears the captions without their trailing blanks.
    for node in walk(app):
        if node.getRoleName() == "push button" and node.name in ("Start", "Stop"):
            return node
    fail("no Start button")


def running(app):
    return start_button(app).name == "Stop"


def choose_drive(app, root):
    combo = find(app, "combo box")
    items, wanted = [], []

    def listed():
        # The list's items reach the accessibility bus a moment after the list shows its choice.
        items[:] = [node for node in walk(combo) if node.getRoleName() == "list item"]
        wanted[:] = [node for node in items if node.name == root + " " or node.name.startswith(root + " ")]
        return bool(wanted)

    deadline = time.time() + 15
    while not listed() and time.time() < deadline:
        time.sleep(0.2)
    if not wanted:
        fail("%s is not in the drive list %r" % (root, [node.name for node in items]))
    click(combo)
    wait_for("the drive list to drop down", lambda: wanted[0].getState().contains(pyatspi.STATE_SHOWING), 10)
    time.sleep(0.3)
    click(wanted[0])
    wait_for("the drive %s to be chosen" % root, lambda: combo.name.startswith(root + " "))


def check_measured(app, descriptions):
    for description in descriptions:
        text = value(app, description)
        number = float(text.split()[0].replace(",", ".")) if text and text[0].isdigit() else 0.0
        if number <= 0:
            fail("%s shows %r" % (description, text))


def run_single(app):
    press(need(app, "push button", "Sequential"))
    wait_for("the run to start", lambda: running(app), 10)
    seen_while_running = []
    wait_for("a sequential value while the run goes on",
             lambda: running(app) and "MB/s" in value(app, "Sequential read")
             and seen_while_running.append(value(app, "Sequential read")) is None, 60)
    wait_for("the run to end", lambda: not running(app), 120)
    check_measured(app, ["Sequential read", "Sequential write"])
    # A single test fills only its own row.
    if value(app, "4K read") != "-":
        fail("4K read shows %r after a sequential test" % value(app, "4K read"))
    print("while running: Sequential read %s; at the end: %s / %s" %
          (seen_while_running[0], value(app, "Sequential read"), value(app, "Sequential write")))


def run_full(app):
    press(start_button(app))
    wait_for("the run to start", lambda: running(app), 10)
    wait_for("the run to end", lambda: not running(app), 240)
    check_measured(app, RATE_VALUES + RATINGS)
    for description in ACCESS_VALUES:
        if "ms." not in value(app, description):
            fail("%s shows %r" % (description, value(app, description)))
    if status(app).strip():
        fail("the status line still reads %r" % status(app))
    print("; ".join("%s %s" % (d, value(app, d).strip()) for d in RATE_VALUES + ACCESS_VALUES + RATINGS))


def start_and_wait_for_a_pass(app):
    press(start_button(app))
    wait_for("the run's first pass", lambda: running(app) and status(app).strip() != "", 30)


def run_escape(app):
    start_and_wait_for_a_pass(app)
    key(app, "Escape")


def png_size_and_colours(path):
    with open(path, "rb") as picture:
        data = picture.read()
    if not data.startswith(b"\x89PNG\r\n\x1a\n"):
        fail("%s is not a PNG file" % path)
    width = int.from_bytes(data[16:20], "big")
    height = int.from_bytes(data[20:24], "big")
    chunks, position = b"", 8
    while position < len(data):
        length = int.from_bytes(data[position:position + 4], "big")
        if data[position + 4:position + 8] == b"IDAT":
            chunks += data[position + 8:position + 8 + length]
        position += 12 + length
    return width, height, len(set(zlib.decompress(chunks)))


def check_picture(app, path):
    extents = app.getChildAtIndex(0).queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    width, height, byte_values = png_size_and_colours(path)
    if width != extents.width or height <= extents.height:
        fail("picture %dx%d for a panel of %dx%d" % (width, height, extents.width, extents.height))
    if byte_values < 16:
        fail("the picture is blank")
    print("picture %dx%d of a %dx%d panel with its title above" % (width, height, extents.width, extents.height))


def run_picture(app, record):
    press(need(app, "menu item", "Screenshot to MS-Paint"))
    wait_for("the paint program to be started", lambda: open(record).read().strip() != "", 15)
    check_picture(app, open(record).read().strip())


def run_save(app, name):
    press(need(app, "menu item", "Screenshot to File"))
    dialog = need(pyatspi.Registry.getDesktop(0), "dialog")
    field = None
    for node in walk(dialog):
        if node.getRoleName() == "text" and "EditableText" in pyatspi.listInterfaces(node):
            field = node
    if field is None:
        fail("the save dialog has no file name field")
    field.queryEditableText().setTextContents(name)
    press(need(dialog, "push button", "Save"))
    wait_for("the dialog to close", lambda: find(pyatspi.Registry.getDesktop(0), "dialog") is None, 15)
    saved = name if name.lower().endswith(".png") else name + ".png"
    wait_for("the picture " + saved, lambda: open(saved, "rb").read(8) == b"\x89PNG\r\n\x1a\n", 15)
    check_picture(app, saved)


def check_accessibility(app):
    """What a screen reader needs: the lists labelled by what they choose, the test buttons named
    without trailing blanks and described by what they measure."""
    labels = []
    for combo in [node for node in walk(app) if node.getRoleName() == "combo box"]:
        for relation in combo.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                labels.append(relation.getTarget(0).name)
    if sorted(labels) != ["Drive", "Test length"]:
        fail("the lists are labelled %r" % labels)
    access = need(app, "push button", "Access time")
    if "4 KiB" not in access.description:
        fail("the access time button is described as %r" % access.description)
    # The window is announced as one, and the Donate button is where a screen reader looks.
    window = app.getChildAtIndex(0)
    if window.getRoleName() != "frame" or not window.name.startswith("Korvanel "):
        fail("the window is a %s named %r" % (window.getRoleName(), window.name))
    need(app, "push button", "Donate")


def main():
    scenario, root = sys.argv[1], sys.argv[2]
    argument = sys.argv[3] if len(sys.argv) > 3 else None
    app = application()
    wait_for("the drive list", lambda: not running(app) and find(app, "combo box").name.strip() != "", 30)
    check_accessibility(app)
    choose_drive(app, root)
    if scenario == "single":
        run_single(app)
    elif scenario == "full":
        run_full(app)
    elif scenario == "escape":
        run_escape(app)
        return
    elif scenario == "running":
        start_and_wait_for_a_pass(app)
        return
    elif scenario == "picture":
        run_picture(app, argument)
    elif scenario == "save":
        run_save(app, argument)
    else:
        fail("unknown scenario " + scenario)
    key(app, "Escape")


if __name__ == "__main__":
    main()
