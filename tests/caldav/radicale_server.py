#!/usr/bin/python3
"""Radicale for the sync tests: on 127.0.0.1, on a free port, with its own
storage folder and one htpasswd user, in a folder of the test's own.

  radicale_server.py start DIR USER PASSWORD  prints the server's address once it answers
  radicale_server.py restart DIR              the same server again, on the same port
  radicale_server.py kill DIR                 SIGKILL, as a crash
  radicale_server.py stop DIR                 SIGTERM, then SIGKILL; harmless when not running
  radicale_server.py seed DIR USER NAME COUNT   a calendar NAME of COUNT events, written into
                                              the storage folder as Radicale keeps it (one
                                              PUT of each would take minutes)
"""
import json
import os
import signal
import socket
import subprocess
import sys
import time


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def answers(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.5) as s:
            s.sendall(b"OPTIONS / HTTP/1.0\r\n\r\n")
            return s.recv(12).startswith(b"HTTP/")
    except OSError:
        return False


def write_config(d, port):
    with open(os.path.join(d, "config"), "w") as f:
        f.write(f"""[server]
hosts = 127.0.0.1:{port}
[auth]
type = htpasswd
htpasswd_filename = {d}/users
htpasswd_encryption = plain
delay = 0
[storage]
filesystem_folder = {d}/storage
[rights]
type = owner_only
[web]
type = none
[logging]
level = warning
""")


def launch(d, port):
    """Starts the server and waits for it; False when it ended instead."""
    write_config(d, port)
    log = open(os.path.join(d, "radicale.log"), "ab")
    proc = subprocess.Popen(["/usr/bin/python3", "-m", "radicale", "--config", os.path.join(d, "config")],
                            stdin=subprocess.DEVNULL, stdout=log, stderr=log, cwd=d, start_new_session=True)
    with open(os.path.join(d, "pid"), "w") as f:
        f.write(str(proc.pid))
    with open(os.path.join(d, "port"), "w") as f:
        f.write(str(port))
    for _ in range(300):
        if proc.poll() is not None:
            return False
        if answers(port):
            return True
        time.sleep(0.1)
    proc.kill()
    return False


def pid_of(d):
    try:
        with open(os.path.join(d, "pid")) as f:
            return int(f.read())
    except (OSError, ValueError):
        return None


def end(d, sig):
    pid = pid_of(d)
    if pid is None:
        return
    try:
        os.kill(pid, sig)
        for _ in range(100):
            os.kill(pid, 0)
            # Our own child only when run by the same process; otherwise poll.
            try:
                if os.waitpid(pid, os.WNOHANG)[0] == pid:
                    break
            except ChildProcessError:
                pass
            time.sleep(0.05)
        else:
            os.kill(pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    os.remove(os.path.join(d, "pid"))


def main():
    cmd, d = sys.argv[1], os.path.abspath(sys.argv[2])
    if cmd == "start":
        user, password = sys.argv[3], sys.argv[4]
        os.makedirs(os.path.join(d, "storage"), exist_ok=True)
        with open(os.path.join(d, "users"), "w") as f:
            f.write(f"{user}:{password}\n")
        # A free port can be taken between the look and the start: try again.
        for _ in range(5):
            port = free_port()
            if launch(d, port):
                print(f"http://127.0.0.1:{port}/")
                return 0
            end(d, signal.SIGKILL)
        print("radicale did not start; see " + os.path.join(d, "radicale.log"), file=sys.stderr)
        return 1
    if cmd == "restart":
        with open(os.path.join(d, "port")) as f:
            port = int(f.read())
        if launch(d, port):
            print(f"http://127.0.0.1:{port}/")
            return 0
        print("radicale did not start again; see " + os.path.join(d, "radicale.log"), file=sys.stderr)
        return 1
    if cmd == "seed":
        user, name, count = sys.argv[3], sys.argv[4], int(sys.argv[5])
        folder = os.path.join(d, "storage", "collection-root", user, name)
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, ".Radicale.props"), "w") as f:
            json.dump({"tag": "VCALENDAR", "D:displayname": name}, f)
        for i in range(count):
            with open(os.path.join(folder, f"seed-{i}.ics"), "w", newline="") as f:
                f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Remindo tests//seed//EN\r\n"
                        f"BEGIN:VEVENT\r\nUID:seed-{i}\r\nDTSTAMP:20261201T120000Z\r\n"
                        f"DTSTART;VALUE=DATE:20270101\r\nSUMMARY:Event {i}\r\n"
                        "END:VEVENT\r\nEND:VCALENDAR\r\n")
        return 0
    if cmd == "kill":
        end(d, signal.SIGKILL)
        return 0
    if cmd == "stop":
        end(d, signal.SIGTERM)
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
