#!/usr/bin/env python3
"""How fast the reference service streams a large blob over loopback,
against a peer measured in the same run: a bare socket that sends bytes
already in memory, the most loopback can carry from one Python thread.

    python3 bench/reference_service_blob.py [SIZE_MB]

Prints both rates and the ratio of the service to the peer.
"""

import os
import socket
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
CHUNK = 1024 * 1024


def receive_all(sock, expected):
    """Reads until the peer closes or `expected` body bytes have arrived
    after the head; the number of body bytes."""
    buffer = bytearray(CHUNK)
    view = memoryview(buffer)
    total = 0
    head_done = expected is None
    pending = b""
    while True:
        n = sock.recv_into(view)
        if n == 0:
            return total
        if not head_done:
            pending += bytes(view[:n])
            end = pending.find(b"\r\n\r\n")
            if end < 0:
                continue
            head_done = True
            total = len(pending) - end - 4
        else:
            total += n
        if expected is not None and total >= expected:
            return total


def service_rate(port, size):
    with socket.create_connection(("127.0.0.1", port)) as sock:
        began = time.perf_counter()
        sock.sendall(f"GET /blob/{size}/bench.bin HTTP/1.1\r\nHost: bench\r\n\r\n".encode())
        got = receive_all(sock, size)
        elapsed = time.perf_counter() - began
    assert got == size, (got, size)
    return size / elapsed


def bare_socket_rate(size):
    listener = socket.create_server(("127.0.0.1", 0))
    block = bytes(CHUNK)

    def send():
        connection, _ = listener.accept()
        with connection:
            left = size
            while left > 0:
                n = min(left, CHUNK)
                connection.sendall(memoryview(block)[:n])
                left -= n

    sender = threading.Thread(target=send)
    sender.start()
    with socket.create_connection(listener.getsockname()) as sock:
        began = time.perf_counter()
        got = receive_all(sock, None)
        elapsed = time.perf_counter() - began
    sender.join()
    listener.close()
    assert got == size, (got, size)
    return size / elapsed


def main():
    size = int(sys.argv[1] if len(sys.argv) > 1 else 200) * 1024 * 1024
    with tempfile.TemporaryDirectory() as folder:
        port_file = os.path.join(folder, "port")
        service = subprocess.Popen([sys.executable, os.path.join(ROOT, "tools", "reference_service", "server.py"),
                                    "--port", "0", "--port-file", port_file], stdout=subprocess.DEVNULL)
        try:
            while not os.path.exists(port_file):
                time.sleep(0.05)
            with open(port_file) as f:
                port = int(f.read())
            service_rate(port, 1024 * 1024)  # the pattern is computed once, before timing
            best_service = max(service_rate(port, size) for _ in range(3))
            best_peer = max(bare_socket_rate(size) for _ in range(3))
        finally:
            service.terminate()
            service.wait()
    mb = 1024 * 1024
    print(f"blob of {size // mb} MiB: service {best_service / mb:.0f} MiB/s, "
          f"bare socket {best_peer / mb:.0f} MiB/s, ratio {best_service / best_peer:.2f}")


if __name__ == "__main__":
    main()
