#!/usr/bin/python3
"""Usage: check_accessibility.py APP. Walks APP's AT-SPI tree as Orca would (see
CMakeLists.txt) through the screens of tests/data/a11y/screens.json; exits with 1
when a control, list, list item or scroll bar on screen has no name, when the
focus is not where a screen expects it, when a static text can take the focus
or when a checkable button does not say whether it is on. Prints how many
controls it saw and how many had no name."""

import socket
import sys

import pyatspi

from atspi_session import (BUTTON_ROLES, Session, act, find, focused, has_state, load, name_of,
                           poll, press, wait_for, walk)

# Roles of things a user operates or reads as items: each needs a name.
CONTROL_ROLES = {
    "push button", "toggle button", "check box", "radio button", "combo box", "text",
    "entry", "list", "list box", "list item", "page tab", "page tab list", "scroll bar",
    "menu item", "link", "slider", "spin button", "table", "tree", "alert", "password text",
}

SCREENS = load("screens.json")
PHONE_PORT = 8080


def hold_port():
    """A listening socket on the phone port, as another program would hold it;
    None while something else holds it."""
    holder = socket.socket()
    holder.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)  # as Qt binds
    try:
        holder.bind(("", PHONE_PORT))
        holder.listen()
        return holder
    except OSError:
        holder.close()
        return None
ASK_BEFORE_ACTING = "Ask before the agent runs commands or changes files"
SANDBOX = "Run commands in a sandbox"


class Walk:
    def __init__(self, session):
        self.session = session
        self.app = session.app
        self.failures = []
        self.controls = 0
        self.unnamed = 0

    def fail(self, text):
        self.failures.append(text)

    def check(self, step):
        """Records the controls on screen without a name, and static texts that
        can take the focus."""
        for node, role, path in walk(self.app):
            if role in CONTROL_ROLES:
                self.controls += 1
                if not name_of(node) and not self.named_by_group(node, role):
                    self.unnamed += 1
                    self.fail("%s: a %s without a name, under %s"
                              % (step, role, " > ".join(path[-4:])))
            elif name_of(node) in SCREENS["static"] and has_state(node, pyatspi.STATE_FOCUSABLE):
                self.fail("%s: the static text %r can take the focus" % (step, name_of(node)))

    @staticmethod
    def named_by_group(node, role):
        """Qt 6.4 gives a password field no name whatever the program sets: the
        named group that holds it names it (a screen reader says the group's
        name as the focus enters it)."""
        try:
            return role == "password text" and bool(name_of(node.parent))
        except Exception:
            return False

    def expect_focus(self, step, expected):
        """The focus lands on `expected` ([role, name]) soon."""
        try:
            poll(lambda: focused(self.app) == tuple(expected), "", 10)
        except RuntimeError:
            self.fail("%s: the focus is on %s, not on %s" % (step, focused(self.app), expected))

    def expect_checked(self, step):
        for group in SCREENS["checked"]:
            on = [name for name in group["buttons"]
                  if has_state(find(self.app, BUTTON_ROLES, name) or self.app,
                               pyatspi.STATE_CHECKED)]
            if on != [group["on"]]:
                self.fail("%s: of %s, %s say they are on, not %r"
                          % (step, group["buttons"], on, group["on"]))

    def checked(self, name):
        return has_state(find(self.app, "check box", name), pyatspi.STATE_CHECKED)

    def check_switches(self):
        """The preferences are check boxes (checkable by their role: Qt 6.4 sends
        no separate checkable state) a screen reader can read and toggle."""
        for name, on in ((ASK_BEFORE_ACTING, True), (SANDBOX, False)):
            wait_for(self.app, "check box", name)
            if self.checked(name) != on:
                self.fail("settings panel: %r does not say it is %s" % (name, "on" if on else "off"))
        for wanted in (False, True):
            act(find(self.app, "check box", ASK_BEFORE_ACTING), ("toggle", "press"))
            poll(lambda: self.checked(ASK_BEFORE_ACTING) == wanted,
                 "the asking switch never turned %s" % ("on" if wanted else "off"))

    def onboarding(self):
        self.session.focus_window()  # as a desktop activates a new window
        for page in SCREENS["onboarding"]:
            step = "onboarding: " + page["step"]
            if page["press"]:
                press(self.app, page["press"])
            wait_for(self.app, *page["shows"])
            if page["focus"]:
                self.expect_focus(step, page["focus"])
            self.check(step)

    def start_phone_server(self):
        """With the phone port held by another program the panel says so, read
        out as an alert; once it is free the server starts. Another test run may
        hold the port for a while: both steps wait it out."""
        with poll(hold_port, "port %d stayed in use" % PHONE_PORT, 120):
            press(self.app, "START SERVER")
            wait_for(self.app, "alert", "Cannot listen on port %d (is it in use?)" % PHONE_PORT)
            self.check("mobile panel, port in use")

        def started():
            if find(self.app, BUTTON_ROLES, "START SERVER"):
                press(self.app, "START SERVER")
            return find(self.app, BUTTON_ROLES, "STOP SERVER")
        poll(started, "the phone server never started", 120)
        poll(lambda: find(self.app, "alert", "Cannot listen on port %d (is it in use?)"
                          % PHONE_PORT) is None, "the port's alert stayed after the start")

    def panels(self):
        """Each panel opened and closed from the keyboard (where the focus goes
        is tst_views' to check)."""
        for panel in SCREENS["panels"]:
            step = "%s panel" % panel["title"].lower()
            self.session.key(panel["key"])
            wait_for(self.app, "heading", panel["title"])  # the panel's own title
            if panel["title"] == "MOBILE":  # the address shows while the phone server runs
                self.start_phone_server()
            if panel["title"] == "MODEL":
                self.expect_checked(step)
            if panel["title"] == "SETTINGS":
                self.check_switches()
            if panel["title"] == "PERSONA":
                self.check("persona panel, soul")
                press(self.app, "LOGS")
                wait_for(self.app, BUTTON_ROLES, "REFRESH")
            self.check(step)
            self.session.focus_window()
            self.session.key("Escape")
            poll(lambda: find(self.app, "heading", panel["title"]) is None, "the panel never closed")

    def approve_with(self, field, answer, result):
        """Sends a message whose reply runs a command: the card is announced and
        named, its first button has the focus, and `answer` (a key) ends its wait."""
        self.session.type_into(field, "Run it")
        self.session.key("Return")
        card = wait_for(self.app, "alert", "Approval needed: run_command")
        allow = poll(lambda: next((node for node, role, _ in walk(card)
                                   if role == "push button" and node.name == "Allow"), None),
                     "the card has no Allow button")
        poll(lambda: has_state(allow, pyatspi.STATE_FOCUSED), "the card did not take the focus")
        self.check("the approval card")
        self.session.key(answer)
        poll(lambda: find(self.app, "alert", "Approval needed: run_command") is None,
             "the card stayed")
        wait_for(self.app, "list item", "Result of run_command: " + result)

    def run(self):
        self.onboarding()
        press(self.app, "ENTER EMBERGLASS")
        field = wait_for(self.app, "text", "Message")
        self.expect_focus("main window", ["text", "Message"])
        # The onboarding fades out over the main window and its controls go
        # while they are looked at: the main window alone is the screen to check.
        poll(lambda: find(self.app, BUTTON_ROLES, "ENTER EMBERGLASS") is None,
             "the onboarding stayed after it was left")
        self.check("main window")
        self.session.focus_window()
        self.panels()

        self.session.type_into(field, "What is in the root folder?")
        self.session.key("Return")
        wait_for(self.app, "list item", "AI: The root folder holds the usual system folders.")
        self.check("a chat with a tool call")
        self.approve_with(field, "Return", "succeeded")


def main(app_path):
    session = Session(app_path)
    walker = Walk(session)
    try:
        walker.run()
    except RuntimeError as error:
        walker.fail("stopped: %s" % error)  # a control looked for by name is missing
    finally:
        session.close()
    for failure in walker.failures:
        print("FAIL " + failure)
    print("controls seen: %d, without a name: %d" % (walker.controls, walker.unnamed))
    return 1 if walker.failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
