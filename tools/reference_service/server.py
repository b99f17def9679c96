#!/usr/bin/env python3
"""Reference application service: a loopback HTTP/1.1 server that plays the
vendor's application service for the tests, the benchmarks and the demo, and
injects the faults a real network produces. The contract is README.md.

The HTTP layer is written out here rather than taken from http.server, so that
the service sees requests byte for byte as they arrived (for /echo and /_log)
and controls exactly what goes back, faults included.
"""

import argparse
import html
import http
import os
import socket
import socketserver
import ssl
import sys
import threading
import time
import urllib.parse

import app_api
import content

MAX_HEAD = 4 * 1024 * 1024
MAX_BODY = 64 * 1024 * 1024
IDLE_SECONDS = 300
# Parameters that belong to the service itself on every endpoint.
SERVICE_PARAMS = ("tag", "delay_ms")


class BadRequest(Exception):
    def __init__(self, status, message):
        super().__init__(message)
        self.status = status


class Request:
    """One request as received: the raw head, its parts and the body."""

    def __init__(self, head, method, target, version, headers, body):
        self.head = head
        self.method = method
        self.target = target
        self.version = version
        self.headers = headers
        self.body = body
        split = urllib.parse.urlsplit(target)
        # An absolute target is what a client sends through a proxy.
        self.proxied = split.scheme.lower() in ("http", "https") and bool(split.netloc)
        self.path = urllib.parse.unquote(split.path if self.proxied else target.split("?", 1)[0])
        query = split.query if self.proxied else (target.split("?", 1)[1] if "?" in target else "")
        # Latin-1 keeps every percent-encoded byte as it is, zero bytes included.
        self.query = urllib.parse.parse_qsl(query, keep_blank_values=True, encoding="latin-1")
        self.params = {}
        for name, value in self.query:
            self.params.setdefault(name, value)

    def header(self, name):
        for key, value in self.headers:
            if key.lower() == name.lower():
                return value
        return None

    def wants_close(self):
        connection = (self.header("Connection") or "").lower()
        if self.version == "HTTP/1.0":
            return "keep-alive" not in connection
        return "close" in connection


class Response:
    """Status, header lines and a body: bytes, or a streamed content with
    the range, length and fault settings to send it with."""

    def __init__(self, status, headers=(), body=b"", reason=None):
        self.status = status
        self.reason = reason or _reason(status)
        self.headers = list(headers)
        self.body = body
        # Header lines sent exactly as given after the others (/respond).
        self.raw_headers = None
        self.close = False


def _reason(status):
    try:
        return http.HTTPStatus(status).phrase
    except ValueError:
        return "Status"


def html_page(status, text=None):
    title = f"{status} {_reason(status)}"
    body = f"<html><head><title>{title}</title></head><body><h1>{title}</h1>"
    if text:
        body += f"<p>{html.escape(text)}</p>"
    body += "</body></html>\n"
    return Response(status, [("Content-Type", "text/html")], body.encode("latin-1", "replace"))


# --- reading requests --------------------------------------------------------

def read_line(stream, budget):
    line = stream.readline(budget + 1)
    if len(line) > budget:
        raise BadRequest(431, "request head too large")
    return line


def read_request(stream):
    """The next request of the connection, or None at its clean end."""
    budget = MAX_HEAD
    line = read_line(stream, budget)
    while line in (b"\r\n", b"\n"):  # stray empty lines before a request
        line = read_line(stream, budget)
    if not line:
        return None
    head = bytearray(line)
    parts = line.decode("latin-1").rstrip("\r\n").split(" ")
    if len(parts) != 3 or not parts[2].startswith("HTTP/"):
        raise BadRequest(400, "malformed request line")
    method, target, version = parts
    headers = []
    while True:
        line = read_line(stream, budget - len(head))
        if not line:
            raise BadRequest(400, "connection closed inside the request head")
        head += line
        text = line.decode("latin-1").rstrip("\r\n")
        if not text:
            break
        name, colon, value = text.partition(":")
        if colon:
            headers.append((name.strip(), value.strip()))
    request = Request(bytes(head), method, target, version, headers, b"")
    request.body = read_body(stream, request)
    return request


def read_body(stream, request):
    if "chunked" in (request.header("Transfer-Encoding") or "").lower():
        return read_chunked(stream)
    length = request.header("Content-Length")
    if length is None:
        return b""
    if not length.isdigit():
        raise BadRequest(400, "bad Content-Length")
    if int(length) > MAX_BODY:
        raise BadRequest(413, "request body too large")
    body = stream.read(int(length))
    if len(body) != int(length):
        raise BadRequest(400, "connection closed inside the request body")
    return body


def read_chunked(stream):
    body = bytearray()
    while True:
        size_line = read_line(stream, 1024).split(b";", 1)[0].strip()
        try:
            size = int(size_line, 16)
        except ValueError:
            raise BadRequest(400, "bad chunk size") from None
        if size == 0:
            while read_line(stream, MAX_HEAD) not in (b"\r\n", b"\n", b""):
                pass
            return bytes(body)
        if len(body) + size > MAX_BODY:
            raise BadRequest(413, "request body too large")
        body += stream.read(size)
        stream.readline(3)


# --- ranges ------------------------------------------------------------------

class Unsatisfiable(Exception):
    pass


def parse_range(value, size):
    """(start, end) for a single byte range, end exclusive; None when there is
    no usable range header (the whole body is sent)."""
    if value is None:
        return None
    unit, _, spec = value.strip().partition("=")
    if unit.strip().lower() != "bytes" or "," in spec:
        return None
    first, dash, last = spec.strip().partition("-")
    first, last = first.strip(), last.strip()
    if not dash or not (first.isdigit() or (not first and last.isdigit())):
        return None
    if not first:  # the last N bytes
        n = int(last)
        if n == 0:
            raise Unsatisfiable()
        return max(0, size - n), size
    start = int(first)
    if last and not last.isdigit():
        return None
    if last and int(last) < start:
        return None
    if start >= size:
        raise Unsatisfiable()
    end = min(size, int(last) + 1) if last else size
    return start, end


# The sample application's program, published with its SHA-256 and size.
PROGRAM_NAME = "StarlitPad.exe"

# The date files and blobs give as their Last-Modified when asked to.
LAST_MODIFIED = "Tue, 01 Dec 2026 10:00:00 GMT"


def content_response(request, body, name, default_rate=None):
    """A file or blob, with ranges and the faults the query asks for; a body
    without a rate of its own trickles at default_rate when one is set."""
    params = request.params
    headers = [
        ("Content-Type", "application/octet-stream"),
        ("Content-Disposition", f'attachment; filename="{name.replace(chr(34), "")}"'),
        ("Accept-Ranges", "bytes"),
    ]
    validators = []
    if "etag" in params:
        validators.append(("ETag", '"%s"' % params["etag"].replace('"', "")))
    if params.get("last_modified") == "1":
        validators.append(("Last-Modified", LAST_MODIFIED))
    headers += validators
    # A range asked on the condition of a validator this answer does not
    # carry is ignored: the whole file, as the file may have changed.
    if_range = request.header("If-Range")
    range_holds = if_range is None or if_range in [value for _, value in validators]
    try:
        ignore = params.get("ignore_range") == "1" or not range_holds
        wanted = None if ignore else parse_range(request.header("Range"), body.size)
    except Unsatisfiable:
        return Response(416, [("Content-Range", f"bytes */{body.size}")])
    start, end = wanted if wanted else (0, body.size)
    response = Response(206 if wanted else 200, headers)
    if wanted:
        response.headers.append(("Content-Range", f"bytes {start}-{end - 1}/{body.size}"))
    response.body = StreamedBody(body, start, end)
    if params.get("no_length") == "1":
        response.body.announce = False
        response.close = True
    if "drop" in params:
        response.body.limit = _non_negative(params["drop"])
        response.close = True
    if "stall" in params:
        response.body.limit = _non_negative(params["stall"])
        response.body.stall = True
        response.close = True
    if "chunked_cut" in params:
        response.headers.append(("Transfer-Encoding", "chunked"))
        response.body.announce = False
        response.body.chunked = True
        response.body.limit = _non_negative(params["chunked_cut"])
        response.close = True
    if "pause" in params:
        response.body.pause_at = _non_negative(params["pause"])
        response.body.pause_seconds = _non_negative(params.get("pause_for", "3"))
    if "rate" in params:
        response.body.rate = max(1, _non_negative(params["rate"]))
    elif default_rate:
        response.body.rate = default_rate
    return response


def _non_negative(text):
    return int(text) if text.isdigit() else 0


STALL_SECONDS = 300


class StreamedBody:
    def __init__(self, source, start, end):
        self.source = source
        self.start = start
        self.end = end
        self.announce = True  # send Content-Length
        self.limit = None     # drop after this many bytes
        self.stall = False    # after the limit, hold the connection silent instead
        self.rate = None      # bytes per second
        self.chunked = False  # sent in chunks; a cut one lacks its last chunk
        self.pause_at = None  # after this many bytes the server falls silent ...
        self.pause_seconds = 0  # ... for this long, then sends the rest

    @property
    def length(self):
        return self.end - self.start

    def send(self, sock):
        end = self.end if self.limit is None else min(self.end, self.start + self.limit)
        if self.chunked:
            for piece in self.source.slices(self.start, end):
                sock.sendall(b"%x\r\n" % len(piece) + bytes(piece) + b"\r\n")
            if self.limit is None:
                sock.sendall(b"0\r\n\r\n")
            return
        if self.pause_at is not None:
            middle = min(end, self.start + self.pause_at)
            self._send_span(sock, self.start, middle)
            time.sleep(self.pause_seconds)
            self._send_span(sock, middle, end)
        else:
            self._send_span(sock, self.start, end)
        self._hold_if_stalled(sock)

    def _send_span(self, sock, start, end):
        if self.rate is None:
            for piece in self.source.slices(start, end):
                sock.sendall(piece)
            return
        # A trickle: small pieces, each sent when the rate allows it.
        piece_size = max(1, min(self.rate // 10, 64 * 1024))
        began = time.monotonic()
        sent = 0
        for piece in self.source.slices(start, end):
            view = memoryview(piece)
            for offset in range(0, len(view), piece_size):
                part = view[offset:offset + piece_size]
                sock.sendall(part)
                sent += len(part)
                wait = began + sent / self.rate - time.monotonic()
                if wait > 0:
                    time.sleep(wait)

    def _hold_if_stalled(self, sock):
        """A server that stops sending without closing: the connection stays
        open and silent until the client goes (five minutes at most)."""
        if not self.stall:
            return
        sock.settimeout(STALL_SECONDS)
        try:
            while sock.recv(4096):
                pass
        except OSError:
            pass


# --- endpoints ---------------------------------------------------------------

class Service:
    def __init__(self, data_folders, secret_key, file_rate=None):
        self.data_folders = data_folders
        self.secret_key = secret_key
        self.file_rate = file_rate
        self.log = {}
        self.log_lock = threading.Lock()
        self.tls_address = None

    def record(self, request):
        tag = request.params.get("tag")
        if tag is None or request.path == "/_log":
            return
        with self.log_lock:
            self.log.setdefault(tag, []).append(request.head)

    def answer(self, request, own_host):
        segments = request.path.split("/")
        if len(segments) > 1 and segments[1] == "loop":
            return self._loop(request)
        routes = {
            "echo": self._echo,
            "app_api": self._app_api,
            "scenario": self._scenario,
            "files": self._files,
            "blob": self._blob,
            "status": self._status,
            "respond": self._respond,
            "set_cookie": self._set_cookie,
            "redirect": self._redirect,
            "_log": self._log,
            "_tls": self._tls,
        }
        handler = routes.get(segments[1]) if len(segments) > 1 else None
        if handler is None:
            return html_page(404)
        return handler(request, segments, own_host)

    def _echo(self, request, segments, own_host):
        if len(segments) != 2:
            return html_page(404)
        return Response(200, [("Content-Type", "application/octet-stream"),
                              ("X-Request-Body-Length", str(len(request.body)))],
                        request.head + request.body)

    def _app_api(self, request, segments, own_host, scenario=None):
        if segments[2:] != ["getapp_1"]:
            return html_page(404)
        host = request.header("Host") or own_host
        answer = app_api.app_info_body(request.params, host, self.secret_key, scenario, self._program_facts())
        if answer is None:
            return html_page(404, "unknown scenario")
        body, content_type = answer
        return Response(200, [("Content-Type", content_type)], body)

    def _program_facts(self):
        """What the app-info answer publishes about the sample program, when
        the service has it."""
        path = content.find_data_file(self.data_folders, PROGRAM_NAME)
        return None if path is None else content.file_facts(path)

    def _scenario(self, request, segments, own_host):
        if len(segments) < 4 or segments[3] != "app_api":
            return html_page(404)
        return self._app_api(request, segments[2:], own_host, scenario=segments[2])

    def _files(self, request, segments, own_host):
        name = "/".join(segments[2:])
        path = content.find_data_file(self.data_folders, name)
        if path is None:
            return html_page(404, name)
        return content_response(request, content.FileBody(path), name, self.file_rate)

    def _blob(self, request, segments, own_host):
        if len(segments) != 4 or not segments[2].isdigit() or not segments[3]:
            return html_page(404)
        seed = request.params.get("seed", "0")
        try:
            seed = int(seed)
        except ValueError:
            return html_page(400, "bad seed")
        return content_response(request, content.Blob(int(segments[2]), seed), segments[3])

    def _status(self, request, segments, own_host):
        if len(segments) != 3 or not segments[2].isdigit() or not 100 <= int(segments[2]) <= 999:
            return html_page(404)
        return html_page(int(segments[2]))

    def _respond(self, request, segments, own_host):
        status = request.params.get("status", "200")
        if not status.isdigit() or not 100 <= int(status) <= 999:
            return html_page(400, "bad status")
        response = Response(int(status))
        response.raw_headers = [value for name, value in request.query if name == "header"]
        response.body = request.params.get("body", "").encode("latin-1")
        return response

    def _set_cookie(self, request, segments, own_host):
        cookies = [(n, v) for n, v in request.query if n not in SERVICE_PARAMS]
        headers = [("Set-Cookie", f"{n}={v}; path=/") for n, v in cookies]
        return Response(200, headers + [("Content-Type", "text/plain")], b"cookies set\n")

    def _redirect(self, request, segments, own_host):
        to = request.params.get("to")
        status = request.params.get("status", "302")
        if not to or not status.isdigit():
            return html_page(400, "redirect needs to=URL")
        page = html_page(int(status), to)
        page.headers.append(("Location", to))
        return page

    def _loop(self, request):
        page = html_page(302, request.target)
        page.headers.append(("Location", request.target))
        return page

    def _tls(self, request, segments, own_host):
        return Response(200, [("Content-Type", "text/plain")], self.tls_address.encode("ascii"))

    def _log(self, request, segments, own_host):
        with self.log_lock:
            heads = list(self.log.get(request.params.get("tag", ""), []))
        return Response(200, [("Content-Type", "text/plain")], b"".join(heads))


# --- connections -------------------------------------------------------------

def encode_head(request_method, response):
    lines = [f"HTTP/1.1 {response.status} {response.reason}"]
    lines += [f"{name}: {value}" for name, value in response.headers]
    raw = response.raw_headers
    if raw is not None:
        lines += raw
        framed = any(line.split(":", 1)[0].strip().lower() in ("content-length", "transfer-encoding")
                     for line in raw)
        if framed:
            response.close = True
    else:
        framed = False
    bodyless = request_method == "HEAD" or response.status < 200 or response.status in (204, 304)
    if isinstance(response.body, StreamedBody):
        if response.body.announce:
            lines.append(f"Content-Length: {response.body.length}")
    elif not framed and response.status >= 200 and response.status not in (204, 304):
        lines.append(f"Content-Length: {len(response.body)}")
    if response.close:
        lines.append("Connection: close")
    head = ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1")
    return head, bodyless


class Handler(socketserver.StreamRequestHandler):
    timeout = IDLE_SECONDS

    def setup(self):
        self.request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        if isinstance(self.request, ssl.SSLSocket):
            # In the connection's own thread, so that a slow or refusing
            # client holds up nobody else.
            self.request.settimeout(IDLE_SECONDS)
            self.request.do_handshake()
        super().setup()

    def handle(self):
        service = self.server.service
        while True:
            try:
                request = read_request(self.rfile)
            except BadRequest as problem:
                self.send(None, html_page(problem.status, str(problem)), force_close=True)
                self.drain()
                return
            except (OSError, ValueError):
                return
            if request is None:
                return
            service.record(request)
            if request.path.startswith("/stall/"):
                self.stall()
                return
            delay = request.params.get("delay_ms", "")
            if delay.isdigit():
                time.sleep(int(delay) / 1000)
            response = service.answer(request, f"127.0.0.1:{self.server.server_address[1]}")
            try:
                keep_open = self.send(request, response, force_close=request.wants_close())
            except OSError:
                return
            if not keep_open:
                return

    def stall(self):
        """Answers nothing, for as long as the client keeps the connection
        (at most IDLE_SECONDS)."""
        try:
            while self.rfile.read1(65536):
                pass
        except OSError:
            pass

    def drain(self):
        """Reads what the client is still sending before the connection is
        closed, so that the close does not reset it before it has read the
        answer."""
        self.connection.settimeout(1)
        try:
            for _ in range(1024):
                if not self.rfile.read1(65536):
                    return
        except OSError:
            pass

    def send(self, request, response, force_close):
        """Sends a response; whether the connection stays open."""
        if force_close:
            response.close = True
        method = request.method if request else "GET"
        head, bodyless = encode_head(method, response)
        sock = self.connection
        if bodyless:
            sock.sendall(head)
        elif isinstance(response.body, StreamedBody):
            sock.sendall(head)
            response.body.send(sock)
        else:
            sock.sendall(head + response.body)
        if response.close:
            sock.shutdown(socket.SHUT_WR)
        return not response.close


class Server(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 128
    block_on_close = False

    def handle_error(self, request, client_address):
        # Clients that hang up or refuse the certificate are part of the job.
        if not isinstance(sys.exc_info()[1], OSError):
            super().handle_error(request, client_address)


class TlsServer(Server):
    """The same service over TLS, with a self-signed certificate that no
    client trusts: for clients that are meant to accept it anyway."""

    def __init__(self, address, certificate):
        super().__init__(address, Handler)
        self.context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        self.context.load_cert_chain(certificate)

    def get_request(self):
        connection, address = self.socket.accept()
        return self.context.wrap_socket(connection, server_side=True, do_handshake_on_connect=False), address


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--port", type=int, default=0, help="port of 127.0.0.1; 0 takes a free one")
    parser.add_argument("--port-file", help="written with the port once connections are accepted")
    parser.add_argument("--data", help="folder of extra files served under /files/")
    parser.add_argument("--secret-key", default=app_api.DEFAULT_SECRET_KEY)
    parser.add_argument("--file-rate", type=int, default=None,
                        help="bytes per second of /files/ downloads that ask for no rate of their own")
    args = parser.parse_args(argv)

    here = os.path.dirname(os.path.abspath(__file__))
    service = Service([args.data, os.path.join(here, "data")], args.secret_key,
                      max(1, args.file_rate) if args.file_rate else None)
    server = Server(("127.0.0.1", args.port), Handler)
    server.service = service
    tls_server = TlsServer(("127.0.0.1", 0), os.path.join(here, "tls", "untrusted.pem"))
    tls_server.service = service
    service.tls_address = f"https://127.0.0.1:{tls_server.server_address[1]}"
    threading.Thread(target=tls_server.serve_forever, daemon=True).start()
    port = server.server_address[1]
    if args.port_file:
        # Written whole and then renamed, so a reader never sees half a number.
        partial = args.port_file + ".partial"
        with open(partial, "w") as f:
            f.write(f"{port}\n")
        os.replace(partial, args.port_file)
    print(f"reference service on http://127.0.0.1:{port}", flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
