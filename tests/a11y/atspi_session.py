"""The program on the accessibility bus, as the walk drives it: a sandbox home whose settings point at a scripted OpenAI-style server, the
tree walked as Orca sees it, buttons pressed through their actions and keys
typed with xdotool."""

import http.server
import json
import os
import shutil
import subprocess
import tempfile
import threading
import time

import pyatspi

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "a11y")


def load(name):
    with open(os.path.join(DATA, name)) as table:
        return json.load(table)


ANSWERS = load("chat_server.json")


class ChatServer(http.server.BaseHTTPRequestHandler):
    """OpenAI-style, the answers in order: list_directory and an answer, then
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


def poll(look, failure, seconds=30):
    """Asks `look` until it answers, for `seconds` at most."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = look()
        except Exception:
            found = None  # an application that quit while we looked
        if found:
            return found
        time.sleep(0.1)
    raise RuntimeError(failure)


def name_of(node):
    return (node.name or "").strip()


def has_state(node, state):
    try:
        return node.getState().contains(state)
    except Exception:
        return False


# What a button can be on the bus: a plain one, one that stays on (a panel's),
# one of a group of choices, a tab.
BUTTON_ROLES = ("push button", "toggle button", "check box", "radio button", "page tab")


def find(app, roles, name):
    roles = (roles,) if isinstance(roles, str) else roles
    return next((node for node, role, _ in walk(app) if role in roles and name_of(node) == name),
                None)


def wait_for(app, roles, name):
    return poll(lambda: find(app, roles, name), "no %s named %r appeared" % (roles, name))


def focused(app):
    """The node with the keyboard focus, as (role, name); None when none has it.
    The focus scopes above it say they are focused too: the deepest one has it."""
    node = None
    for candidate, _, _ in walk(app):
        if has_state(candidate, pyatspi.STATE_FOCUSED):
            node = candidate
    return (node.getRoleName(), name_of(node)) if node else None


def act(node, wanted):
    action = node.queryAction()
    for index in range(action.nActions):
        if action.getName(index).lower() in wanted:
            action.doAction(index)
            return
    raise RuntimeError("%r cannot %s" % (node.name, wanted[0]))


def press(app, name, roles=BUTTON_ROLES):
    act(wait_for(app, roles, name), ("press", "click", "activate", "toggle"))


class Session:
    """The program started in a sandbox, with its window focused for keys."""

    def __init__(self, app_path):
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), ChatServer)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.home = sandbox_home(self.server.server_address[1])
        environment = dict(os.environ, HOME=self.home,
                           XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                           XDG_RUNTIME_DIR=self.home, QT_QPA_PLATFORM="xcb",
                           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        # The registry up before the window, which announces itself to it as it starts.
        desktop = pyatspi.Registry.getDesktop(0)
        self.process = subprocess.Popen([app_path], env=environment)
        self.app = poll(lambda: next((app for app in desktop
                                      if app and app.get_process_id() == self.process.pid), None),
                        "the window never showed on the accessibility bus")

    def close(self):
        self.process.terminate()
        self.process.wait(10)
        self.server.shutdown()
        shutil.rmtree(self.home, ignore_errors=True)

    def focus_window(self):
        # The program is on the bus before the X server has mapped its window.
        windows = poll(lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid)],
            capture_output=True, text=True).stdout.split(), "the window was never mapped")
        subprocess.run(["xdotool", "windowfocus", "--sync", windows[-1]], check=True)

    def key(self, *names):
        subprocess.run(["xdotool", "key", "--delay", "20", "--"] + list(names), check=True)

    def type_into(self, node, text):
        """Qt Quick's text fields offer no editable-text interface: a user types."""
        act(node, ("setfocus",))
        poll(lambda: has_state(node, pyatspi.STATE_FOCUSED), "the field never took focus")
        self.focus_window()
        subprocess.run(["xdotool", "type", "--delay", "20", "--", text], check=True)
        # Keys are read by the window in their own time: all of them, before anything else.
        poll(lambda: node.queryText().getText(0, -1) == text, "the field never held %r" % text)
