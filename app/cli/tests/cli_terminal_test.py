#!/usr/bin/env python3
"""korvanel-cli as its users meet it: in a terminal (a pseudo-terminal and tmux), from scripts (the
JSON checked against app/cli/schema/), stopped once and twice, and failing. Runs as any user; the
benchmarks run in a scratch directory under $TMPDIR with the quick length.

usage: cli_terminal_test.py KORVANEL_CLI SOURCE_DIR
"""
import fcntl
import json
import os
import pty
import re
import resource
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time

import jsonschema

CLI = os.path.abspath(sys.argv[1])
SOURCE = os.path.abspath(sys.argv[2])
WORK = os.path.realpath(tempfile.mkdtemp(prefix="korvanel-term-test."))
DRIVE = os.path.join(WORK, "drive")  # the directory the benchmarks measure
os.mkdir(DRIVE)
ENV = dict(os.environ, XDG_CONFIG_HOME=os.path.join(WORK, "config"), LANG="C.UTF-8", LC_ALL="C.UTF-8")
ENV.pop("TERM", None)
TMUX = ["tmux", "-L", "korvanel-test-%d" % os.getpid(), "-f", "/dev/null"]

results = {"passed": 0, "failed": 0}


def check(name, condition, detail=""):
    if condition:
        results["passed"] += 1
        print("ok   - " + name)
    else:
        results["failed"] += 1
        print("FAIL - " + name + (": " + str(detail) if detail != "" else ""))


def run(*args, env=None, timeout=120):
    # In the scratch directory: a run that should not have started measures there, not here.
    return subprocess.run([CLI, *args], env=env or ENV, cwd=WORK, capture_output=True, text=True, timeout=timeout)


def leftovers():
    return sorted(os.listdir(DRIVE))


# --- JSON against the schema ---------------------------------------------------------------------

def load_schemas():
    folder = os.path.join(SOURCE, "app/cli/schema")
    schemas = {}
    for name in ("run", "drives"):
        with open(os.path.join(folder, name + ".schema.json")) as f:
            schemas[name] = json.load(f)
    store = {schema["$id"]: schema for schema in schemas.values()}
    validators = {}
    for name, schema in schemas.items():
        jsonschema.Draft7Validator.check_schema(schema)
        resolver = jsonschema.RefResolver.from_schema(schema, store=store)
        validators[name] = jsonschema.Draft7Validator(schema, resolver=resolver)
    return validators


VALIDATORS = load_schemas()


def schema_errors(document, schema):
    return ["%s: %s" % ("/".join(map(str, e.path)), e.message) for e in VALIDATORS[schema].iter_errors(document)]


def check_json(name, text, schema):
    """Parses `text` and checks it against the schema; returns the document (None when unreadable)."""
    try:
        document = json.loads(text)
    except ValueError as error:
        check(name + ": is JSON", False, error)
        return None
    errors = schema_errors(document, schema)
    check(name + ": matches the %s schema" % schema, not errors, errors[:5])
    return document


def rate(document, key):
    return next(entry for entry in document["rates"] if entry["key"] == key)


# --- terminals ------------------------------------------------------------------------------------

def run_in_pty(args, columns, term, env=None, memory_bytes=None):
    """Runs the CLI with stdout and stderr on a pseudo-terminal of `columns`; returns (bytes, rc).
    `memory_bytes` limits its address space, so that a runaway allocation fails fast."""
    master, slave = pty.openpty()
    fcntl.ioctl(master, termios.TIOCSWINSZ, struct.pack("HHHH", 40, columns, 0, 0))
    env = dict(env or ENV, TERM=term)

    def limit_memory():
        if memory_bytes:
            resource.setrlimit(resource.RLIMIT_AS, (memory_bytes, memory_bytes))

    process = subprocess.Popen([CLI, *args], stdin=slave, stdout=slave, stderr=slave, env=env, cwd=WORK,
                               start_new_session=True, preexec_fn=limit_memory)
    os.close(slave)
    output = b""
    while True:
        ready, _, _ = select.select([master], [], [], 120)
        if not ready:
            process.kill()
            break
        try:
            chunk = os.read(master, 65536)
        except OSError:  # the other side closed
            break
        if not chunk:
            break
        output += chunk
    os.close(master)
    return output, process.wait(timeout=60)


def tmux(*args):
    return subprocess.run(TMUX + list(args), capture_output=True, text=True, check=False).stdout


def screen(joined=False):
    """The tmux window's rows (with `joined`, rows the terminal wrapped are joined again)."""
    return tmux("capture-pane", "-p", *(["-J"] if joined else []), "-t", "cli").rstrip("\n").split("\n")


def run_in_tmux(args, columns, on_screen=None):
    """Runs the CLI in a tmux window `columns` wide, polling the screen until it ends. `on_screen`
    sees every capture. Returns the joined screen at the end, or None when the CLI did not end."""
    command = " ".join([CLI] + args) + "; echo EXIT=$?; sleep 600"
    tmux("new-session", "-d", "-s", "cli", "-x", str(columns), "-y", "60", "-c", WORK,
         "env XDG_CONFIG_HOME=%s LANG=C.UTF-8 LC_ALL=C.UTF-8 %s" % (ENV["XDG_CONFIG_HOME"], command))
    deadline = time.time() + 120
    try:
        while time.time() < deadline:
            rows = screen()
            if on_screen:
                on_screen(rows)
            if any(row.startswith("EXIT=") for row in rows):
                return screen(joined=True)
            time.sleep(0.15)
        return None
    finally:
        tmux("kill-session", "-t", "cli")


def progress_rows(rows):
    """Rows showing any piece of a progress line: the bar, the percentage or the time left (a line
    the terminal wrapped or reflowed shows on more than one)."""
    return [row for row in rows if re.search(r"\[[#-]{3,}|\d+%|\d:\d\d left", row)]


# --- the cases ------------------------------------------------------------------------------------

def test_version_and_language_alone():
    version = run("--version")
    check("--version prints name and version and exits 0",
          version.returncode == 0 and re.fullmatch(r"Korvanel \d+\.\d+\n", version.stdout), version)
    started = time.time()
    lang = run("--lang", "0")
    check("--lang 0 alone exits 0", lang.returncode == 0, lang.stderr)
    check("--lang 0 alone runs no benchmark", "testing" not in lang.stderr and "Sequential" not in lang.stdout,
          lang.stderr[:200])
    check("--lang 0 alone says what it stored", "Deutsch" in lang.stdout, lang.stdout)
    check("--lang 0 alone ends at once", time.time() - started < 5)
    with open(os.path.join(ENV["XDG_CONFIG_HOME"], "Korvanel/Korvanel.ini")) as f:
        check("--lang 0 stores the language", "lng=0" in f.read())
    back = run("--lang", "1", "--languages")
    check("--lang 1 --languages stores and lists", re.search(r"^\*  1  English", back.stdout, re.M), back.stdout[:300])


def test_listing_and_usage():
    fresh = os.path.join(WORK, "fresh-config")
    env = dict(ENV, XDG_CONFIG_HOME=fresh)
    listing = run("--list", env=env)
    check("--list exits 0", listing.returncode == 0, listing.stderr)
    check("--list writes no settings file", not os.path.exists(fresh), os.listdir(fresh) if os.path.exists(fresh) else "")
    listed = run("--list", "--json", env=env)
    document = check_json("--list --json", listed.stdout, "drives")
    check("--list --json numbers the drives from 0",
          document is not None and document["drives"] and document["drives"][0]["index"] == 0)
    both = run("--report", "--report-file", os.path.join(WORK, "page.html"))
    check("--report with --report-file is a usage error", both.returncode == 2 and "choose one" in both.stderr,
          both.stderr)
    check("--report with --report-file ran nothing", "testing" not in both.stderr)


def test_completed_run_json():
    started = time.time()
    done = run("--drive", DRIVE, "--length", "0", "--test", "access", "--json")
    check("--test access exits 0", done.returncode == 0, done.stderr[-500:])
    document = check_json("completed run", done.stdout, "run")
    if document is None:
        return
    check("completed run: status completed, no error", document["status"] == "completed" and document["error"] is None)
    check("completed run: the access-time rates are measured, the 4K rates are null",
          document["RR"] and document["RW"] and document["RR4KB"] is None and rate(document, "RR4KB")["iops"] is None)
    check("completed run: access time in ms from RR", abs(document["access_time_ms"]["read"] - 4.096 / document["RR"]) < 1e-4)
    check("completed run: bytes per second and IOPS of RR",
          abs(rate(document, "RR")["bytes_per_second"] - document["RR"] * 1024000) <= 1
          and abs(rate(document, "RR")["iops"] - document["RR"] * 250) < 0.1)
    check("completed run: no rating from a single test", document["ratings"] == {"read": None, "write": None, "total": None})
    check("completed run: test and length",
          document["test"] == {"id": 1032, "name": "access"} and document["length"]["file_bytes"] == 100 << 20
          and document["length"]["window_ms"] == 600 and document["length"]["measured_passes"] == 1)
    check("completed run: the target directory", document["target"]["directory"] == DRIVE)
    check("completed run: start before end", document["start_time"] <= document["end_time"])
    check("completed run: nothing left", leftovers() == [], leftovers())


def test_failed_run():
    text = run("--drive", "/sys", "--length", "0")
    check("a run on /sys fails with exit 1", text.returncode == 1, text.stderr)
    check("a failed run prints no result table", text.stdout == "", text.stdout)
    check("the error keeps the program's text", "File Create Error" in text.stderr, text.stderr)
    check("the error says what failed on which path",
          re.search(r"failed while creating the test directory /sys/Korvanel[0-9A-F]{8}", text.stderr), text.stderr)
    as_json = run("--drive", "/sys", "--length", "0", "--json")
    document = check_json("failed run", as_json.stdout, "run")
    if document is not None:
        check("failed run: status failed with the error text",
              document["status"] == "failed" and "File Create Error" in document["error"]["message"]
              and "/sys/Korvanel" in document["error"]["what_failed"], document.get("error"))
        check("failed run: every rate null", all(document[entry["key"]] is None for entry in document["rates"]))


def test_results_to_a_full_disk():
    # Results that never reach their reader are a failure, told with the system's reason.
    if not os.path.exists("/dev/full"):
        print("# skipped: no /dev/full")
        return
    with open("/dev/full", "w") as full:
        done = subprocess.run([CLI, "--drive", DRIVE, "--length", "0", "--test", "access"], env=ENV, cwd=WORK,
                              stdout=full, stderr=subprocess.PIPE, text=True, timeout=120)
    check("results to a full disk: exit 1", done.returncode == 1, done.returncode)
    check("results to a full disk: the reason",
          "korvanel-cli: cannot write the results: No space left on device" in done.stderr, done.stderr)
    check("results to a full disk: nothing left", leftovers() == [], leftovers())


def start_and_wait_for(args, status):
    """Starts a run with stderr read line by line; returns the process once a status line matching
    the pattern `status` was printed."""
    process = subprocess.Popen([CLI, *args], env=ENV, cwd=WORK, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               text=True)
    lines = []
    for line in process.stderr:
        lines.append(line)
        if re.fullmatch(status, line.rstrip("\n")):
            return process, lines
    return process, lines


def finish(process, lines):
    stdout, rest = process.communicate(timeout=120)
    return stdout, "".join(lines) + rest


def test_first_stop():
    # The first Ctrl+C in measured pass 1 of 2: that pass ends its window and counts.
    process, lines = start_and_wait_for(["--drive", DRIVE, "--length", "1", "--test", "seq", "--json"],
                                        r"Sequential Read 1/2")
    process.send_signal(signal.SIGINT)
    stdout, stderr = finish(process, lines)
    check("Ctrl+C exits 130", process.returncode == 130, stderr[-300:])
    check("Ctrl+C announces the stop after the current pass", "Stopping after the current pass" in stderr)
    document = check_json("stopped run", stdout, "run")
    if document is not None:
        check("stopped run: status stopped, no error", document["status"] == "stopped" and document["error"] is None)
        check("stopped run: the pass that saw the stop counts, the write side is null",
              document["SR"] and document["SW"] is None, (document["SR"], document["SW"]))
    check("stopped run: nothing left", leftovers() == [], leftovers())


def test_second_stop():
    # Both in the first (warm-up) pass of a long run: the second ends it at once. Without it the
    # run would go on to the end of the warm-up window and through one whole measured window.
    window_s = 2.4
    process, lines = start_and_wait_for(["--drive", DRIVE, "--length", "2", "--test", "seq", "--json"],
                                        r"\.\.\. Initialize +Sequential Read")  # the warm-up
    process.send_signal(signal.SIGINT)
    time.sleep(0.2)
    process.send_signal(signal.SIGINT)
    second = time.time()
    stdout, stderr = finish(process, lines)
    took = time.time() - second
    check("a second Ctrl+C exits 130", process.returncode == 130, stderr[-300:])
    check("a second Ctrl+C says it stops now", "Stopping now" in stderr, stderr[-300:])
    check("a second Ctrl+C ends the pass at once (%.2f s, the window is %.1f s)" % (took, window_s), took < window_s)
    document = check_json("run stopped twice", stdout, "run")
    if document is not None:
        check("run stopped twice: the cut pass counts for nothing", document["SR"] is None and document["SW"] is None)
    check("run stopped twice: nothing left", leftovers() == [], leftovers())


def test_dumb_terminal():
    output, rc = run_in_pty(["--drive", DRIVE, "--length", "0", "--test", "access"], 40, "dumb")
    text = output.decode("utf-8", "replace")
    check("TERM=dumb: the run exits 0", rc == 0, text[-300:])
    check("TERM=dumb: no escape sequences", "\x1b" not in text, repr(text[:200]))
    # The terminal turns each line feed into CR LF; a carriage return of the program's own would
    # stand alone.
    check("TERM=dumb: no carriage returns but line ends", "\r" not in text.replace("\r\n", "\n"), repr(text[:200]))
    lines = text.replace("\r\n", "\n").split("\n")
    check("TERM=dumb: a line per status", "Random Read 4KB 1/1" in lines, lines[:10])
    check("--test access: the 4K row shows '-' in both columns",
          any(re.fullmatch(r"4K +- +-", line) for line in lines), [l for l in lines if l.startswith("4K")])
    check("the table explains the dash and the unit",
          any("marks what this run" in line for line in lines) and any("KiB per" in line for line in lines))
    check("TERM=dumb: the table fits 40 columns",
          all(len(line) <= 40 for line in lines if not line.startswith("Korvanel ")), [l for l in lines if len(l) > 40])


def test_forty_columns():
    # A full quick run in a 40-column window: one progress row at any moment, and a table that
    # needs no wrapping.
    most = [0]

    def count(rows):
        most[0] = max(most[0], len(progress_rows(rows)))

    final = run_in_tmux(["--drive", DRIVE, "--length", "0"], 40, count)
    check("40 columns: the run ends", final is not None)
    if final is None:
        return
    check("40 columns: the run exits 0", "EXIT=0" in final, final[-5:])
    check("40 columns: the progress stays on one row", most[0] == 1, most[0])
    table = [row for row in final if not row.startswith("Korvanel ") and not row.startswith("EXIT=")]
    check("40 columns: no table row wraps", all(len(row) <= 40 for row in table), [r for r in table if len(r) > 40])
    check("40 columns: all rows and the ratings are there",
          all(any(row.startswith(label) for row in table)
              for label in ("Sequential", "4K", "512K", "64 X 4K", "Access time", "Benchmark"))
          and any(re.fullmatch(r" +\(\d+\.\d\)", row) for row in table), table)
    check("40 columns: nothing left", leftovers() == [], leftovers())


def test_resize():
    # The window narrows from 70 to 30 columns while the run shows its progress: the line follows,
    # and no piece of the wider line stays behind.
    state = {"resized_at": None, "most_after": 0}

    def resize_once(rows):
        if state["resized_at"] is None and progress_rows(rows):
            tmux("resize-window", "-t", "cli", "-x", "30")
            state["resized_at"] = time.time()
        elif state["resized_at"] is not None and time.time() - state["resized_at"] > 0.3:
            state["most_after"] = max(state["most_after"], len(progress_rows(rows)))
            for row in rows:
                if re.search(r"\d+%  \d+:\d\d left", row) and len(row) > 29:
                    state["too_wide"] = row

    final = run_in_tmux(["--drive", DRIVE, "--length", "0", "--test", "seq"], 70, resize_once)
    check("resize: the run ends", final is not None)
    if final is None:
        return
    check("resize: the window was narrowed during the run", state["resized_at"] is not None)
    check("resize: one progress row after narrowing", state["most_after"] <= 1, state["most_after"])
    check("resize: the progress line fits the narrower window", "too_wide" not in state, state.get("too_wide"))
    table = [row for row in final if not row.startswith("Korvanel ") and not row.startswith("EXIT=")]
    check("resize: the table fits the narrower window", all(len(row) <= 30 for row in table),
          [r for r in table if len(r) > 30])


def remove_leftovers():
    """Clears the drive after a run that could not clean up, so the cases after it start clean."""
    for name in leftovers():
        shutil.rmtree(os.path.join(DRIVE, name), ignore_errors=True)


def test_file_size_limit():
    # A limit of 50 MiB (ulimit -f, as a container may set) against the 100 MiB test file: the
    # write past it must fail like any other, with the error and the cleanup.
    limited = subprocess.run(["bash", "-c", 'ulimit -f 51200 && exec "$0" "$@"', CLI, "--drive", DRIVE,
                              "--length", "0", "--test", "seq"], env=ENV, cwd=WORK, capture_output=True,
                             text=True, timeout=120)
    check("a file-size limit ends the run with exit 1, not a signal", limited.returncode == 1,
          (limited.returncode, limited.stderr[-300:]))
    check("a file-size limit is reported as a write error with the system's reason",
          "Write Error" in limited.stderr and "File too large" in limited.stderr, limited.stderr[-300:])
    check("a file-size limit leaves nothing behind", leftovers() == [], leftovers())
    remove_leftovers()


def test_one_column_cjk():
    # A terminal one column wide, Japanese by the locale: every label and the date take two columns
    # a character. The run must end with its table, one character a line, in bounded memory.
    env = dict(ENV, LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8", XDG_CONFIG_HOME=os.path.join(WORK, "ja-config"))
    # AddressSanitizer reserves terabytes of address space; there only the time bounds the run.
    memory = None if os.environ.get("KORVANEL_SANITIZED") else 1 << 30
    output, rc = run_in_pty(["--drive", DRIVE, "--length", "0", "--test", "access"], 1, "xterm", env=env,
                            memory_bytes=memory)
    text = output.decode("utf-8", "replace")
    check("1 column, Japanese: the run exits 0", rc == 0, (rc, text[-200:]))
    lines = text.replace("\r\n", "\n").split("\n")
    check("1 column, Japanese: the notes end the output, the date's wide characters one a line",
          "年" in lines and "月" in lines, lines[-12:])
    check("1 column, Japanese: nothing left", leftovers() == [], leftovers())
    remove_leftovers()


def json_rate(stdout, key):
    document = json.loads(stdout)
    return document[key] or 0


def test_paused_pass():
    # The process is stopped during the measured read pass and continued 4 s later (Ctrl+Z, fg):
    # that pass must not count its pause as transfer time. It runs again, and the user is told.
    reference = run("--drive", DRIVE, "--length", "0", "--test", "seq", "--json")
    process, lines = start_and_wait_for(["--drive", DRIVE, "--length", "0", "--test", "seq", "--json"],
                                        r"Sequential Read 1/1")
    time.sleep(0.2)
    process.send_signal(signal.SIGSTOP)
    time.sleep(4)
    process.send_signal(signal.SIGCONT)
    stdout, stderr = finish(process, lines)
    check("a paused run exits 0", process.returncode == 0, stderr[-300:])
    check("the paused pass is named and runs again",
          "Sequential Read 1/1 was paused" in stderr and "runs again" in stderr, stderr[-400:])
    check("the paused pass's status shows twice", stderr.splitlines().count("Sequential Read 1/1") == 2,
          stderr[-400:])
    document = check_json("paused run", stdout, "run")
    if document is not None and reference.returncode == 0:
        paused, normal = document["SR"] or 0, json_rate(reference.stdout, "SR")
        # A pause of 4 s counted in a 0.6 s window would read at most a sixth of the rate.
        check("the paused pass's pause is not in the rate (%.0f against %.0f MB/s)" % (paused, normal),
              paused > normal / 3, (paused, normal))
    check("paused run: nothing left", leftovers() == [], leftovers())


def test_names_that_are_not_utf8():
    # A directory named with bytes that are no UTF-8 (FF FE): the JSON must stay valid UTF-8.
    odd = os.path.join(WORK.encode(), b"drive-\xff\xfe")
    os.mkdir(odd)
    try:
        done = subprocess.run([CLI.encode(), b"--drive", odd, b"--length", b"0", b"--test", b"access", b"--json"],
                              env=ENV, cwd=WORK, capture_output=True, timeout=120)
        try:
            document = json.loads(done.stdout.decode("utf-8"))
        except ValueError as error:
            document = None
            check("a directory name that is no UTF-8: the JSON is valid UTF-8", False, error)
        if document is not None:
            check("a directory name that is no UTF-8: each odd byte is U+FFFD",
                  document["target"]["directory"].endswith("drive-\ufffd\ufffd"), document["target"])
            check("a directory name that is no UTF-8: matches the schema", not schema_errors(document, "run"))
        check("a directory name that is no UTF-8: nothing left", os.listdir(odd) == [], os.listdir(odd))
    finally:
        shutil.rmtree(odd, ignore_errors=True)


def without_own_sequences(text):
    """`text` without the sequences the progress line itself writes (erase line, erase below, up)."""
    return re.sub(r"\x1b\[(K|J|\d+A)", "", text)


def test_hostile_translation():
    # A translation whose texts carry terminal commands: set the title (OSC ... BEL), clear the
    # screen, ask for the cursor position (the terminal would type the answer), and a C1 CSI.
    exported = run("--export-translation", env=dict(ENV, XDG_RUNTIME_DIR=WORK))
    check("--export-translation for the hostile translation", exported.returncode == 0, exported.stderr)
    if exported.returncode != 0:
        return
    with open(exported.stdout.strip(), "rb") as f:
        texts = f.read().decode("utf-16")
    hostile = {18: "Seq\x1b]0;owned\x07uential", 21: "Read\x1b[2J", 22: "Write\x1b[6n",
               6: "Sequential\x9b2J Read"}  # 6: a status, the others labels of the table
    lines = []
    for line in texts.split("\r\n"):
        number = line.split("=", 1)[0]
        replaced = number.isdigit() and int(number) in hostile
        lines.append(number + "=" + hostile[int(number)] if replaced else line)
    path = os.path.join(WORK, "hostile.txt")
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le"))
    piped = subprocess.run([CLI, "--load-translation", path, "--drive", DRIVE, "--length", "0", "--test", "seq"],
                           env=ENV, cwd=WORK, capture_output=True, timeout=120)
    both = piped.stdout + piped.stderr
    check("hostile translation: the run exits 0", piped.returncode == 0, piped.stderr[-300:])
    check("hostile translation: its labels are shown escaped",
          b"Seq\\x1B]0;owned\\x07uential" in piped.stdout and b"Read\\x1B[2J" in piped.stdout, piped.stdout[:300])
    check("hostile translation: no control character reaches a pipe",
          not re.search(rb"[\x00-\x08\x0b-\x1f\x7f]|\xc2[\x80-\x9f]", both), both[:300])
    output, rc = run_in_pty(["--load-translation", path, "--drive", DRIVE, "--length", "0", "--test", "seq"], 80,
                            "xterm")
    text = without_own_sequences(output.decode("utf-8", "replace").replace("\r\n", "\n").replace("\r", ""))
    check("hostile translation in a terminal: only the progress line's own sequences",
          rc == 0 and not re.search("[\x00-\x08\x0b-\x1f\x7f\x80-\x9f]", text), repr(text[:300]))
    check("hostile translation: nothing left", leftovers() == [], leftovers())


def test_report_file_checks():
    empty = run("--drive", DRIVE, "--length", "0", "--report-file", "")
    check("--report-file '' is a usage error", empty.returncode == 2 and "needs a value" in empty.stderr,
          empty.stderr)
    check("--report-file '' runs nothing", "testing" not in empty.stderr)
    # /proc takes no new files, also not from root: refused before minutes of benchmark.
    unwritable = run("--drive", DRIVE, "--length", "0", "--report-file", "/proc/korvanel-report.html")
    check("--report-file in a directory that takes no files is refused before the run",
          unwritable.returncode == 2 and "testing" not in unwritable.stderr, unwritable.stderr[-300:])
    if os.getuid() != 0:
        closed = os.path.join(WORK, "closed")
        os.mkdir(closed, 0o555)
        refused = run("--drive", DRIVE, "--length", "0", "--report-file", os.path.join(closed, "page.html"))
        check("--report-file in a directory without write permission is refused before the run",
              refused.returncode == 2 and "Permission denied" in refused.stderr and "testing" not in refused.stderr,
              refused.stderr[-300:])
    # A name of 250 bytes is a valid name; the page is written beside it under a temporary name first.
    long_name = os.path.join(WORK, "r" * 245 + ".html")
    done = run("--drive", DRIVE, "--length", "0", "--test", "access", "--report-file", long_name)
    check("--report-file with a 250-byte name is written", done.returncode == 0 and os.path.isfile(long_name),
          done.stderr[-300:])
    check("--report-file with a 250-byte name leaves no temporary file",
          sorted(n for n in os.listdir(WORK) if n.startswith("rrrr")) == [os.path.basename(long_name)])


def test_settings_file_limits():
    # A Korvanel.ini of 65,530 bytes: storing the test length would make it one the reader refuses.
    config = os.path.join(WORK, "full-config")
    os.makedirs(os.path.join(config, "Korvanel"))
    path = os.path.join(config, "Korvanel", "Korvanel.ini")
    head = b"[Program]\nlng=1\n;"
    near_limit = head + b"x" * (65530 - len(head) - 1) + b"\n"
    with open(path, "wb") as f:
        f.write(near_limit)
    env = dict(ENV, XDG_CONFIG_HOME=config)
    done = run("--drive", DRIVE, "--length", "0", "--test", "access", env=env)
    check("a settings file near its limit: the run still exits 0", done.returncode == 0, done.stderr[-300:])
    check("a settings file near its limit: the refused change is told",
          "it would grow past 64 KiB, more than a settings file may hold (the change is not stored)" in done.stderr,
          done.stderr[:400])
    with open(path, "rb") as f:
        check("a settings file near its limit stays as it was, readable", f.read() == near_limit)
    # Windows writes UTF-16 with a mark: a run stores its length in UTF-16 too, and reads the language.
    with open(path, "wb") as f:
        f.write("\ufeff[Program]\r\nlng=0\r\n".encode("utf-16-le"))
    done = run("--drive", DRIVE, "--length", "1", "--test", "access", "--lang", "1", env=env)
    with open(path, "rb") as f:
        stored = f.read()
    check("a UTF-16 settings file is written back in UTF-16",
          stored == "\ufeff[Program]\r\nlng=1\r\ntest_time_id=1\r\n".encode("utf-16-le"), stored)
    check("nothing left after the settings runs", leftovers() == [], leftovers())


def test_readme_examples():
    with open(os.path.join(SOURCE, "README.md")) as f:
        blocks = re.findall(r"```json\n(.*?)```", f.read(), re.S)
    check("the README shows a run and a drive list as JSON", len(blocks) == 2, len(blocks))
    if len(blocks) == 2:
        check_json("README run example", blocks[0], "run")
        check_json("README drive list example", blocks[1], "drives")


def main():
    if shutil.which("tmux") is None:
        print("tmux is missing (scripts/deps.txt installs it)")
        return 1
    try:
        for test in (test_version_and_language_alone, test_listing_and_usage, test_readme_examples,
                     test_completed_run_json, test_failed_run, test_results_to_a_full_disk,
                     test_first_stop, test_second_stop, test_dumb_terminal, test_forty_columns, test_resize,
                     test_file_size_limit, test_one_column_cjk, test_paused_pass, test_names_that_are_not_utf8,
                     test_hostile_translation, test_report_file_checks, test_settings_file_limits):
            print("# " + test.__name__)
            try:
                test()
            except Exception as error:  # a layout that is not what the test expects
                check(test.__name__ + " ran to its end", False, repr(error))
    finally:
        tmux("kill-server")
        shutil.rmtree(WORK, ignore_errors=True)
    print("%d passed, %d failed" % (results["passed"], results["failed"]))
    return 0 if results["failed"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
