#!/usr/bin/env python3
"""Soak of the real kiosk: pages that navigate themselves, real clicks, quit questions, log rotation.

The kiosk runs on a private X server on pages of a local HTTP server of its own; each page holds two
iframes and goes on to the next page after 2 s (by script or by a meta refresh, in turn). Every
document reports its load to the server. Every second a real click (xdotool) goes to the page, and
every 30 s `tarvctl -t` asks the quit question, which is answered No with real keys. The access log
starts nearly full, so that it rotates during the run. A plain WebKitGTK window (bench/bare_webkit)
runs the same pages beside the kiosk, for the memory figures.

At the end the pages come to rest and the kiosk is ended as a session end ends it. The run passes
when the kiosk never crashed (its process and its web process lived through the run), every
question was asked and answered No, and the access log holds, across its rotation and without a
lost line, the navigation lines of exactly the documents the pages reported and one line per click.
Memory (RSS and PSS of the kiosk's own process, of its web process and of the bare window's) is
sampled and reported, not judged.

    python3 tests/soak/soak.py --minutes 10 [--bin build/linux/bin] [--report FILE]

As root it runs in mount and process-id namespaces of its own with a private /tmp, so it meets no
other kiosk; the kiosk's process name and named events are otherwise shared with the machine.
"""
import argparse
import http.server
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
MAX_LINES = 10000  # the access log's line count that makes it rotate
ROOM = 100  # new lines until the first rotation
PREFILL = MAX_LINES - ROOM
PAGE_MS = 2000

BEFORE, COMPLETE, DOCUMENT, ERROR = "ナビゲート開始前 URI[", "ナビゲート完了 URI[", "ドキュメント完了 URI[", "ナビゲートエラー URI["
CLICK = "ユーザーによるクリック"


def page_body(who, seq, rest):
    """A page with two iframes; unless at rest, it goes on to the next page after PAGE_MS."""
    script = f"""<script>
function report(ev) {{
  fetch('/report?who={who}&ev=' + ev + '&url=' + encodeURIComponent(location.href), {{keepalive: true}});
}}
addEventListener('load', () => report('load'));
document.addEventListener('click', () => report('click'));
</script>"""
    next_url = f"/page?who={who}&seq={seq + 1}"
    go = ""
    if not rest:
        if seq % 2:
            go = f'<meta http-equiv="refresh" content="{PAGE_MS // 1000};url={next_url}">'
        else:
            go = f"<script>addEventListener('load', () => setTimeout(() => {{ location.href = '{next_url}'; }}, {PAGE_MS}));</script>"
    frames = "".join(
        f'<iframe src="/frame?who={who}&seq={seq}&i={i}" width="300" height="120"></iframe>' for i in (1, 2))
    shade = 40 + (seq * 37) % 160
    return f"""<!DOCTYPE html><html><head><meta charset="utf-8"><title>soak {seq}</title>{go}{script}</head>
<body style="margin:0;background:rgb({shade},{shade},200)"><h1>page {seq}{' (rest)' if rest else ''}</h1>{frames}
<div style="height:600px"></div></body></html>"""


def frame_body(who):
    return f"""<!DOCTYPE html><html><head><meta charset="utf-8"><script>
addEventListener('load', () => fetch('/report?who={who}&ev=load&url=' + encodeURIComponent(location.href), {{keepalive: true}}));
</script></head><body style="background:#fc6"><p>frame</p></body></html>"""


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self):
        super().__init__(("127.0.0.1", 0), Handler)
        self.lock = threading.Lock()
        self.reports = []  # (who, ev, url)
        self.rest = False
        self.rest_urls = {}  # who: the path of the page served at rest
        self.port = self.server_address[1]

    def url(self, path):
        return f"http://127.0.0.1:{self.port}{path}"

    def loads(self, who):
        with self.lock:
            return [url for w, ev, url in self.reports if w == who and ev == "load"]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        parts = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(parts.query))
        who = query.get("who", "?")
        server = self.server
        if parts.path == "/report":
            with server.lock:
                server.reports.append((who, query.get("ev", "?"), query.get("url", "")))
            self.send_response(204)
            self.end_headers()
            return
        if parts.path == "/page":
            with server.lock:
                rest = server.rest
                if rest and who not in server.rest_urls:
                    server.rest_urls[who] = self.path
            body = page_body(who, int(query.get("seq", "0")), rest)
        elif parts.path == "/frame":
            body = frame_body(who)
        else:
            self.send_response(404)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        data = body.encode("utf-8")
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Cache-Control", "no-store")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def log_message(self, *args):
        pass


def isolate():
    """Runs the rest of the soak in namespaces of its own (as root), as the kiosk tests do."""
    if os.geteuid() != 0 or os.environ.get("TX_SOAK_ISOLATED") or shutil.which("unshare") is None:
        return
    env = dict(os.environ, TX_SOAK_ISOLATED="1")
    command = ["unshare", "--mount", "--pid", "--fork", "--mount-proc", "sh", "-c",
               'mount -t tmpfs -o mode=1777 tmpfs /tmp && "$@"', "sh", sys.executable] + sys.argv
    sys.exit(subprocess.call(command, env=env))


def start_xvfb():
    """Xvfb on a display number of its own choice; returns (process, ":N")."""
    read, write = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
                             "-noreset"], pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    deadline = time.monotonic() + 20
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        chunk = os.read(read, 16)
        if not chunk:
            break
        number += chunk
    os.close(read)
    if not number.endswith(b"\n"):
        proc.kill()
        raise RuntimeError("Xvfb did not start")
    return proc, ":" + number.decode().strip()


def run(args, timeout=30):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, timeout=timeout)


def xdotool(*words):
    return run(["xdotool"] + list(words)).stdout.split()


def wait_until(check, seconds, step=0.1):
    deadline = time.monotonic() + seconds
    while True:
        result = check()
        if result or time.monotonic() >= deadline:
            return result
        time.sleep(step)


def above(upper, lower):
    """Whether the top-level window upper is stacked above lower (no window manager: the root's
    children, which xwininfo lists from the top)."""
    order = re.findall(r"^\s+(0x[0-9a-f]+)", run(["xwininfo", "-root", "-children"]).stdout, re.M)
    ids = [int(w, 16) for w in order]
    try:
        return ids.index(int(upper)) < ids.index(int(lower))
    except (ValueError, TypeError):
        return False


def children(pid):
    """Direct children of pid as {pid: comm}."""
    found = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                stat = f.read()
            comm = stat[stat.index("(") + 1:stat.rindex(")")]
            if int(stat.rsplit(")", 1)[1].split()[1]) == pid:
                found[int(entry)] = comm
        except (OSError, ValueError, IndexError):
            pass
    return found


def memory_kib(pid):
    """(RSS, PSS) of one process in KiB, or None when it is gone."""
    values = {}
    try:
        with open(f"/proc/{pid}/smaps_rollup") as f:
            for line in f:
                key = line.split(":")[0]
                if key in ("Rss", "Pss"):
                    values[key] = int(line.split()[1])
    except OSError:
        return None
    return values.get("Rss", 0), values.get("Pss", 0)


def web_processes(pid):
    return sorted(p for p, comm in children(pid).items() if comm.startswith("WebKitWebProces"))


class Kiosk:
    """The kiosk installed in a folder of its own, as an operator installs it."""

    def __init__(self, bin_dir, url):
        self.dir = tempfile.mkdtemp(prefix="txsoak")
        for name in os.listdir(bin_dir):
            if name in ("Tarvenix", "tarvctl", "TarvenixRun.sh") or (name.startswith("libTX") and name.endswith("_64.so")):
                shutil.copy2(os.path.join(bin_dir, name), self.dir)
        shutil.copytree(os.path.join(bin_dir, "webext"), os.path.join(self.dir, "webext"))
        with open(self.path("Tarvenix.ini"), "w") as f:
            f.write(f'[Setting]\nAccessLog=1\nBlank="{url}"\n')
        # The access log starts ROOM lines short of its rotation.
        with open(self.path("access.log"), "w") as f:
            for n in range(PREFILL):
                f.write(f"2000/01/01 00:00:00.0,prefill {n}\n")
        self.proc = None

    def path(self, name):
        return os.path.join(self.dir, name)

    def read(self, name):
        try:
            with open(self.path(name), encoding="utf-8", errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def start(self):
        env = dict(os.environ, XDG_CONFIG_HOME=self.path("config"), GDK_BACKEND="x11", NO_AT_BRIDGE="1")
        self.output = open(self.path("output.txt"), "w")
        self.proc = subprocess.Popen([self.path("Tarvenix")], cwd=self.dir, env=env, stdout=self.output,
                                     stderr=subprocess.STDOUT)

    def windows(self, how):
        return xdotool("search", "--onlyvisible", "--pid", str(self.proc.pid), *how)

    def main_window(self):
        found = self.windows(["--class", "TarvenixClass"])
        return found[0] if found else None

    def boxes(self):
        main = self.main_window()
        return [w for w in self.windows(["--name", "^Tarvenix$"]) if w != main]

    def access_lines(self):
        """The access log's archives, oldest first, then the live file: (name, lines) each."""
        names = sorted((n for n in os.listdir(self.dir) if re.fullmatch(r"access\.log\.\d+", n)),
                       key=lambda n: int(n.rsplit(".", 1)[1]))
        files = []
        for name in names + ["access.log"]:
            with open(self.path(name), encoding="utf-8", errors="replace") as f:
                files.append((name, f.read().splitlines()))
        return files


def ask_and_answer_no(kiosk, tarvctl):
    """tarvctl -t, then No to the question with real keys; the reason when that failed, else None."""
    answer = run([tarvctl, "-t"], timeout=60).stdout
    if answer != "Ok\n":
        return f"tarvctl -t answered {answer!r}"
    box = wait_until(kiosk.boxes, 5)
    if not box:
        return "no question came"
    xdotool("windowfocus", "--sync", box[0], "key", "Tab", "Return")
    if not wait_until(lambda: not kiosk.boxes(), 5):
        return "No did not close the question"
    return None


def slope_kib_per_min(points):
    """Least-squares slope of (seconds, KiB) points, in KiB per minute."""
    if len(points) < 2:
        return 0.0
    mt = statistics.fmean(t for t, _ in points)
    mv = statistics.fmean(v for _, v in points)
    den = sum((t - mt) ** 2 for t, _ in points)
    return 60 * sum((t - mt) * (v - mv) for t, v in points) / den if den else 0.0


def stamp_seconds(line):
    """The time of an entry "YYYY/MM/DD hh:mm:ss.f,..." (f: milliseconds), or None."""
    match = re.match(r"(\d{4})/(\d\d)/(\d\d) (\d\d):(\d\d):(\d\d)\.(\d{1,3}),", line)
    if not match:
        return None
    y, mo, d, h, mi, sec, ms = (int(g) for g in match.groups())
    return time.mktime((y, mo, d, h, mi, sec, 0, 0, -1)) + ms / 1000


def check_access_log(kiosk, loads, click_times, question_times, problems):
    """The access log against the reports; returns figures for the report."""
    files = kiosk.access_lines()
    lines = [line for _, files_lines in files for line in files_lines]
    if [line for line in lines[:PREFILL]] != [f"2000/01/01 00:00:00.0,prefill {n}" for n in range(PREFILL)]:
        problems.append("the lines the access log started with are not all there, in order")
    archives = [(name, len(l)) for name, l in files[:-1]]
    if not archives:
        problems.append("the access log did not rotate")
    for name, count in archives:
        if count != MAX_LINES:
            problems.append(f"{name} holds {count} lines, not {MAX_LINES}")
    new = lines[PREFILL:]
    counts = {BEFORE: {}, COMPLETE: {}, DOCUMENT: {}, ERROR: {}}
    click_lines, other, logged_clicks = 0, [], []
    for line in new:
        message = line.split(",", 1)[1] if "," in line else line
        if message == CLICK:
            click_lines += 1
            logged_clicks.append(stamp_seconds(line))
            continue
        for label, seen in counts.items():
            if message.startswith(label):
                url = message[len(label):].split("] 今回のid=", 1)[0]
                seen[url] = seen.get(url, 0) + 1
                break
        else:
            other.append(message)
    reported = {}
    for url in loads:
        reported[url] = reported.get(url, 0) + 1
    for label in (COMPLETE, DOCUMENT):
        if counts[label] != reported:
            missing = sorted(set(reported) - set(counts[label]))[:3]
            extra = sorted(set(counts[label]) - set(reported))[:3]
            problems.append(f"'{label}' lines do not match the {len(loads)} reported loads "
                            f"({sum(counts[label].values())} lines; not logged {missing}, not reported {extra})")
    # A page-started navigation may be logged under the address it leaves: count them only.
    befores = sum(counts[BEFORE].values())
    if befores != len(loads):
        problems.append(f"{befores} '{BEFORE}' lines for {len(loads)} reported loads")
    if counts[ERROR]:
        problems.append(f"navigation errors: {sorted(counts[ERROR])[:3]}")
    if click_lines != len(click_times):
        # Which clicks went unlogged, and which logged ones no click explains (with the nearest
        # question, whose box takes the clicks while it is open).
        def when(t):
            gap = min((abs(t - q) for q in question_times), default=-1)
            nth = 1 + sum(1 for c in click_times if c < t - 0.7)
            return (f"{time.strftime('%H:%M:%S', time.localtime(t))}.{int(t * 1000) % 1000:03d} "
                    f"(near click {nth}, {gap:.1f} s from a question)")
        lost = [when(t) for t in click_times if not any(abs(c - t) < 0.7 for c in logged_clicks if c is not None)]
        extra = [when(c) for c in logged_clicks if c is not None and not any(abs(c - t) < 0.7 for t in click_times)]
        twice = [when(b) for a, b in zip(logged_clicks, logged_clicks[1:]) if a is not None and b is not None and b - a < 0.5]
        problems.append(f"{click_lines} click lines for {len(click_times)} clicks; not logged: {lost}; "
                        f"logged without a click: {extra}; logged twice: {twice}")
    if other:
        problems.append(f"{len(other)} other lines, e.g. {other[:3]}")
    return {"new lines": len(new), "archives": archives, "live lines": len(files[-1][1]), "click lines": click_lines}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--minutes", type=float, default=10)
    parser.add_argument("--bin", default=os.path.join(ROOT, "build", "linux", "bin"))
    parser.add_argument("--report", help="also write the figures to this file")
    parser.add_argument("--question-every", type=float, default=30, help="seconds between quit questions")
    parser.add_argument("--sample-every", type=float, default=10, help="seconds between memory samples")
    args = parser.parse_args()
    isolate()
    bin_dir = os.path.abspath(args.bin)
    xvfb, display = start_xvfb()
    os.environ["DISPLAY"] = display
    os.environ.pop("WAYLAND_DISPLAY", None)
    server = Server()
    threading.Thread(target=server.serve_forever, daemon=True).start()
    kiosk = Kiosk(bin_dir, server.url("/page?who=kiosk&seq=0"))
    bare = None
    problems, samples, questions, loads = [], [], [], []
    figures = {"new lines": 0, "archives": [], "live lines": 0, "click lines": 0}
    click_times, question_times = [], []
    web_seen = set()
    try:
        kiosk.start()
        if not wait_until(kiosk.main_window, 60) or not wait_until(lambda: server.loads("kiosk"), 60):
            raise RuntimeError("the kiosk did not show its first page")
        bare_exe = os.path.join(bin_dir, "bare_webkit")
        if os.path.exists(bare_exe):
            bare = subprocess.Popen([bare_exe, server.url("/page?who=bare&seq=0")], env=dict(os.environ, GDK_BACKEND="x11", NO_AT_BRIDGE="1"),
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # The bare window comes up on top; the clicks start once the kiosk's keeper has raised
            # the kiosk above it again.
            bare_window = wait_until(lambda: xdotool("search", "--onlyvisible", "--pid", str(bare.pid)), 60)
            if not bare_window or not wait_until(lambda: above(kiosk.main_window(), bare_window[0]), 10):
                raise RuntimeError("the kiosk did not come above the bare window")
        start = time.monotonic()
        end = start + args.minutes * 60
        next_question = start + args.question_every
        next_sample = start
        tarvctl = kiosk.path("tarvctl")
        while time.monotonic() < end:
            tick = time.monotonic()
            if kiosk.proc.poll() is not None:
                problems.append(f"the kiosk ended during the run (status {kiosk.proc.returncode})")
                break
            web_seen.update(web_processes(kiosk.proc.pid))
            if tick >= next_sample:
                next_sample += args.sample_every
                sample = {"t": tick - start, "kiosk": memory_kib(kiosk.proc.pid)}
                web = web_processes(kiosk.proc.pid)
                sample["kiosk web"] = memory_kib(web[0]) if web else None
                if bare is not None and bare.poll() is None:
                    sample["bare"] = memory_kib(bare.pid)
                    bare_web = web_processes(bare.pid)
                    sample["bare web"] = memory_kib(bare_web[0]) if bare_web else None
                samples.append(sample)
            if tick >= next_question:
                next_question += args.question_every
                started = time.monotonic()
                question_times.append(time.time())
                failure = ask_and_answer_no(kiosk, tarvctl)
                questions.append(time.monotonic() - started)
                if failure:
                    problems.append(f"question {len(questions)}: {failure}")
                continue
            # A second from the end of one click to the start of the next, however slow xdotool is
            # to start: two clicks closer than the double-click time would be one double click.
            if run(["xdotool", "mousemove", "640", "500", "click", "1"]).returncode == 0:
                click_times.append(time.time())
            else:
                problems.append(f"xdotool could not click at {time.time() - start:.1f} s")
            time.sleep(1.0)
        # The pages come to rest; the run ends once the kiosk's last page and its frames reported.
        with server.lock:
            server.rest = True
        rested = wait_until(lambda: server.rest_urls.get("kiosk") and
                            sum(1 for u in server.loads("kiosk") if urllib.parse.urlsplit(u).query ==
                                urllib.parse.urlsplit(server.rest_urls["kiosk"]).query) == 1, 30)
        if not rested:
            problems.append("the kiosk's pages did not come to rest")
        time.sleep(1)  # the last page's navigation lines follow its load report by a few ms
        web_seen.update(web_processes(kiosk.proc.pid))
        if kiosk.proc.poll() is None:
            kiosk.proc.send_signal(signal.SIGTERM)
            try:
                status = kiosk.proc.wait(20)
                if status != 0:
                    problems.append(f"the kiosk ended with status {status} on SIGTERM")
            except subprocess.TimeoutExpired:
                problems.append("the kiosk did not end on SIGTERM")
                kiosk.proc.kill()
        if len(web_seen) != 1:
            problems.append(f"web processes of the kiosk seen: {len(web_seen)} (a new one follows a crash)")
        loads = server.loads("kiosk")
        figures = check_access_log(kiosk, loads, click_times, question_times, problems)
    except (RuntimeError, OSError, subprocess.SubprocessError) as error:
        problems.append(f"the soak could not go on: {error}")
        sys.stdout.write(kiosk.read("output.txt"))
    finally:
        for proc in (kiosk.proc, bare):
            if proc is not None and proc.poll() is None:
                proc.kill()
                proc.wait()
        server.shutdown()
        xvfb.terminate()
        xvfb.wait()

    report = [f"soak: {args.minutes:g} min, {len(loads)} documents loaded and reported by the kiosk's pages "
              f"({sum(1 for u in loads if '/page?' in u)} pages), {len(server.loads('bare'))} by the bare window's",
              f"clicks: {len(click_times)} sent, {figures['click lines']} logged; questions: {len(questions)} asked and "
              f"answered No, longest {max(questions, default=0):.1f} s",
              f"access log: {figures['new lines']} new lines, archives {figures['archives']}, "
              f"{figures['live lines']} lines live; web processes of the kiosk: {len(web_seen)}"]
    warm = [s for s in samples if s["t"] >= min(120, args.minutes * 60 * 0.2)]
    for key in ("kiosk", "kiosk web", "bare", "bare web"):
        points = [(s["t"], s[key]) for s in warm if s.get(key)]
        if not points:
            continue
        rss = [(t, v[0]) for t, v in points]
        pss = [(t, v[1]) for t, v in points]
        report.append(f"{key:>9}: RSS {rss[0][1] / 1024:.1f} -> {rss[-1][1] / 1024:.1f} MiB "
                      f"(min {min(v for _, v in rss) / 1024:.1f}, max {max(v for _, v in rss) / 1024:.1f}, "
                      f"slope {slope_kib_per_min(rss):+.0f} KiB/min), PSS {pss[0][1] / 1024:.1f} -> "
                      f"{pss[-1][1] / 1024:.1f} MiB (slope {slope_kib_per_min(pss):+.0f} KiB/min); "
                      f"{len(points)} samples after warm-up")
    report += [f"problem: {p}" for p in problems] or ["problems: none"]
    text = "\n".join(report) + "\n"
    sys.stdout.write(text)
    if args.report:
        with open(args.report, "w") as f:
            f.write(text)
    shutil.rmtree(kiosk.dir, ignore_errors=True)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
