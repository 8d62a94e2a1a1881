#!/usr/bin/python3
"""A misbehaving front for the server, on 127.0.0.1, for the fault tests.
Prints its port on the first line, then serves until killed.

  proxy.py stall SECONDS LOG      reads a request and answers nothing for SECONDS;
                                  writes "accepted" and, when the stall ends, "released" to LOG
  proxy.py cut BYTES PORT         passes requests to 127.0.0.1:PORT, and only the first
                                  BYTES of each answer back before closing
  proxy.py tls DIR PORT           TLS with a certificate of its own (made in DIR, trusted
                                  by nobody) in front of 127.0.0.1:PORT
  proxy.py redirect LOCATION      answers every request with 301 to LOCATION
  proxy.py hook PORT TEXT COMMAND...
                                  passes requests to 127.0.0.1:PORT, and runs COMMAND once,
                                  to its end, before the first PUT or DELETE holding TEXT goes on
"""
import os
import socket
import ssl
import subprocess
import sys
import threading
import time


def read_request(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(65536)
        if not chunk:
            return data
        data += chunk
    head, _, body = data.partition(b"\r\n\r\n")
    length = 0
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value.strip())
    while len(body) < length:
        chunk = conn.recv(65536)
        if not chunk:
            break
        body += chunk
    return head + b"\r\n\r\n" + body


def note(log, word):
    with open(log, "a") as f:
        f.write(word + "\n")


hook_lock = threading.Lock()
hook_ran = False


def forward(conn, port, limit=None, hook=None):
    global hook_ran
    request = read_request(conn)
    if hook and request.split(b" ", 1)[0] in (b"PUT", b"DELETE") and hook[0].encode() in request:
        with hook_lock:
            if not hook_ran:
                hook_ran = True
                subprocess.run(hook[1:], check=False)
    # One request a connection, answered whole before the next.
    head, _, body = request.partition(b"\r\n\r\n")
    lines = [l for l in head.split(b"\r\n") if not l.lower().startswith(b"connection:")]
    request = b"\r\n".join(lines) + b"\r\nConnection: close\r\n\r\n" + body
    with socket.create_connection(("127.0.0.1", port)) as up:
        up.sendall(request)
        answer = b""
        while True:
            chunk = up.recv(65536)
            if not chunk:
                break
            answer += chunk
    if limit is not None:
        answer = answer[:limit]
    head, _, body = answer.partition(b"\r\n\r\n")
    lines = [l for l in head.split(b"\r\n") if not l.lower().startswith(b"connection:")]
    conn.sendall(b"\r\n".join(lines) + b"\r\nConnection: close\r\n\r\n" + body if limit is None else answer)


def serve(conn, mode, args):
    try:
        if mode == "stall":
            read_request(conn)
            note(args[1], "accepted")
            time.sleep(float(args[0]))
            note(args[1], "released")
        elif mode == "cut":
            forward(conn, int(args[1]), int(args[0]))
        elif mode == "tls":
            forward(conn, int(args[1]))
        elif mode == "hook":
            forward(conn, int(args[0]), hook=args[1:])
        elif mode == "redirect":
            read_request(conn)
            conn.sendall(b"HTTP/1.1 301 Moved Permanently\r\nLocation: " + args[0].encode() +
                         b"\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
    except (OSError, ssl.SSLError):
        pass
    finally:
        try:
            conn.close()
        except OSError:
            pass


def main():
    mode, args = sys.argv[1], sys.argv[2:]
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    context = None
    if mode == "tls":
        d = args[0]
        cert, key = os.path.join(d, "cert.pem"), os.path.join(d, "key.pem")
        if not os.path.exists(cert):
            subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                            "-out", cert, "-days", "2", "-subj", "/CN=127.0.0.1",
                            "-addext", "subjectAltName=IP:127.0.0.1"],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
    print(listener.getsockname()[1], flush=True)
    while True:
        conn, _ = listener.accept()
        if context is not None:
            try:
                conn = context.wrap_socket(conn, server_side=True)
            except (OSError, ssl.SSLError):
                conn.close()
                continue
        threading.Thread(target=serve, args=(conn, mode, args), daemon=True).start()


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit(0)
