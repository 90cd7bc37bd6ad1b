#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Soak run: the real program in demo mode under an X server of its own for a set time, its
virtual mouse plugged and unplugged thousands of times, the mouse's buttons raising reports at a
steady rate and the window shown (by a second start) and hidden (by the unplug) every few
seconds. Samples the program's memory, descriptors, threads and CPU once a second from /proc,
prints a table per minute, plots memory and descriptors with gnuplot, and exits 1 when a goal is
missed: memory growth after the first minute, descriptors or threads that grow, a crash, a hang,
or a plug or unplug that the program did not follow."""

import argparse, collections, os, shutil, signal, socket, subprocess, sys, tempfile, threading, time

CLK_TCK = os.sysconf("SC_CLK_TCK")
PAGE = os.sysconf("SC_PAGE_SIZE")


def parse_args():
    here = os.path.dirname(os.path.abspath(__file__))
    a = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    a.add_argument("--minutes", type=float, default=10)
    a.add_argument("--cycles", type=int, help="plug/unplug cycles (default: 1000 a minute)")
    a.add_argument("--rate", type=int, default=1000, help="button reports a second while connected")
    a.add_argument("--show-every", type=float, default=4, help="seconds between window shows")
    a.add_argument("--binary", default=os.path.join(here, "..", "build", "mousecfg"))
    a.add_argument("--plot", default="soak.png")
    a.add_argument("--log", default="soak.log", help="the program's debug output")
    a.add_argument("--data", default="soak.tsv", help="the samples, one a second")
    a.add_argument("--timeout", type=float, default=10, help="seconds before a missed event or a hang")
    return a.parse_args()


class Program:
    """The program under test, its debug output followed line by line."""

    def __init__(self, binary, env, log):
        self.binary, self.env = binary, env
        self.proc = subprocess.Popen([binary, "--demo"], env=env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.events = []                      # "connect" / "disconnect", in order
        self.tail = collections.deque(maxlen=40)
        self.cond = threading.Condition()
        threading.Thread(target=self._follow, args=(log,), daemon=True).start()

    def _follow(self, log):
        with open(log, "wb", buffering=0) as out:
            for line in self.proc.stderr:
                out.write(line)
                self.tail.append(line.decode(errors="replace").rstrip())
                kind = ("disconnect" if b"Device DisConnect" in line else
                        "connect" if b"Device Connect" in line else None)
                if kind:
                    with self.cond:
                        self.events.append(kind)
                        self.cond.notify_all()
        with self.cond:
            self.cond.notify_all()

    def follow(self, control, command, kind, timeout):
        """Runs a control command; True when the program then says `kind` (and it still holds)."""
        with self.cond:
            since = len(self.events)
        if command:
            control.run(command)
        deadline = time.monotonic() + timeout
        with self.cond:
            while not (len(self.events) > since and self.events[-1] == kind):
                left = deadline - time.monotonic()
                if left <= 0 or self.proc.poll() is not None:
                    return False
                self.cond.wait(left)
            return True


class Control:
    """A line of the virtual device's control protocol and its answer."""

    def __init__(self, path, timeout):
        self.sock = socket.socket(socket.AF_UNIX)
        self.sock.settimeout(timeout)
        self.sock.connect(path)
        self.buf = b""

    def lines(self):
        while b"\n" not in self.buf:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise ConnectionError("control socket closed")
            self.buf += chunk
        *done, self.buf = self.buf.split(b"\n")
        return done

    def run(self, command):
        self.sock.sendall(command.encode() + b"\n")
        while True:
            for line in self.lines():
                if line == b"ok" or line.startswith(b"error"):
                    return line.decode()


class Reporter(threading.Thread):
    """Presses the mouse's DPI button `rate` times a second while it is connected, a batch every
    10 ms, without waiting for each answer (the answers are counted as they come)."""

    def __init__(self, path, rate, timeout):
        super().__init__(daemon=True)
        self.control, self.rate, self.timeout = Control(path, timeout), rate, timeout
        self.plugged, self.stop = threading.Event(), threading.Event()
        self.ok = 0                           # presses the mouse took
        self.failure = None

    def run(self):
        batches = collections.deque()
        due, last = 0.0, time.monotonic()
        try:
            while not self.stop.is_set():
                time.sleep(0.01)
                now = time.monotonic()
                due = min(due + (now - last) * self.rate, 1000) if self.plugged.is_set() else 0.0
                last = now
                self.control.sock.settimeout(self.timeout)
                if int(due):
                    self.control.sock.sendall(b"press dpi x%d\n" % int(due))
                    batches.append(int(due))
                    due -= int(due)
                # Answers lag behind while the program is busy; too long a lag is a hang.
                self.control.sock.settimeout(0 if len(batches) < 50 else self.timeout)
                try:
                    for line in self.control.lines():
                        n = batches.popleft()
                        self.ok += n if line == b"ok" else 0
                except BlockingIOError:
                    pass
        except Exception as e:  # noqa: BLE001 - any failure ends the run as a hang or crash
            self.failure = "reports: %s" % (e or type(e).__name__)


def sample(pid):
    """RSS (kB), descriptors, threads and CPU ticks of the process."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = int(fields[11]) + int(fields[12])
    rss = int(fields[21]) * PAGE // 1024
    threads = int(fields[17])
    fds = len(os.listdir("/proc/%d/fd" % pid))
    return rss, fds, threads, ticks


def window_visible(pid, env):
    r = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return r.returncode == 0


def wait_until(predicate, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.02)
    return predicate()


def start_xvfb(env):
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as f:
        display = f.readline().strip()
    if not display:
        sys.exit("soak: Xvfb did not start")
    env["DISPLAY"] = ":" + display
    return xvfb


def prepare(binary, root):
    """A copy of the program and its data in a folder of its own, and an environment that keeps
    it away from the tester's home, desktop and session bus."""
    app = os.path.join(root, "app")
    os.makedirs(app)
    shutil.copy2(binary, app)
    shutil.copytree(os.path.join(os.path.dirname(binary), "modules"), os.path.join(app, "modules"), symlinks=True)
    env = {k: v for k, v in os.environ.items() if not k.startswith(("DBUS_", "XDG_", "QT_", "WAYLAND"))}
    for name in ("HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"):
        env[name] = os.path.join(root, name.lower())
        os.makedirs(env[name], mode=0o700)
    env.update(QT_QPA_PLATFORM="xcb", GSETTINGS_BACKEND="memory", DBUS_SESSION_BUS_ADDRESS="disabled:",
               QT_MESSAGE_PATTERN="%{time process} %{message}",
               MOUSECFG_VDEV_CONTROL=os.path.join(root, "vdev"), MOUSECFG_VDEV_SETTLE_MS="10")
    return os.path.join(app, os.path.basename(binary)), env


def main():
    args = parse_args()
    seconds = args.minutes * 60
    cycles_goal = args.cycles if args.cycles is not None else int(args.minutes * 1000)
    root = tempfile.mkdtemp(prefix="mousecfg-soak-")
    binary, env = prepare(os.path.abspath(args.binary), root)
    xvfb = start_xvfb(env)
    prog = Program(binary, env, args.log)
    problems = []
    try:
        if not wait_until(lambda: os.path.exists(env["MOUSECFG_VDEV_CONTROL"]), 30):
            sys.exit("soak: the program did not open its control socket")
        control = Control(env["MOUSECFG_VDEV_CONTROL"], args.timeout)
        if not prog.events and not prog.follow(control, None, "connect", 30):
            sys.exit("soak: the program did not find the virtual mouse at start")
        # Each cycle starts unplugged (the demo starts with the mouse plugged in).
        if not prog.follow(control, "unplug", "disconnect", args.timeout):
            sys.exit("soak: the program did not notice the first unplug")
        reporter = Reporter(env["MOUSECFG_VDEV_CONTROL"], args.rate, args.timeout)
        reporter.start()
        samples, stop = [], threading.Event()
        counts = {"cycles": 0, "missed": 0, "shows": 0, "unshown": 0, "unhidden": 0, "plugged": 0.0}
        t0 = time.monotonic()

        def sampler():
            prev = sample(prog.proc.pid)[3]
            while not stop.wait(1.0):
                try:
                    rss, fds, threads, ticks = sample(prog.proc.pid)
                except (FileNotFoundError, ProcessLookupError):
                    return
                samples.append((time.monotonic() - t0, rss, fds, threads, 100.0 * (ticks - prev) / CLK_TCK,
                                counts["cycles"], reporter.ok))
                prev = ticks
        threading.Thread(target=sampler, daemon=True).start()

        last_show = t0
        while time.monotonic() - t0 < seconds and prog.proc.poll() is None and not reporter.failure:
            i = counts["cycles"]
            if i >= cycles_goal:
                time.sleep(0.1)
                continue
            # The cycles are spread evenly over the run; one that falls behind goes at once.
            pause = t0 + i * seconds / cycles_goal - time.monotonic()
            if pause > 0:
                time.sleep(pause)
            counts["missed"] += not prog.follow(control, "plug", "connect", args.timeout)
            plugged_at = time.monotonic()
            reporter.plugged.set()
            showing = time.monotonic() - last_show >= args.show_every
            if showing:
                last_show = time.monotonic()
                # A second start hands its message to the running program, which shows the window.
                subprocess.run([binary, "--demo"], env=env, timeout=args.timeout,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                shown = wait_until(lambda: window_visible(prog.proc.pid, env), args.timeout)
                counts["shows" if shown else "unshown"] += 1
                time.sleep(0.3)
            reporter.plugged.clear()
            counts["plugged"] += time.monotonic() - plugged_at
            counts["missed"] += not prog.follow(control, "unplug", "disconnect", args.timeout)
            if showing and not wait_until(lambda: not window_visible(prog.proc.pid, env), 2):
                counts["unhidden"] += 1
            counts["cycles"] += 1
        elapsed = time.monotonic() - t0
        stop.set()
        reporter.stop.set()
        reporter.join(args.timeout)
        if prog.proc.poll() is not None:
            problems.append("the program ended (exit %s); its last lines:\n  %s"
                            % (prog.proc.returncode, "\n  ".join(prog.tail)))
        elif elapsed < seconds - 1:
            problems.append("hang: " + (reporter.failure or "a control command got no answer"))
        report(args, samples, counts, reporter, elapsed, cycles_goal, problems)
    except (OSError, subprocess.TimeoutExpired) as e:
        problems.append("hang or crash: %s" % e)
        print("soak: FAILED\n  " + "\n  ".join(problems))
    finally:
        if prog.proc.poll() is None:
            prog.proc.send_signal(signal.SIGTERM)
            try:
                prog.proc.wait(10)
            except subprocess.TimeoutExpired:
                prog.proc.kill()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(root, ignore_errors=True)
    return 1 if problems else 0


def report(args, samples, counts, reporter, elapsed, cycles_goal, problems):
    samples = [s for s in samples if s[0] <= min(elapsed, args.minutes * 60)]
    if not samples:
        problems.append("no samples")
        return
    print("minute  RSS MB   fds  threads  CPU %  cycles  reports/s")
    minutes = collections.OrderedDict()
    for s in samples:
        minutes.setdefault(int((s[0] - 0.001) // 60), []).append(s)
    prev_reports, prev_t = 0, 0.0
    for m, rows in minutes.items():
        last = rows[-1]
        print("%6d  %6.1f  %4d  %7d  %5.1f  %6d  %9.0f" % (
            m + 1, last[1] / 1024, last[2], last[3], sum(r[4] for r in rows) / len(rows), last[5],
            (last[6] - prev_reports) / max(last[0] - prev_t, 1e-9)))
        prev_reports, prev_t = last[6], last[0]
    # From the first minute on (start-up, caches and the scene are built by then); ten seconds
    # of samples at each end even out what a moment's work holds.
    around1 = [s for s in samples if 55 <= s[0] < 65] or samples[:10]
    rss1 = sum(s[1] for s in around1) / len(around1) / 1024
    rss_end = sum(s[1] for s in samples[-10:]) / len(samples[-10:]) / 1024
    later = [s for s in samples if s[0] >= 60] or samples
    first = [s for s in samples if s[0] < 60]
    end = samples[-1]
    growth = rss_end - rss1
    cpu = sum(s[4] for s in samples) / len(samples)
    rate = reporter.ok / counts["plugged"] if counts["plugged"] else 0
    print("RSS %.1f MB at 1 min, %.1f MB at the end (growth %+.2f MB, peak after 1 min %.1f MB); "
          "fds %d..%d; threads %d..%d; CPU mean %.1f %%"
          % (rss1, rss_end, growth, max(s[1] for s in later) / 1024,
             min(s[2] for s in samples), max(s[2] for s in samples),
             min(s[3] for s in samples), max(s[3] for s in samples), cpu))
    print("%d of %d cycles in %.0f s; %d reports (%.0f/s while connected, %.0f/s overall); "
          "window shown %d times (not shown %d, not hidden %d); missed connects/disconnects: %d"
          % (counts["cycles"], cycles_goal, elapsed, reporter.ok, rate, reporter.ok / elapsed,
             counts["shows"], counts["unshown"], counts["unhidden"], counts["missed"]))
    if growth > 2:
        problems.append("RSS grew %.2f MB after the first minute" % growth)
    # Flat: what stays open at rest (a minute's least count; a second start or a report in
    # flight holds one more for a moment) is no more at the end than in the first minute.
    tail = [s for s in samples if s[0] >= end[0] - 60]
    for name, col in (("descriptors", 2), ("threads", 3)):
        if min(s[col] for s in tail) > min(s[col] for s in first):
            problems.append("%s grew: %d at rest in the first minute, %d in the last"
                            % (name, min(s[col] for s in first), min(s[col] for s in tail)))
    if counts["missed"]:
        problems.append("%d plugs or unplugs not followed" % counts["missed"])
    if counts["unshown"] or counts["unhidden"]:
        problems.append("the window did not follow (%d not shown, %d not hidden)" % (counts["unshown"], counts["unhidden"]))
    if counts["cycles"] < cycles_goal:
        print("(fewer cycles than asked: a plug and an unplug took the program %.0f ms on this machine)"
              % (1000 * elapsed / max(counts["cycles"], 1)))
    plot(args.plot, args.data, samples)
    print("soak: " + ("FAILED\n  " + "\n  ".join(problems) if problems else "all goals met") + "; plot " + args.plot)


def plot(path, data, samples):
    with open(data, "w") as f:
        f.write("# seconds\trss_kB\tfds\tthreads\tcpu_percent\tcycles\treports\n")
        f.writelines("%.1f\t%d\t%d\t%d\t%.1f\t%d\t%d\n" % s for s in samples)
    script = """set terminal pngcairo size 800,500 font ",10"
set output '%s'
set datafile separator '\\t'
set multiplot layout 2,1
set grid
set key off
set xrange [0:*]
set yrange [0:*]
set ylabel 'RSS (MB)'
plot '%s' using ($1/60):($2/1024) with lines lw 2
set xlabel 'minutes'
set ylabel 'open descriptors'
plot '%s' using ($1/60):3 with steps lw 2 lc 2
""" % (path, data, data)
    subprocess.run(["gnuplot"], input=script.encode(), check=True)


if __name__ == "__main__":
    sys.exit(main())
