#!/usr/bin/python3
"""Usage: check_accessibility.py APP. Walks APP's AT-SPI tree as Orca would (see
CMakeLists.txt); exits with 1 when a control, list or list item on screen has no name."""

import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

import pyatspi

# Roles of things a user operates or reads as items: each needs a name.
CONTROL_ROLES = {
    "push button", "toggle button", "check box", "radio button", "combo box", "text",
    "entry", "list", "list box", "list item", "page tab", "page tab list",
    "menu item", "link", "slider", "spin button", "table", "tree", "alert", "password text",
}


with open(os.path.join(os.path.dirname(os.path.abspath(__file__)),
                       "..", "data", "a11y", "chat_server.json")) as answers:
    ANSWERS = json.load(answers)


ASK_BEFORE_ACTING = "Ask before the agent runs commands or changes files"
SANDBOX = "Run commands in a sandbox"


class ChatServer(http.server.BaseHTTPRequestHandler):
    """OpenAI-style, the answers in order: list_directory and an answer, then twice
    run_command (which waits for approval) and an answer."""

    calls = 0

    def log_message(self, *args):
        pass

    def reply(self, body):
        data = json.dumps(body).encode()
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        self.reply(ANSWERS["models"])

    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", "0")))
        ChatServer.calls += 1
        completions = ANSWERS["completions"]
        self.reply(completions[min(ChatServer.calls, len(completions)) - 1])


def sandbox_home(port):
    home = tempfile.mkdtemp(prefix="emberglass-a11y-")
    os.makedirs(os.path.join(home, ".config", "Emberglass"))
    configs = json.dumps([{"provider": "Grok", "apiKey": "check-key", "model": "check-model",
                           "baseURL": "http://127.0.0.1:%d/v1" % port}], separators=(",", ":"))
    with open(os.path.join(home, ".config", "Emberglass", "Emberglass.conf"), "w") as settings:
        settings.write('[General]\nemberglass_cloud_configs="%s"\nemberglass_active_provider=Grok\n'
                       % configs.replace('"', '\\"'))
    return home


def walk(node, path=(), depth=0):
    """Every showing node below `node`, with the role names above it."""
    try:
        if depth == 0:
            node.clear_cache()  # nothing here listens for change events
        role = node.getRoleName()
        if role != "application" and not node.getState().contains(pyatspi.STATE_SHOWING):
            return
        children = [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:
        return  # gone while we looked
    yield node, role, path
    for child in children:
        yield from walk(child, path + (role,), depth + 1)


def poll(look, failure):
    """Asks `look` until it answers, for 30 s at most."""
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        try:
            found = look()
        except Exception:
            found = None  # an application that quit while we looked
        if found:
            return found
        time.sleep(0.2)
    raise RuntimeError(failure)


def find(app, role, name):
    return next((node for node, node_role, _ in walk(app)
                 if node_role == role and (node.name or "").strip() == name), None)


def wait_for(app, role, name):
    return poll(lambda: find(app, role, name), "no %s named %r appeared" % (role, name))


def act(node, wanted):
    action = node.queryAction()
    for index in range(action.nActions):
        if action.getName(index).lower() in wanted:
            action.doAction(index)
            return
    raise RuntimeError("%r cannot %s" % (node.name, wanted[0]))


def press(app, name, role="push button"):
    act(wait_for(app, role, name), ("press", "click", "activate", "toggle"))


def type_into(node, text, pid):
    """Qt Quick's text fields offer no editable-text interface: a user types (xdotool)."""
    act(node, ("setfocus",))
    windows = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                             capture_output=True, text=True).stdout.split()
    subprocess.run(["xdotool", "windowfocus", "--sync", windows[-1]], check=True)
    subprocess.run(["xdotool", "type", "--delay", "20", "--", text], check=True)


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)


def approve_with(app, field, pid, answer, result, failures):
    """Sends a message whose reply runs a command: the card is announced and named,
    its first button has the focus, and `answer` (a key) ends its wait."""
    type_into(field, "Run it", pid)
    press(app, "Send")
    card = wait_for(app, "alert", "Approval needed: run_command")
    allow = poll(lambda: next((node for node, role, _ in walk(card)
                               if role == "push button" and node.name == "Allow"), None),
                 "the card has no Allow button")
    poll(lambda: allow.getState().contains(pyatspi.STATE_FOCUSED), "the card did not take the focus")
    check(app, "the approval card", failures)
    key(answer)
    poll(lambda: find(app, "alert", "Approval needed: run_command") is None, "the card stayed")
    wait_for(app, "list item", "Result of run_command: " + result)


def check(app, step, failures):
    """Records the controls on screen without a name. Qt never exposes a password
    field's name: the label before it, read out for it, names it."""
    previous = ""
    for node, role, path in walk(app):
        labelled = role == "password text" and previous == "label"
        if role in CONTROL_ROLES and not (node.name or "").strip() and not labelled:
            failures.append("%s: a %s without a name, under %s" % (step, role, " > ".join(path[-4:])))
        previous = role


def checked(app, name):
    return find(app, "check box", name).getState().contains(pyatspi.STATE_CHECKED)


def check_switches(app, failures):
    """The preferences are check boxes (checkable by their role: Qt 6.4 sends no
    separate checkable state) a screen reader can read and toggle."""
    for name, on in ((ASK_BEFORE_ACTING, True), (SANDBOX, False)):
        wait_for(app, "check box", name)
        if checked(app, name) != on:
            failures.append("settings panel: %r does not say it is %s" % (name, "on" if on else "off"))
    for wanted in (False, True):
        act(find(app, "check box", ASK_BEFORE_ACTING), ("toggle", "press"))
        poll(lambda: checked(app, ASK_BEFORE_ACTING) == wanted,
             "the asking switch never turned %s" % ("on" if wanted else "off"))


def run(app_path):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), ChatServer)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    home = sandbox_home(server.server_address[1])
    environment = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                       XDG_RUNTIME_DIR=home, QT_QPA_PLATFORM="xcb",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    # The registry up before the window, which announces itself to it as it starts.
    desktop = pyatspi.Registry.getDesktop(0)
    process = subprocess.Popen([app_path], env=environment)
    failures = []
    try:
        app = poll(lambda: next((app for app in desktop
                                 if app and app.get_process_id() == process.pid), None),
                   "the window never showed on the accessibility bus")
        # Each onboarding page: the button that opens it, a control it shows, its name.
        for button, role, name, step in (
                ("GET STARTED", "push button", "SKIP FOR NOW", "model setup"),
                ("NEXT", "text", "Your answer", "soul questions"),
                ("Or paste a soul from Tidewick", "push button", "BACK", "pasted soul")):
            press(app, button)
            wait_for(app, role, name)
            check(app, "onboarding: " + step, failures)

        press(app, "ENTER EMBERGLASS")
        field = wait_for(app, "text", "Message")
        check(app, "main window", failures)
        for panel in ("MOBILE", "MODEL", "PERSONA", "SETTINGS", "ABOUT"):
            press(app, panel)
            wait_for(app, "heading", panel)  # the panel's own title
            if panel == "MOBILE":  # the address shows while the phone server runs
                press(app, "START SERVER")
                wait_for(app, "push button", "STOP SERVER")
            if panel == "SETTINGS":
                check_switches(app, failures)
            if panel == "PERSONA":
                check(app, "persona panel, soul", failures)
                press(app, "LOGS")
                wait_for(app, "push button", "REFRESH")
            check(app, "%s panel" % panel.lower(), failures)
            press(app, "Close panel")
            poll(lambda: find(app, "heading", panel) is None, "the panel never closed")

        type_into(field, "What is in the root folder?", process.pid)
        press(app, "Send")
        wait_for(app, "list item", "AI: The root folder holds the usual system folders.")
        check(app, "a chat with a tool call", failures)
        approve_with(app, field, process.pid, "Escape", "failed", failures)
        approve_with(app, field, process.pid, "Return", "succeeded", failures)
    except RuntimeError as error:
        failures.append("stopped: %s" % error)  # a control looked for by name is missing
    finally:
        process.terminate()
        process.wait(10)
        server.shutdown()
        shutil.rmtree(home, ignore_errors=True)

    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(run(os.path.abspath(sys.argv[1])))
