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

def run_in_pty(args, columns, term):
    """Runs the CLI with stdout and stderr on a pseudo-terminal of `columns`; returns (bytes, rc)."""
    master, slave = pty.openpty()
    fcntl.ioctl(master, termios.TIOCSWINSZ, struct.pack("HHHH", 40, columns, 0, 0))
    env = dict(ENV, TERM=term)
    process = subprocess.Popen([CLI, *args], stdin=slave, stdout=slave, stderr=slave, env=env, cwd=WORK,
                               start_new_session=True)
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
                     test_completed_run_json, test_failed_run, test_first_stop, test_second_stop,
                     test_dumb_terminal, test_forty_columns, test_resize):
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
