#!/usr/bin/python3
"""Lists what a screen reader finds in the main window and the calculator: every edit box,
check box, list, button and table with its role and name, and the lines of the paper tape.
Names that are empty or used twice in a window are marked, and the exit code is 1 then.

Needs python3-pyatspi, at-spi2-core, dbus and xvfb. Run from the source folder:

  dbus-run-session -- xvfb-run -a /usr/bin/python3 scripts/screenreader_names.py build/schotterfix
"""

import os
import subprocess
import sys
import tempfile
import time

import pyatspi

ROLES = {
    pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_PUSH_BUTTON,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_TABLE, pyatspi.ROLE_LIST,
    pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_SLIDER,
}
# Item views expose their cells as children; those are read separately.
VIEWS = {pyatspi.ROLE_TABLE, pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_TREE_TABLE}


def find_app(name, timeout=30):
    end = time.time() + timeout
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and name in (app.name or "").lower():
                return app
        time.sleep(0.5)
    sys.exit("no application '%s' on the accessibility bus" % name)


def controls(node, found):
    try:
        role = node.getRole()
    except Exception:
        return found
    if not node.getState().contains(pyatspi.STATE_SHOWING):
        return found
    if role in ROLES:
        found.append(node)
    if role not in VIEWS:
        for child in node:
            if child is not None:
                controls(child, found)
    return found


def window(app, title, timeout=30):
    end = time.time() + timeout
    while time.time() < end:
        for w in app:
            if w is not None and (w.name or "").startswith(title):
                return w
        time.sleep(0.5)
    sys.exit("no window '%s'" % title)


def spoken_name(node):
    """A drop-down list is named by the label linked to it, as a screen reader does."""
    if node.getRole() == pyatspi.ROLE_COMBO_BOX:
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                return relation.getTarget(0).name
    return node.name


def report(win):
    found = controls(win, [])
    names = [spoken_name(c) for c in found]
    bad = 0
    print("== %s: %d controls" % (win.name, len(found)))
    for c, name in zip(found, names):
        mark = ""
        if not name.strip() or names.count(name) > 1:
            mark = "   <-- unnamed or shared"
            bad += 1
        print("  %-12s %s%s" % (c.getRoleName(), name, mark))
    return found, bad


def main():
    program = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/schotterfix")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    with tempfile.TemporaryDirectory() as home:  # no settings file of the user's is touched
        env.update(XDG_CONFIG_HOME=home, XDG_DATA_HOME=home)
        app_process = subprocess.Popen([program], env=env)
        presser = None
        try:
            app = find_app("schotterfix")
            main_found, bad = report(window(app, "Kuppli"))
            # The calculator is modal: its button is pressed from a second process, whose call
            # returns only when the calculator closes.
            button = [c for c in main_found if c.name == "Rechner mit Ergebnisübernahme"]
            if not button:
                sys.exit("no calculator button")
            presser = subprocess.Popen([sys.executable, "-c", PRESS], env=env)
            calculator = window(app, "Rechner")
            calc_found, calc_bad = report(calculator)
            bad += calc_bad
            for tape in (c for c in calc_found if c.getRoleName() in ("list", "list box")):
                print("  tape '%s': %d lines: %s" % (
                    tape.name, tape.childCount, [line.name for line in tape]))
        finally:
            if presser:
                presser.kill()
            app_process.kill()
            app_process.wait()
    return 1 if bad else 0


PRESS = """
import pyatspi
for app in pyatspi.Registry.getDesktop(0):
    if app is not None and 'schotterfix' in (app.name or '').lower():
        hit = pyatspi.findDescendant(app, lambda n: n.name == 'Rechner mit Ergebnisübernahme')
        hit.queryAction().doAction(0)
"""

if __name__ == "__main__":
    sys.exit(main())
