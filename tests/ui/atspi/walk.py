"""One whole copy driven over the accessibility bus, as a screen reader or a script would: the
source and two destinations picked in the tree, a section ticked, its rows chosen and reordered,
Copy, the run's message answered, the drawing saved from the File menu and the program left.
Every step looks only at what the bus shows: roles, names, states and actions."""
import sys
import time

import pyatspi

TIMEOUT = 30.0


class WalkError(Exception):
    pass


def wait_for(what, find, timeout=TIMEOUT):
    end = time.time() + timeout
    while time.time() < end:
        try:
            found = find()
        except Exception:  # an object went away while it was looked at: look again
            found = None
        if found:
            return found
        time.sleep(0.2)
    raise WalkError("gave up waiting for " + what)


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def descendants(node, depth=0):
    for child in children(node):
        if child is None:
            continue
        yield child
        if depth < 14:
            yield from descendants(child, depth + 1)


def find(root, role, name, exact=True):
    for node in descendants(root):
        if node.getRoleName() == role and (node.name == name if exact else name in node.name):
            return node
    return None


def need(root, role, name, exact=True):
    return wait_for(f"{role} '{name}'", lambda: find(root, role, name, exact))


def act(node, *names):
    actions = node.queryAction()
    offered = [actions.getName(i) for i in range(actions.nActions)]
    for name in names:
        if name in offered:
            actions.doAction(offered.index(name))
            return
    raise WalkError(f"'{node.name}' offers {offered}, not {names}")


def has(node, state):
    return node.getState().contains(state)


def expect(condition, what):
    """Waits until condition (a function) holds: the program answers an action in its own time
    (a button pressed over the bus clicks a moment later)."""
    wait_for(what, condition)
    print("ok:", what)


def item(parent, name):
    """A tree item below parent by its name, parent opened first if need be."""
    if has(parent, pyatspi.STATE_EXPANDABLE) and not has(parent, pyatspi.STATE_EXPANDED):
        act(parent, "Expand")
    return wait_for(name, lambda: next((c for c in children(parent) if c.name == name), None))


def press_tab(frame, name):
    tab = need(frame, "page tab", name)
    act(tab, "Press")
    wait_for(name + " selected", lambda: has(tab, pyatspi.STATE_SELECTED))


def answer(app, main, text, button):
    """Answers the window of the program that shows text, other than the main one."""
    def window():
        for top in children(app):
            if top is None or top == main:
                continue
            labels = [n.name for n in descendants(top) if n.getRoleName() == "label"]
            if any(text in label for label in labels) or text in top.name:
                return top
        return None
    shown = wait_for("a window saying " + text, window)
    act(need(shown, "push button", button), "Press")
    print("ok: answered", repr(text), "with", button)


def walk(app):
    main = wait_for("the main window", lambda: next(
        (w for w in children(app) if w and w.name.endswith("— Tessaline")), None))
    expect(lambda: main.name == "test6_shape_properties.vsdx — Tessaline", "the title names the drawing")
    extents = main.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    expect(lambda: extents.height >= 700, f"the window is {extents.height} pixels high on 1280x1024")

    # The tree in the whole application: its levels are the items' nesting.
    act(need(main, "radio button", "Application"), "Press", "Toggle")
    tree = need(main, "tree", "Shapes")
    application = wait_for("Application", lambda: next(
        (c for c in children(tree) if c.name == "Application"), None))
    drawing = item(application, "test6_shape_properties.vsdx")
    pages = item(drawing, "Pages")
    page1 = item(pages, "Page-1")
    expect(lambda: has(page1, pyatspi.STATE_COLLAPSED), "a page not yet opened says it is collapsed")
    source = item(page1, "Sheet.1")
    expect(lambda: has(page1, pyatspi.STATE_EXPANDED), "an opened page says it is expanded")
    act(source, "Toggle")
    expect(lambda: has(source, pyatspi.STATE_SELECTED) and not has(source, pyatspi.STATE_CHECKED), "Toggle selects the tree item it is done on")
    act(need(main, "push button", "Source"), "Press")
    source_list = need(main, "tree", "Source Shape")
    wait_for("the source listed", lambda: source_list.childCount == 1)

    # Two destinations at once: Toggle adds each to the selection.
    act(source, "Toggle")
    expect(lambda: not has(source, pyatspi.STATE_SELECTED), "Toggle again takes it out of the selection")
    act(item(page1, "Sheet.5"), "Toggle")
    act(item(item(pages, "Page-2"), "Sheet.4"), "Toggle")
    act(need(main, "push button", "Destination"), "Press")
    destinations = need(main, "tree", "Destination(s)")
    wait_for("two destinations", lambda: destinations.childCount == 2)
    expect(lambda: [c.name for c in children(destinations)] == [
        "Application\\test6_shape_properties.vsdx\\Page-1\\Sheet.5",
        "Application\\test6_shape_properties.vsdx\\Page-2\\Sheet.4"], "both destinations listed")

    press_tab(main, "Sections")
    box = need(main, "check box", "Custom Properties")
    act(box, "Toggle", "Press")
    expect(lambda: has(box, pyatspi.STATE_CHECKED), "Custom Properties ticked")

    # The Rows tab: the one section shown at once; Toggle on a row changes its tick.
    press_tab(main, "Rows")
    combo = need(main, "combo box", "Section of the rows to copy", exact=False)
    expect(lambda: combo.name == "Section of the rows to copy: Custom Properties",
           "the drop-down names itself and its choice")
    rows = need(main, "list", "Rows")
    first = wait_for("the rows", lambda: next(
        (c for c in children(rows) if c.name == "Prop.my_property_name"), None))
    expect(lambda: has(first, pyatspi.STATE_CHECKED), "every row ticked at first")
    act(first, "Toggle")
    expect(lambda: not has(first, pyatspi.STATE_CHECKED), "Toggle unticks the row")
    act(first, "Toggle")
    expect(lambda: has(first, pyatspi.STATE_CHECKED), "Toggle ticks it again")

    # The Row Order tab: the first row moved down.
    press_tab(main, "Row Order")
    new_order = need(main, "list", "New order")
    top = wait_for("the new order", lambda: next(
        (c for c in children(new_order) if c.name == "Prop.my_property_name"), None))
    down = need(main, "push button", "Move Down")
    expect(lambda: not has(down, pyatspi.STATE_ENABLED), "Move Down waits for a row")
    act(top, "Toggle")
    expect(lambda: has(down, pyatspi.STATE_ENABLED), "Move Down enabled for the first row")
    act(down, "Press")
    expect(lambda: [c.name for c in children(new_order)] ==
           ["Prop.my_second_property_name", "Prop.my_property_name"], "the rows reordered")

    press_tab(main, "Options")
    overwrite = need(main, "radio button", "Overwrite Destination")
    act(overwrite, "Press", "Toggle")
    expect(lambda: has(overwrite, pyatspi.STATE_CHECKED), "Overwrite Destination chosen")
    leave = need(main, "check box", "Leave Tessaline running after copy operation is finished")
    if not has(leave, pyatspi.STATE_CHECKED):
        act(leave, "Toggle", "Press")
    expect(lambda: has(leave, pyatspi.STATE_CHECKED), "Tessaline stays after the copy")

    act(need(main, "push button", "Copy"), "Press")
    answer(app, main, "Clone Complete.", "OK")
    wait_for("the changed mark", lambda: main.name == "test6_shape_properties.vsdx* — Tessaline")
    print("ok: the title marks the change")

    # File > Save, then File > Exit, from the menu bar.
    menu_bar = need(main, "menu bar", "")
    act(need(menu_bar, "menu item", "File"), "ShowMenu", "Press")
    act(need(menu_bar, "menu item", "Save"), "Press", "Toggle")
    wait_for("the title without the mark",
             lambda: main.name == "test6_shape_properties.vsdx — Tessaline")
    print("ok: saved")
    act(need(menu_bar, "menu item", "File"), "ShowMenu", "Press")
    act(need(menu_bar, "menu item", "Exit"), "Press", "Toggle")


def main():
    app = wait_for("the program on the bus", lambda: next(
        (a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "tessaline"),
        None))
    try:
        walk(app)
    except WalkError as error:
        print("walk failed:", error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
