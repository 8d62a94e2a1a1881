#!/usr/bin/python3
"""What a screen reader finds in Remindo's windows, through AT-SPI.

    atspi_walk.py TITLE ROLE

Walks every window of the application "Remindo" on the screen whose name is
TITLE and whose role is ROLE ("frame", "alert", ...) and prints each control
with its role, name and texts. Every push button must have a name and a
"Press" action, every check box a name, a "Toggle" action and a checkable
state, every spin button a name and a value, every list box, text field and
list a name (a list box's from the label that stands for it). Exits 1 when a control fails or no such window is there.
"""
import sys

import pyatspi

NAMED = {
    pyatspi.ROLE_PUSH_BUTTON: "Press",
    pyatspi.ROLE_CHECK_BOX: "Toggle",
    pyatspi.ROLE_SPIN_BUTTON: None,
    pyatspi.ROLE_COMBO_BOX: None,
    pyatspi.ROLE_TEXT: None,
    pyatspi.ROLE_LIST: None,
}


def actions(node):
    try:
        a = node.queryAction()
    except NotImplementedError:
        return []
    return [a.getName(i) for i in range(a.nActions)]


def value(node):
    try:
        return node.queryValue().currentValue
    except NotImplementedError:
        return None


def label(node):
    """The name a screen reader speaks: the label that stands for the
    control, where one does (a list box's own name is its chosen entry)."""
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets():
            return relation.getTarget(0).name
    return node.name


def walk(node, faults, depth=0):
    role = node.getRole()
    name = label(node)
    line = f"{'  ' * depth}{node.getRoleName()}: {name!r}"
    if node.name != name:
        line += f" = {node.name!r}"
    if node.description:
        line += f" ({node.description!r})"
    if role in NAMED:
        wanted = NAMED[role]
        if not name:
            faults.append(f"{node.getRoleName()} without a name")
        if wanted and wanted not in actions(node):
            faults.append(f"{node.getRoleName()} {name!r} without the action {wanted}")
        if role == pyatspi.ROLE_CHECK_BOX:
            checked = node.getState().contains(pyatspi.STATE_CHECKED)
            line += " [x]" if checked else " [ ]"
        if role == pyatspi.ROLE_SPIN_BUTTON:
            v = value(node)
            if v is None:
                faults.append(f"spin button {name!r} without a value")
            line += f" = {v:g}" if v is not None else ""
    print(line)
    for child in node:
        if child is not None:
            walk(child, faults, depth + 1)


def main():
    title, role = sys.argv[1], sys.argv[2]
    desktop = pyatspi.Registry.getDesktop(0)
    windows = [w for app in desktop if app is not None and app.name == "Remindo"
               for w in app if w is not None and w.name == title and w.getRoleName() == role
               and w.getState().contains(pyatspi.STATE_SHOWING)]
    if not windows:
        print(f"no {role} {title!r} on the screen", file=sys.stderr)
        return 1
    faults = []
    for w in windows:
        walk(w, faults)
    for f in faults:
        print("FAULT:", f, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
