#!/usr/bin/env python3
"""The tests' local HTTP and HTTPS server, on 127.0.0.1 only, recording every request.

    http-test-server.py start FOLDER PORT   empties FOLDER but for its certificates (two CAs and
                                            a server certificate from each, in FOLDER/certs,
                                            made anew when missing or within two days of
                                            their end), starts the server in the background
                                            (the CTest fixture HttpServer) and returns once it
                                            listens; fails when a port is taken
    http-test-server.py stop FOLDER         ends the server that `start` left running in FOLDER
    http-test-server.py serve FOLDER PORT   the server itself, in the foreground

Ports, from PORT on:
    PORT      HTTP
    PORT + 1  HTTPS, with a certificate for 127.0.0.1 and localhost that the test CA
              FOLDER/certs/test-ca.pem (DER: test-ca.der) issued: no system trusts it, a test
              may trust it for itself
    PORT + 2  HTTPS, the same from FOLDER/certs/untrusted-ca.pem, which no test trusts
    PORT + 3  silent: accepts connections, never reads or writes (no TLS either)
    PORT + 4  refused: bound but not listening, so a connection is refused

What the HTTP and HTTPS ports answer, by the request's path:
    /status/NNN...   status NNN (a 3xx with Location: /followed<the rest>)
    /hang...         nothing: the request is read and recorded, the connection held open
    /drip...         an answer that never ends its header, a byte every half second
    anything else    200

FOLDER/requests.log gets, in the order they happen, one block per request
    request PORT / method M / target HEX / header NAME: VALUE ... / body HEX / end
(target and body as hexadecimal bytes, exactly as received) and one line per HTTPS connection
when it ends: "connection PORT REQUESTS OUTCOME", OUTCOME "tls-ok" or "tls-failed: REASON".

The server stops by itself three hours after it started.
"""

import http.server
import os
import signal
import socket
import socketserver
import ssl
import subprocess
import sys
import threading
import time

LIFETIME = 3 * 3600
HOST = "127.0.0.1"


def usage():
    sys.stderr.write(__doc__)
    sys.exit(2)


def run(command, folder):
    done = subprocess.run(command, cwd=folder, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit("%s failed:\n%s%s" % (" ".join(command), done.stdout, done.stderr))


def make_certificates(folder, ca, common_name):
    """A CA and a server certificate it issued for 127.0.0.1 and localhost (RSA, which every TLS
    stack takes), valid for 30 days from now: FOLDER/CA.pem (and .der), CA-server.pem and .key."""
    run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30",
         "-keyout", ca + ".key", "-out", ca + ".pem", "-subj", "/CN=" + common_name,
         "-addext", "basicConstraints=critical,CA:TRUE",
         "-addext", "keyUsage=critical,keyCertSign,cRLSign"], folder)
    run(["openssl", "x509", "-in", ca + ".pem", "-outform", "DER", "-out", ca + ".der"], folder)
    with open(os.path.join(folder, "server.ext"), "w") as ext:
        ext.write("basicConstraints=CA:FALSE\n"
                  "keyUsage=critical,digitalSignature,keyEncipherment\n"
                  "extendedKeyUsage=serverAuth\n"
                  # Wine's crypt32 matches an address against DNS names only: both forms.
                  "subjectAltName=IP:127.0.0.1,DNS:127.0.0.1,DNS:localhost\n"
                  "subjectKeyIdentifier=hash\n"
                  "authorityKeyIdentifier=keyid\n")
    server = ca + "-server"
    run(["openssl", "req", "-new", "-newkey", "rsa:2048", "-nodes", "-keyout", server + ".key",
         "-out", server + ".csr", "-subj", "/CN=127.0.0.1"], folder)
    run(["openssl", "x509", "-req", "-in", server + ".csr", "-CA", ca + ".pem",
         "-CAkey", ca + ".key", "-CAcreateserial", "-days", "30", "-extfile", "server.ext",
         "-out", server + ".pem"], folder)


def valid_for_two_days(folder, ca):
    files = [os.path.join(folder, ca + suffix) for suffix in
             (".pem", ".der", "-server.pem", "-server.key")]
    return all(os.path.exists(name) for name in files) and all(
        subprocess.run(["openssl", "x509", "-checkend", str(2 * 86400), "-noout", "-in", name],
                       capture_output=True).returncode == 0 for name in files[::2])


class Recorder:
    def __init__(self, path):
        self.path = path
        self.lock = threading.Lock()
        open(path, "w").close()

    def write(self, text):
        with self.lock, open(self.path, "a") as log:
            log.write(text)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    timeout = 60  # a connection that sends nothing for this long is dropped

    def log_message(self, format, *args):  # noqa: A002 (the base class's name)
        pass

    def read_body(self):
        if "chunked" in self.headers.get("Transfer-Encoding", "").lower():
            body = b""
            while True:
                size = int(self.rfile.readline().split(b";")[0], 16)
                body += self.rfile.read(size)
                self.rfile.readline()
                if size == 0:
                    return body
        return self.rfile.read(int(self.headers.get("Content-Length", "0")))

    def answer(self):
        body = self.read_body()
        port = self.server.server_address[1]
        lines = ["request %d" % port, "method " + self.command,
                 "target " + self.path.encode("latin-1").hex()]
        lines += ["header %s: %s" % (name, value) for name, value in self.headers.items()]
        lines += ["body " + body.hex(), "end"]
        self.server.recorder.write("\n".join(lines) + "\n")
        if self.server.context is not None:
            counts = self.server.requests_on_connection
            counts[self.connection] = counts.get(self.connection, 0) + 1
        if self.path.startswith("/hang"):
            self.server.stopping.wait(600)
            self.close_connection = True
            return
        if self.path.startswith("/drip"):
            self.drip()
            return
        status = 200
        location = None
        if self.path.startswith("/status/"):
            status = int(self.path[len("/status/"):len("/status/") + 3])
            if 300 <= status < 400:
                location = "/followed" + self.path[len("/status/") + 3:]
        text = ("status %d\n" % status).encode("ascii")
        self.send_response(status)
        if location:
            self.send_header("Location", location)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(text)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(text)
        self.close_connection = True

    def drip(self):
        """An answer that never ends its header, one byte every half second (for at most two
        minutes, or until the client goes): no single read waits long, the whole never comes."""
        text = b"HTTP/1.1 200 OK\r\nX-Drip: "
        deadline = time.monotonic() + 120
        sent = 0
        try:
            while not self.server.stopping.wait(0.5) and time.monotonic() < deadline:
                self.wfile.write(text[sent:sent + 1] if sent < len(text) else b"x")
                sent += 1
        except OSError:
            pass
        self.close_connection = True

    do_GET = do_POST = do_PUT = do_DELETE = do_PATCH = answer

    def do_HEAD(self):
        self.answer()


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, recorder, stopping, context=None):
        self.recorder = recorder
        self.stopping = stopping
        self.context = context
        self.requests_on_connection = {}
        super().__init__((HOST, port), Handler)

    def finish_request(self, request, client_address):
        if self.context is None:
            return super().finish_request(request, client_address)
        port = self.server_address[1]
        # The handshake in the connection's own thread: a client that stalls holds no other.
        try:
            request.settimeout(Handler.timeout)
            connection = self.context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError) as error:
            self.recorder.write("connection %d 0 tls-failed: %s\n" % (port, error))
            return
        try:
            super().finish_request(connection, client_address)
        finally:
            count = self.requests_on_connection.pop(connection, 0)
            self.recorder.write("connection %d %d tls-ok\n" % (port, count))
            connection.close()


def serve(folder, port):
    stopping = threading.Event()
    recorder = Recorder(os.path.join(folder, "requests.log"))
    contexts = []
    for ca in ("test-ca", "untrusted-ca"):
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(os.path.join(folder, "certs", ca + "-server.pem"),
                                os.path.join(folder, "certs", ca + "-server.key"))
        contexts.append(context)
    try:
        plain = Server(port, recorder, stopping)
        secure = Server(port + 1, recorder, stopping, contexts[0])
        untrusted = Server(port + 2, recorder, stopping, contexts[1])
        silent = socket.create_server((HOST, port + 3))
        refused = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        refused.bind((HOST, port + 4))
    except OSError as error:
        sys.exit("cannot listen on 127.0.0.1, ports %d to %d: %s (another program holds one: "
                 "choose others with -DDUPLORA_HTTP_PORT=...)" % (port, port + 4, error))

    held = []

    def hold():
        silent.settimeout(1)
        while not stopping.is_set():
            try:
                held.append(silent.accept()[0])
            except socket.timeout:
                pass

    servers = (plain, secure, untrusted)
    threads = [threading.Thread(target=server.serve_forever, args=(0.1,), daemon=True)
               for server in servers]
    threads.append(threading.Thread(target=hold, daemon=True))
    for thread in threads:
        thread.start()
    signal.signal(signal.SIGTERM, lambda *_: stopping.set())
    with open(os.path.join(folder, "ready"), "w") as ready:
        ready.write("%d\n" % os.getpid())
    stopping.wait(LIFETIME)
    stopping.set()
    for server in servers:
        server.shutdown()
    for connection in held:
        connection.close()
    refused.close()


def ours(folder):
    """The server process of FOLDER, when one runs (not a process that took its number since)."""
    try:
        with open(os.path.join(folder, "server.pid")) as pid_file:
            pid = int(pid_file.read())
        with open("/proc/%d/cmdline" % pid, "rb") as cmdline:
            words = cmdline.read().split(b"\0")
    except (OSError, ValueError):
        return None
    if os.path.abspath(__file__).encode() in words and b"serve" in words and \
            folder.encode() in words:
        return pid
    return None


def stop(folder):
    pid = ours(folder)
    if pid is None:
        return
    os.kill(pid, signal.SIGTERM)
    for _ in range(50):
        if ours(folder) is None:
            return
        time.sleep(0.1)
    os.kill(pid, signal.SIGKILL)


def start(folder, port):
    stop(folder)
    certs = os.path.join(folder, "certs")
    os.makedirs(certs, exist_ok=True)
    for name in os.listdir(folder):
        if name != "certs":
            subprocess.run(["rm", "-rf", os.path.join(folder, name)], check=True)
    for ca, common_name in (("test-ca", "Duplora test CA"),
                            ("untrusted-ca", "Duplora untrusted test CA")):
        if not valid_for_two_days(certs, ca):
            make_certificates(certs, ca, common_name)
    output = open(os.path.join(folder, "server.out"), "w")
    # A session of its own, writing to files only: it outlives this step, and CTest does not
    # wait for it.
    server = subprocess.Popen([sys.executable, os.path.abspath(__file__), "serve", folder,
                               str(port)], stdin=subprocess.DEVNULL, stdout=output,
                              stderr=subprocess.STDOUT, start_new_session=True)
    with open(os.path.join(folder, "server.pid"), "w") as pid_file:
        pid_file.write("%d\n" % server.pid)
    deadline = time.monotonic() + 20
    while not os.path.exists(os.path.join(folder, "ready")):
        if server.poll() is not None or time.monotonic() > deadline:
            if server.poll() is None:
                server.kill()
            with open(os.path.join(folder, "server.out")) as out:
                sys.exit("the HTTP test server did not start:\n" + out.read())
        time.sleep(0.05)


def main():
    if len(sys.argv) < 3:
        usage()
    command, folder = sys.argv[1], os.path.abspath(sys.argv[2])
    if command in ("start", "serve"):
        if len(sys.argv) != 4 or not sys.argv[3].isdigit():
            usage()
        port = int(sys.argv[3])
        (start if command == "start" else serve)(folder, port)
    elif command == "stop" and len(sys.argv) == 3:
        stop(folder)
    else:
        usage()


if __name__ == "__main__":
    main()
