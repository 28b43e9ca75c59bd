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
        if child is not None:
            yield child
            yield from descendants(child)


def named(root, roles):
    """The descendants of root in one of the roles, by name; the first of a name wins."""
    found = {}
    for node in descendants(root):
        if node.getRoleName() in roles:
            found.setdefault(node.name, node)
    return found


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return {}
    return {action.getName(i): i for i in range(action.nActions)}


def press(node):
    node.queryAction().doAction(actions(node)["Press"]) or fail(f"{node.name}: Press was refused")


TOOLS = ["First", "Up", "Down", "Last", "Find", "Copy", "Save", "Clear", "Settings", "Help"]


def tools():
    return {name: node for name, node in named(app, ("push button",)).items() if name in TOOLS}


def rows():
    lists = [n for n in descendants(app) if n.getRoleName() == "list"]
    return [row.name for row in lists[0]] if lists else None


app = wait_for(lambda: next(a for a in pyatspi.Registry.getDesktop(0)
                            if a is not None and a.name == "HELIX Debug Display")) or fail(
    "the display is not on the accessibility bus: "
    + repr([a.name for a in pyatspi.Registry.getDesktop(0) if a]))
wait_for(lambda: rows() == sys.argv[1:]) or fail(f"rows read {rows()}")
found = wait_for(lambda: len(tools()) == len(TOOLS) and tools()) or fail("tools missing")
pressable = [name for name in TOOLS if "Press" in actions(found[name])]
if pressable != ["First", "Up", "Find", "Copy", "Save", "Clear", "Settings", "Help"]:
    fail(f"pressable tools: {pressable}")
if "ShowMenu" not in actions(found["Save"]):
    fail("the Save tool's menu cannot be opened")

# The Session window, open with the display as the settings file asks: its buttons can be
# pressed, its table read, and a button's answer is read from its status line.
session = wait_for(lambda: named(app, ("dialog",))["Session"]) or fail("no Session window")
BUTTONS = ("push button", "check box")
controls = wait_for(lambda: len(named(session, BUTTONS)) == 4 and named(session, BUTTONS)) or fail(
    f"Session window controls: {list(named(session, BUTTONS))}")
for name in ("Slowest", "Next unanswered", "Close"):
    if "Press" not in actions(controls[name]):
        fail(f"{name} cannot be pressed")
actions(controls["Time gutter"]) or fail("the Time gutter check box offers no action")


def cells():
    return [n.name for n in descendants(session) if n.getRoleName() == "table cell"]


# One row, App's: one request, one reply, none unanswered.
wait_for(lambda: cells()[:1] + cells()[2:5] == ["App", "1", "1", "0"]) or fail(
    f"Session table reads {cells()}")
press(controls["Next unanswered"])
wait_for(lambda: "No unanswered request is held." in named(session, ("label",))) or fail(
    "Next unanswered said nothing")

# The face of the Save button opens the save dialog; its Cancel closes it again.
press(found["Save"])
dialog = wait_for(lambda: next(node for name, node in named(app, ("dialog", "file chooser")).items()
                               if name != "Session")) or fail("no save dialog after pressing Save")
press(wait_for(lambda: named(dialog, ("push button",))["Cancel"])
      or fail("the save dialog has no Cancel"))

press(found["Up"])
wait_for(lambda: "Press" in actions(tools()["Down"])) or fail("Up did not move back")
press(found["Clear"])
wait_for(lambda: rows() == []) or fail(f"rows after Clear: {rows()}")
if "Press" in actions(tools()["Copy"]):
    fail("Copy is still pressable with no lines")
print("ok")
