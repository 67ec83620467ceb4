#!/usr/bin/python3
"""Walks the running window's accessibility tree, as a screen reader sees it.

Usage: check_accessibility.py APP

Starts APP (the emberglass program) in a sandbox home, on the X display and the
D-Bus session it is given, with its cloud provider pointed at a small scripted
chat server on localhost. Then, through AT-SPI only (what Orca uses), it goes
through the onboarding, the main window, every inspector panel (pressing the
model list's refresh button) and a chat whose reply calls a tool, and at every
step checks each control, list and list item
on screen: a control without a name fails the check. It prints the tree's
controls at each step and ends with status 1 if any control had no name.
"""

import http.server
import json
import os
import subprocess
import sys
import tempfile
import threading
import time

import pyatspi

# Roles of things a user operates or reads as items: each needs a name.
CONTROL_ROLES = {
    "push button", "toggle button", "check box", "radio button", "combo box", "text",
    "entry", "password text", "list", "list box", "list item", "page tab", "page tab list",
    "menu item", "link", "slider", "spin button", "table", "tree", "alert",
}
WAIT_SECONDS = 30


class ScriptedChatServer(http.server.BaseHTTPRequestHandler):
    """An OpenAI-compatible server: the first reply calls list_directory, the next one answers."""

    calls = 0
    probes = 0  # GET /models, the availability probe and the model list

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
        ScriptedChatServer.probes += 1
        self.reply({"object": "list", "data": [{"id": "check-model", "object": "model"}]})

    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", "0")))
        ScriptedChatServer.calls += 1
        if ScriptedChatServer.calls == 1:
            message = {"role": "assistant", "content": None, "tool_calls": [{
                "id": "call_1", "type": "function",
                "function": {"name": "list_directory", "arguments": json.dumps({"path": "/"})}}]}
        else:
            message = {"role": "assistant", "content": "The root folder holds the usual system folders."}
        self.reply({"id": "r", "object": "chat.completion", "model": "check-model",
                    "choices": [{"index": 0, "message": message, "finish_reason": "stop"}]})


def sandbox_home(port):
    home = tempfile.mkdtemp(prefix="emberglass-a11y-")
    config = os.path.join(home, ".config", "Emberglass")
    os.makedirs(config)
    configs = json.dumps([{"provider": "Grok", "apiKey": "check-key",
                           "baseURL": "http://127.0.0.1:%d/v1" % port, "model": "check-model"}],
                         separators=(",", ":"))
    with open(os.path.join(config, "Emberglass.conf"), "w") as settings:
        settings.write("[General]\n")
        settings.write('emberglass_cloud_configs="%s"\n' % configs.replace('"', '\\"'))
        settings.write("emberglass_active_provider=Grok\n")
    return home


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def walk(node, path=(), depth=0):
    """Every showing node below `node`, with the role names above it."""
    if node is None or depth > 80:
        return
    if depth == 0:
        node.clear_cache()  # nothing here listens for change events
    try:
        role = node.getRoleName()
        if role != "application" and not node.getState().contains(pyatspi.STATE_SHOWING):
            return
    except Exception:
        return  # gone while we looked
    yield node, role, path
    for index in range(node.childCount):
        try:
            child = node.getChildAtIndex(index)
        except Exception:
            continue
        yield from walk(child, path + (role,), depth + 1)


def find(app, role, name, prefix=False):
    for node, node_role, _ in walk(app):
        text = (node.name or "").strip()
        if node_role == role and (text.startswith(name) if prefix else text == name):
            return node
    return None


def poll(look, failure):
    """Asks `look` again and again until it answers, for WAIT_SECONDS at most."""
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        found = look()
        if found:
            return found
        time.sleep(0.2)
    raise RuntimeError(failure)


def wait_for(app, role, name, prefix=False):
    return poll(lambda: find(app, role, name, prefix), "no %s named %r appeared" % (role, name))


def turn_page(app, button, role, name):
    """Presses `button`, waits for the next page's control and for the old page to go."""
    press(app, button)
    node = wait_for(app, role, name)
    poll(lambda: find(app, "push button", button) is None, "%r never went away" % button)
    return node


def do(node, wanted):
    action = node.queryAction()
    for index in range(action.nActions):
        if action.getName(index).lower() in wanted:
            action.doAction(index)
            return True
    return False


def type_into(node, text, pid):
    """Focuses a field through AT-SPI and types into it on the X display.

    Qt Quick's text fields offer no editable-text interface, so the text is
    typed as a user would (xdotool).
    """
    if not do(node, ("setfocus",)):
        raise RuntimeError("%r cannot take the focus" % node.name)
    windows = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                             capture_output=True, text=True).stdout.split()
    subprocess.run(["xdotool", "windowfocus", "--sync", windows[-1]], check=True)
    subprocess.run(["xdotool", "type", "--delay", "20", "--", text], check=True)


def press(app, name, role="push button"):
    if not do(wait_for(app, role, name), ("press", "click", "activate", "toggle")):
        raise RuntimeError("%r cannot be pressed" % name)


def check(app, step, failures):
    """Prints the controls on screen and records those without a name.

    Qt never exposes the name of a password field (it could be the secret), so
    a password field counts as named when a label comes just before it, which
    is what screen readers read out for it.
    """
    print("== %s" % step)
    previous = None
    for node, role, path in walk(app):
        name = (node.name or "").strip()
        labelled = role == "password text" and previous is not None and previous[0] == "label"
        if role in CONTROL_ROLES or role == "password text":
            description = (node.description or "").strip()
            shown = name or (("<label: %s>" % previous[1]) if labelled else "<NO NAME>")
            print("  %-14s %-40.40s %s" % (role, shown, description[:50]))
            if not name and not labelled:
                failures.append("%s: a %s without a name, under %s"
                                % (step, role, " > ".join(path[-4:])))
        previous = (role, name)


def run(app_path):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), ScriptedChatServer)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    home = sandbox_home(server.server_address[1])
    environment = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                       XDG_RUNTIME_DIR=home, QT_QPA_PLATFORM="xcb",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    os.chmod(home, 0o700)
    # The accessibility bus and its registry up before the window, which
    # announces itself to the registry as it starts.
    pyatspi.Registry.getDesktop(0).childCount
    process = subprocess.Popen([app_path], env=environment)
    failures = []
    try:
        app = poll(lambda: application(process.pid),
                   "the window never showed on the accessibility bus")

        wait_for(app, "push button", "GET STARTED")
        turn_page(app, "GET STARTED", "push button", "SKIP FOR NOW")
        check(app, "onboarding: model setup", failures)

        answer = turn_page(app, "NEXT", "text", "Your answer")
        check(app, "onboarding: soul questions", failures)
        questions = ["What gender", "What age", "What should your agent"]
        for text in ("Nova", "female", "20s", "research"):
            type_into(answer, text, process.pid)
            press(app, "Send answer")
            wait_for(app, "list item", "You: " + text)
            if questions:  # the next question comes 0.3 s later
                wait_for(app, "list item", "Emberglass: " + questions.pop(0), prefix=True)
        wait_for(app, "push button", "ENTER EMBERGLASS")
        check(app, "onboarding: preview", failures)

        field = turn_page(app, "ENTER EMBERGLASS", "text", "Message")
        check(app, "main window", failures)
        for panel in ("MOBILE", "MODEL", "PERSONA", "ABOUT"):
            press(app, panel)
            wait_for(app, "heading", panel)  # the panel's own title
            if panel == "PERSONA":
                check(app, "persona panel, soul", failures)
                press(app, "LOGS")
                wait_for(app, "push button", "REFRESH")
            if panel == "MODEL":
                # The model field is a named combo box; its refresh button
                # works through the screen reader's press action.
                wait_for(app, "combo box", "Model")
                probes = ScriptedChatServer.probes
                press(app, "Ask the provider for its models")
                poll(lambda: ScriptedChatServer.probes > probes,
                     "pressing the models' refresh button asked the provider nothing")
            check(app, "%s panel" % panel.lower(), failures)
            press(app, "Close panel")
            poll(lambda: find(app, "heading", panel) is None, "the panel never closed")

        type_into(field, "What is in the root folder?", process.pid)
        press(app, "Send")
        wait_for(app, "list item", "AI: The root folder holds the usual system folders.")
        check(app, "a chat with a tool call", failures)
    except RuntimeError as error:
        # A step could not be taken: a control it looks for by name is missing.
        failures.append("stopped: %s" % error)
    finally:
        process.terminate()
        process.wait(10)
        server.shutdown()

    if failures:
        print("\nControls without a name:")
        for failure in failures:
            print("  " + failure)
        return 1
    print("\nEvery control on screen has a name.")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__)
        sys.exit(2)
    sys.exit(run(os.path.abspath(sys.argv[1])))
