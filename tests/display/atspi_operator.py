"""The display as a screen reader sees it over the accessibility bus: every enabled tool can be
pressed, every row can be read, and pressing does what a click does."""
import sys
import time

import pyatspi


def wait_for(what, seconds=20.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            found = what()
        except Exception:  # the tree changes under us while the window builds
            found = None
        if found:
            return found
        time.sleep(0.1)
    return None


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def descendants(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def display_app():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "HELIX Debug Display":
            return app
    return None


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return {}
    return {action.getName(i): i for i in range(action.nActions)}


def press(node, name="Press"):
    if not node.queryAction().doAction(actions(node)[name]):
        fail(f"{node.name}: {name} was refused")


def tools(app):
    return {n.name: n for n in descendants(app) if n.getRoleName() == "push button"
            and n.name in TOOLS}


def rows(app):
    lists = [n for n in descendants(app) if n.getRoleName() == "list"]
    return [row.name for row in lists[0]] if lists else None


TOOLS = ["First", "Up", "Down", "Last", "Find", "Copy", "Save", "Clear", "Settings", "Help"]
expected_rows = sys.argv[1:]

app = wait_for(display_app) or fail("the display is not on the accessibility bus: " + repr([a.name for a in pyatspi.Registry.getDesktop(0) if a]))
wait_for(lambda: rows(app) == expected_rows) or fail(f"rows read {rows(app)}")
found = wait_for(lambda: len(tools(app)) == len(TOOLS) and tools(app)) or fail("tools missing")

pressable = [name for name in TOOLS if "Press" in actions(found[name])]
if pressable != ["First", "Up", "Find", "Copy", "Save", "Clear", "Settings", "Help"]:
    fail(f"pressable tools: {pressable}")
if "ShowMenu" not in actions(found["Save"]):
    fail("the Save tool's menu cannot be opened")

# The Session window, open with the display as the settings file asks: its buttons can be
# pressed, its table read, and a button's answer is read from its status line.
session = wait_for(lambda: next((n for n in descendants(app)
                                 if n.getRoleName() == "dialog" and n.name == "Session"), None))
session or fail("no Session window")


def session_controls():
    return {n.name: n for n in descendants(session)
            if n.getRoleName() in ("push button", "check box")}


def session_cells():
    return [n.name for n in descendants(session) if n.getRoleName() == "table cell"]


controls = wait_for(lambda: len(session_controls()) == 4 and session_controls())
controls or fail(f"Session window controls: {list(session_controls())}")
for name in ("Slowest", "Next unanswered", "Close"):
    if "Press" not in actions(controls[name]):
        fail(f"{name} cannot be pressed")
if not actions(controls["Time gutter"]):
    fail("the Time gutter check box offers no action")
# One row, App's: one request, one reply, none unanswered.
wait_for(lambda: session_cells()[:1] + session_cells()[2:5] == ["App", "1", "1", "0"]) or fail(
    f"Session table reads {session_cells()}")
press(controls["Next unanswered"])
wait_for(lambda: any(n.name == "No unanswered request is held." for n in descendants(session)
                     if n.getRoleName() == "label")) or fail("Next unanswered said nothing")

# The face of the Save button opens the save dialog; its Cancel closes it again.
press(found["Save"])
dialog = wait_for(lambda: next((n for n in descendants(app)
                                if n.getRoleName() in ("dialog", "file chooser")
                                and n.name != "Session"), None))
dialog or fail("no save dialog after pressing Save")
cancel = wait_for(lambda: next((n for n in descendants(dialog)
                                if n.getRoleName() == "push button" and n.name == "Cancel"),
                               None))
cancel or fail("the save dialog has no Cancel")
press(cancel)

press(found["Up"])
wait_for(lambda: "Press" in actions(tools(app)["Down"])) or fail("Up did not move back")
press(found["Clear"])
wait_for(lambda: rows(app) == []) or fail(f"rows after Clear: {rows(app)}")
if "Press" in actions(tools(app)["Copy"]):
    fail("Copy is still pressable with no lines")
print("ok")
