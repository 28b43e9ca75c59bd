"""The display as a screen reader sees it over the accessibility bus: every enabled tool can be
pressed, every row can be read, and pressing does what a click does."""
import subprocess
import sys
import time

import pyatspi


def wait_for(what, seconds=20.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            if found := what():
                return found
        except Exception:  # the tree changes under us while the window builds
            pass
        time.sleep(0.1)


def fail(message):
    sys.exit("FAIL: " + message)


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def named(root, roles):
    """The descendants of root in one of the roles, by name; the first of a name wins."""
    return {n.name: n for n in reversed(list(descendants(root))) if n.getRoleName() in roles}


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


def rows(what="name"):
    """The display's rows as a screen reader reads them: their names or their descriptions."""
    lists = [n for n in descendants(app) if n.getRoleName() == "list"]
    return [getattr(row, what) for row in lists[0]] if lists else None


def cells(table):
    node = named(session, ("table",)).get(table)
    return [n.name for n in descendants(node) if n.getRoleName() == "table cell"] if node else []


desktop = pyatspi.Registry.getDesktop(0)
app = wait_for(lambda: next(a for a in desktop if a and a.name == "HELIX Debug Display")) or fail(
    f"the display is not on the accessibility bus: {[a.name for a in desktop if a]}")
wait_for(lambda: rows() == sys.argv[1:]) or fail(f"rows read {rows()}")
found = wait_for(lambda: len(tools()) == len(TOOLS) and tools()) or fail("tools missing")
pressable = [name for name in TOOLS if "Press" in actions(found[name])]
pressable == [n for n in TOOLS if n not in ("Down", "Last")] or fail(f"pressable: {pressable}")
"ShowMenu" in actions(found["Save"]) or fail("the Save tool's menu cannot be opened")

# The Session window the settings file opens: its buttons press, its tables and status line read.
session = wait_for(lambda: named(app, ("dialog",))["Session"]) or fail("no Session window")
BUTTONS = ("push button", "check box")
controls = wait_for(lambda: len(named(session, BUTTONS)) == 4 and named(session, BUTTONS)) or fail(
    f"Session window controls: {list(named(session, BUTTONS))}")
for name in ("Slowest", "Next unanswered", "Close"):
    "Press" in actions(controls[name]) or fail(f"{name} cannot be pressed")
actions(controls["Time gutter"]) or fail("the Time gutter check box offers no action")
wait_for(lambda: cells("Clients")[:1] + cells("Clients")[2:5] == ["App", "1", "1", "0"]) or fail(
    f"not one row, App's, of one request, one reply, none unanswered: {cells('Clients')}")
wait_for(lambda: cells("Requests")[:4] == ["App", "Lookup", "1", "0"]) or fail(
    f"not one request row, App's Lookup, answered: {cells('Requests')}")
press(controls["Next unanswered"])
wait_for(lambda: "No unanswered request is held." in named(session, ("label",))) or fail("no reply")

# The face of the Save button opens the save dialog; its Cancel closes it again.
press(found["Save"])
dialog = wait_for(lambda: next(node for name, node in named(app, ("dialog", "file chooser")).items()
                               if name != "Session")) or fail("no save dialog after pressing Save")
press(wait_for(lambda: named(dialog, ("push button",))["Cancel"])
      or fail("the save dialog has no Cancel"))

# The View bar the settings file shows: its tools press, its fields take text and narrow the rows.
view = wait_for(lambda: named(app, ("tool bar",))["View"]) or fail("no View bar")
VIEW_TOOLS = ("push button", "toggle button", "button with menu", "check box")
bar = wait_for(lambda: len(named(view, VIEW_TOOLS)) >= 4 and named(view, VIEW_TOOLS)) or fail(
    f"View bar tools: {list(named(view, VIEW_TOOLS))}")
for name in ("Follow", "Errors", "Unanswered", "Clients", "Marks", "Highlights…"):
    name in bar and actions(bar[name]) or fail(f"{name} cannot be pressed: {list(bar)}")
fields = named(view, ("text",))
set(fields) >= {"Filter", "Exclude"} or fail(f"View bar fields: {list(fields)}")
shown = rows()
fields["Filter"].queryEditableText().setTextContents("no such text")
wait_for(lambda: rows() == []) or fail(f"rows under a filter nothing matches: {rows()}")
fields["Filter"].queryEditableText().setTextContents("")
wait_for(lambda: rows() == shown) or fail(f"rows with the filter emptied: {rows()}")

# The Highlights dialog: its rules, fields and buttons are all there for a screen reader.
press(bar["Highlights…"])
dialog = wait_for(lambda: named(app, ("dialog",))["Highlights"]) or fail("no Highlights dialog")
parts = named(dialog, ("push button", "text", "combo box", "check box", "list", "label"))
# A combo box reads as its value, after the label that names it.
missing = {"Add", "Remove", "Move up", "Move down", "OK", "Cancel", "Text", "Match case",
           "Colour:", "Green", "Paints:", "the line", "Rules"} - set(parts)
missing and fail(f"the Highlights dialog lacks {missing}")
[item.name for item in parts["Rules"]] == ["NAME="] or fail("the rules do not read")
press(parts["Cancel"])

# A highlighted row says its rule; Ctrl+F2 marks the focused row, which then says so too.
rows("description") == ["", "", "", "NAME=", ""] or fail(
    f"row descriptions: {rows('description')}")
# The operator's keyboard goes to the display's window; there is no window manager to give it.
subprocess.run(["xdotool", "search", "--name", "^HELIX Debug Display$", "windowfocus", "--sync"],
               check=True)
lists = [n for n in descendants(app) if n.getRoleName() == "list"]
lists[0].queryComponent().grabFocus()
focused = wait_for(lambda: next(i + 1 for i, row in enumerate(lists[0])
                                if row.getState().contains(pyatspi.STATE_FOCUSED)))
focused or fail("no row has the focus")
focused -= 1
pyatspi.Registry.generateKeyboardEvent(37, None, pyatspi.KEY_PRESS)  # Control_L
pyatspi.Registry.generateKeyboardEvent(68, None, pyatspi.KEY_PRESSRELEASE)  # F2
pyatspi.Registry.generateKeyboardEvent(37, None, pyatspi.KEY_RELEASE)
wait_for(lambda: rows("description")[focused].startswith("marked")) or fail(
    f"Ctrl+F2 marked nothing: {rows('description')}")

press(found["Up"])
wait_for(lambda: "Press" in actions(tools()["Down"])) or fail("Up did not move back")
press(found["Clear"])
wait_for(lambda: rows() == []) or fail(f"rows after Clear: {rows()}")
"Press" in actions(tools()["Copy"]) and fail("Copy is still pressable with no lines")
print("ok")
