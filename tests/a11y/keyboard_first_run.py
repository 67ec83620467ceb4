#!/usr/bin/python3
"""Usage: keyboard_first_run.py APP. The first run from the keyboard alone, as
a user who cannot use a mouse goes through it: from the launch through the
onboarding (the provider already set up, as after an earlier install) to the
first answer of a chat whose reply calls a tool. A button is reached with Tab
(at most 40 presses) and pressed with Space; the answers and the question are
typed. Prints the time it took and the keys pressed; exits with 1 when the
answer never comes."""

import sys
import time

from atspi_session import Session, find, focused, poll, wait_for

ANSWERS = ["Nova", "female", "20s", "research"]


def tab_to(session, role, name):
    """Tab until `name` has the focus; the window may already have put it there."""
    for _ in range(40):
        try:
            poll(lambda: focused(session.app) == (role, name), "", 0.6)
            return
        except RuntimeError:
            session.key("Tab")
    raise RuntimeError("Tab never reached %s %r" % (role, name))


def run(session):
    wait_for(session.app, "push button", "GET STARTED")
    session.focus_window()
    tab_to(session, "push button", "GET STARTED")
    session.key("space")
    wait_for(session.app, "push button", "NEXT")
    tab_to(session, "push button", "NEXT")
    session.key("space")
    wait_for(session.app, "text", "Your answer")
    tab_to(session, "text", "Your answer")
    for number, answer in enumerate(ANSWERS):
        session.type(answer)
        session.key("Return")
        # The answer, then the next question (the last answer has none).
        rows = min(3 + 2 * number, 8)
        poll(lambda: find(session.app, "list", "Questions and answers").childCount >= rows,
             "the questionnaire never went on after %r" % answer)
    wait_for(session.app, "push button", "ENTER EMBERGLASS")
    tab_to(session, "push button", "ENTER EMBERGLASS")
    session.key("space")
    wait_for(session.app, "text", "Message")
    tab_to(session, "text", "Message")
    session.type("What is in the root folder?")
    session.key("Return")
    wait_for(session.app, "list item", "AI: The root folder holds the usual system folders.")


def main(app_path):
    session = Session(app_path)
    try:
        run(session)
        print("keyboard-only first run: %.1f s, %d keys"
              % (time.monotonic() - session.started, session.keys))
        return 0
    except RuntimeError as error:
        print("FAIL %s" % error)
        return 1
    finally:
        session.close()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
