"""Reads the window's line definition list over AT-SPI as a screen reader would: its name, the
item it shows, and the popup list's selected item; then its name again in Chinese.
Usage: atspi_lists.py PROGRAM_PID (the window program already started on the bus)."""
import sys
import time

import pyatspi

DEADLINE_SECONDS = 90
PID = int(sys.argv[1])


def running(pid):
    """False once the program has ended (a sanitizer stopped it), though not yet reaped."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def wait_for(what, find):
    deadline = time.monotonic() + DEADLINE_SECONDS
    while time.monotonic() < deadline:
        if not running(PID):
            sys.exit(f"the program ended before its {what} was found")
        try:
            found = find()
        except Exception:  # the program's tree is still being built
            found = None
        if found is not None:
            return found
        time.sleep(0.1)
    sys.exit(f"no {what} within {DEADLINE_SECONDS} s")


def program(pid):
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.get_process_id() == pid:
            return application
    return None


def descendant(root, role, name):
    """The first object of the role and name, not looking into lists."""
    for child in root:
        if child is None:
            continue
        if child.getRole() == role and child.name == name:
            return child
        if child.getRole() != pyatspi.ROLE_COMBO_BOX:
            found = descendant(child, role, name)
            if found is not None:
                return found
    return None


def check(what, got, expected):
    print(f"{what}: {got}")
    if got != expected:
        sys.exit(f"{what} is {got!r}, not {expected!r}")


def read_list(application, name, shown):
    combo = wait_for(f"list named {name!r}",
                     lambda: descendant(application, pyatspi.ROLE_COMBO_BOX, name))
    print(f"{combo.getRoleName()}: {combo.name}")
    text = combo.queryText()
    check("current item", text.getText(0, text.characterCount), shown)
    popup = combo[0]
    items = [item.name for item in popup]
    selected = [item.name for item in popup if item.getState().contains(pyatspi.STATE_SELECTED)]
    print(f"items: {len(items)}, {items[0]} ... {items[-1]}")
    check("selected item", selected, [shown])
    check("selected row", list(popup.queryTable().getSelectedRows()), [items.index(shown)])


def main():
    application = wait_for("window on the accessibility bus", lambda: program(PID))
    read_list(application, "Line definition", "38400,e,8,1")
    # The language button, pressed as a screen reader's user would.
    button = wait_for("Simplified Chinese button",
                      lambda: descendant(application, pyatspi.ROLE_PUSH_BUTTON, "简体中文"))
    button.queryAction().doAction(0)
    read_list(application, "通讯设定", "38400,e,8,1")


main()
