#!/usr/bin/env python3
"""Start-up and memory of the kiosk against other kiosk browsers on the same page.

For each browser: the time from starting it to the demo page's load event (reported by the page to
a local server), and the proportional set size (PSS) of the browser's whole process tree two
seconds after that. Run under a display, e.g.:
    xvfb-run -a -s "-screen 0 1280x800x24" python3 bench/kiosk_bench.py --runs 5
"""
import argparse
import http.server
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BIN = os.path.join(ROOT, "build", "linux", "bin")
PAGES = os.path.join(ROOT, "examples", "demo")
BEACON = b"<script>addEventListener('load', () => fetch('/loaded'));</script>"


class Server(http.server.ThreadingHTTPServer):
    loaded = threading.Event()


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=PAGES, **kwargs)

    def do_GET(self):
        if self.path == "/loaded":
            self.server.loaded.set()
            self.send_response(204)
            self.end_headers()
            return
        if self.path in ("/", "/index.html"):
            with open(os.path.join(PAGES, "index.html"), "rb") as f:
                body = f.read().replace(b"</body>", BEACON + b"</body>")
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        super().do_GET()

    def log_message(self, *args):
        pass


def tree(pid):
    """The pid and all of its descendants."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(ppid, []).append(int(entry))
            except (OSError, ValueError, IndexError):
                pass
    found, todo = [], [pid]
    while todo:
        p = todo.pop()
        found.append(p)
        todo.extend(children.get(p, []))
    return found


def pss_kib(pids):
    total = 0
    for p in pids:
        try:
            with open(f"/proc/{p}/smaps_rollup") as f:
                for line in f:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def tarvenix_cmd(url, work):
    for name in os.listdir(BIN):
        if name == "Tarvenix" or name.startswith("libTX"):
            shutil.copy2(os.path.join(BIN, name), work)
    shutil.copytree(os.path.join(BIN, "webext"), os.path.join(work, "webext"))
    with open(os.path.join(work, "Tarvenix.ini"), "w") as f:
        f.write(f'[Setting]\nBlank="{url}"\n')
    return [os.path.join(work, "Tarvenix")]


def chromium_cmd(url, work):
    return ["chromium", "--kiosk", "--no-first-run", "--no-sandbox", "--disable-background-networking",
            "--disable-component-update", "--disable-sync", "--disable-quic", f"--user-data-dir={work}", url]


# cog is left out: Debian 12's cog has platform plug-ins for DRM, Wayland and headless only, none
# that shows a page on an X server.
BROWSERS = {"Tarvenix": tarvenix_cmd, "chromium --kiosk": chromium_cmd}


def run_once(server, url, make_cmd):
    work = tempfile.mkdtemp(prefix="txbench")
    try:
        cmd = make_cmd(url, work)
        server.loaded.clear()
        start = time.monotonic()
        proc = subprocess.Popen(cmd, cwd=work, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                start_new_session=True)
        if not server.loaded.wait(60):
            raise RuntimeError("the page did not load within 60 s")
        load_ms = (time.monotonic() - start) * 1000
        time.sleep(2)
        pss = pss_kib(tree(proc.pid))
        os.killpg(proc.pid, signal.SIGTERM)
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
        return load_ms, pss
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    server = Server(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}/index.html"
    print(f"{'browser':<18} {'runs':>4} {'load median ms':>15} {'load max ms':>12} {'PSS median MiB':>15}")
    for name, make_cmd in BROWSERS.items():
        if name != "Tarvenix" and shutil.which(make_cmd(url, "/tmp")[0]) is None:
            print(f"{name:<18} not installed")
            continue
        try:
            results = [run_once(server, url, make_cmd) for _ in range(args.runs)]
        except (RuntimeError, OSError) as error:
            print(f"{name:<18} failed: {error}")
            continue
        loads = [r[0] for r in results]
        pss = [r[1] / 1024 for r in results]
        print(f"{name:<18} {len(results):>4} {statistics.median(loads):>15.0f} {max(loads):>12.0f} "
              f"{statistics.median(pss):>15.1f}")
    server.shutdown()


if __name__ == "__main__":
    sys.exit(main())
