#!/usr/bin/python3
"""A stand-in for systemd on a machine where none runs: runs the kiosk session as its installed
units say, and only as far as they say it about starting and restarting.

    unit_standin.py SERVICE PATH EVENTS [SERVER ARGUMENT...]

From SERVICE it takes User=, Group=, Environment=, ExecStartPre= (a leading "-" ignores a
failure), ExecStart=, Restart= (no, always, on-success, on-failure, on-abnormal, on-abort),
RestartSec=, SuccessExitStatus= and RestartPreventExitStatus=; from PATH, PathExists=. It starts
the service once (as `systemctl start` would), starts it again after each end as Restart= says
(systemd's table: on-failure restarts after an exit status other than 0 or a signal other than
the clean SIGHUP, SIGINT, SIGTERM and SIGPIPE), and starts it whenever the file of PathExists=
exists while the service is not running. The words after PATH are added to ExecStart's (an Xvfb
in place of the Xorg on a virtual terminal). SIGTERM to the stand-in stops the service as
`systemctl stop` does: SIGTERM to all its processes, SIGKILL after 10 s.

Not done: PAM and the logind session, the terminal, the journal, start limits, dependencies.
Each start and end is a line in EVENTS: "start PID", "end exited STATUS restart|stay" or
"end killed SIGNAL restart|stay".
"""
import os
import pwd
import grp
import shlex
import signal
import subprocess
import sys
import time

CLEAN_SIGNALS = {signal.SIGHUP, signal.SIGINT, signal.SIGTERM, signal.SIGPIPE}


def read_unit(path):
    """The unit's settings: every key with the values it was given, in order (an empty value
    resets the list, as in systemd)."""
    settings = {}
    with open(path, encoding="utf-8") as unit:
        for line in unit:
            line = line.strip()
            if not line or line[0] in "#;[" or "=" not in line:
                continue
            key, value = line.split("=", 1)
            values = settings.setdefault(key.strip(), [])
            if value.strip():
                values.append(value.strip())
            else:
                values.clear()
    return settings


def last(settings, key, default=None):
    values = settings.get(key, [])
    return values[-1] if values else default


def seconds(text):
    text = text.strip()
    for unit, factor in (("ms", 0.001), ("min", 60), ("s", 1)):
        if text.endswith(unit):
            return float(text[: -len(unit)]) * factor
    return float(text)


def statuses(settings, key):
    """Exit statuses and signals of SuccessExitStatus= or RestartPreventExitStatus=."""
    codes, signals = set(), set()
    for value in settings.get(key, []):
        for word in value.split():
            if word.isdigit():
                codes.add(int(word))
            else:
                signals.add(signal.Signals[word if word.startswith("SIG") else "SIG" + word])
    return codes, signals


def restarts(settings, exited, value):
    """Whether Restart= starts the service again after this end (systemd.service's table)."""
    rule = last(settings, "Restart", "no")
    success_codes, success_signals = statuses(settings, "SuccessExitStatus")
    prevent_codes, prevent_signals = statuses(settings, "RestartPreventExitStatus")
    if (exited and value in prevent_codes) or (not exited and value in prevent_signals):
        return False
    clean = (exited and (value == 0 or value in success_codes)) or (
        not exited and (value in CLEAN_SIGNALS or value in success_signals))
    if rule == "always":
        return True
    if rule == "on-success":
        return clean
    if rule == "on-failure":
        return not clean
    if rule in ("on-abnormal", "on-abort"):
        return not exited and value not in CLEAN_SIGNALS
    return False


class Service:
    def __init__(self, settings, extra):
        self.settings = settings
        self.extra = extra
        user = last(settings, "User", "root")
        entry = pwd.getpwnam(user)
        group = last(settings, "Group")
        self.uid = entry.pw_uid
        self.gid = grp.getgrnam(group).gr_gid if group else entry.pw_gid
        self.user = user
        self.env = {
            "PATH": "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin",
            "HOME": entry.pw_dir,
            "USER": user,
            "LOGNAME": user,
            "SHELL": entry.pw_shell,
        }
        for value in settings.get("Environment", []):
            for word in shlex.split(value):
                key, _, val = word.partition("=")
                self.env[key] = val
        self.process = None

    def _drop(self):
        os.setgid(self.gid)
        os.initgroups(self.user, self.gid)
        os.setuid(self.uid)

    def start(self):
        for command in self.settings.get("ExecStartPre", []):
            ignore = command.startswith("-")
            words = shlex.split(command.lstrip("-"))
            code = subprocess.call(words, env=self.env, preexec_fn=self._drop)
            if code != 0 and not ignore:
                return False
        words = shlex.split(last(self.settings, "ExecStart")) + self.extra
        # A process group of its own, like the service's cgroup: a stop reaches all of it.
        self.process = subprocess.Popen(words, env=self.env, preexec_fn=self._drop, start_new_session=True,
                                        stdin=subprocess.DEVNULL)
        return True

    def stop(self):
        if self.process is None:
            return
        try:
            os.killpg(self.process.pid, signal.SIGTERM)
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
        except ProcessLookupError:
            pass
        self.process = None


def main():
    service_file, path_file, events_file = sys.argv[1:4]
    settings = read_unit(service_file)
    watched = last(read_unit(path_file), "PathExists")
    service = Service(settings, sys.argv[4:])
    delay = seconds(last(settings, "RestartSec", "0.1"))
    events = open(events_file, "a", buffering=1, encoding="utf-8")
    stopping = []
    signal.signal(signal.SIGTERM, lambda *_: stopping.append(True))

    def start():
        if service.start():
            events.write(f"start {service.process.pid}\n")

    start()
    restart_at = None
    while not stopping:
        time.sleep(0.1)
        process = service.process
        if process is not None and process.poll() is not None:
            code = process.returncode
            exited = code >= 0
            value = code if exited else signal.Signals(-code)
            again = restarts(settings, exited, value)
            how = f"exited {code}" if exited else f"killed {value.name}"
            events.write(f"end {how} {'restart' if again else 'stay'}\n")
            service.process = None
            restart_at = time.monotonic() + delay if again else None
        if service.process is None:
            if restart_at is not None and time.monotonic() >= restart_at:
                restart_at = None
                start()
            elif restart_at is None and watched and os.path.exists(watched):
                start()
    service.stop()
    events.write("stopped\n")


if __name__ == "__main__":
    main()
