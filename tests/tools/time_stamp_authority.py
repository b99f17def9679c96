#!/usr/bin/env python3
"""An RFC 3161 time-stamping authority on loopback for the signing tests:
answers each POSTed time-stamp request with `openssl ts -reply`, signed with
the throw-away TSA certificate that tests/support/make_signing_certificate.sh
leaves in FOLDER (tsa.pem, tsa.key).

    time_stamp_authority.py FOLDER

Prints the port it listens on (127.0.0.1, chosen by the system) as its first
line, then serves until it is ended.
"""

import http.server
import os
import subprocess
import sys
import tempfile

CONFIG = """
[tsa]
default_tsa = authority
[authority]
serial = {folder}/tsa.serial
signer_digest = sha256
default_policy = 1.3.6.1.4.1.55555.1
digests = sha1, sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
"""


def reply(folder, query):
    with tempfile.TemporaryDirectory(dir=folder) as work:
        request = os.path.join(work, "request.tsq")
        response = os.path.join(work, "response.tsr")
        with open(request, "wb") as f:
            f.write(query)
        subprocess.run(["openssl", "ts", "-reply", "-config", os.path.join(folder, "tsa.cnf"),
                        "-queryfile", request, "-signer", os.path.join(folder, "tsa.pem"),
                        "-inkey", os.path.join(folder, "tsa.key"), "-out", response],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(response, "rb") as f:
            return f.read()


def handler_for(folder):
    class Authority(http.server.BaseHTTPRequestHandler):
        def do_POST(self):
            query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
            try:
                body = reply(folder, query)
            except subprocess.CalledProcessError:
                self.send_error(400, "not a time-stamp request openssl can answer")
                return
            self.send_response(200)
            self.send_header("Content-Type", "application/timestamp-reply")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    return Authority


def main():
    folder = os.path.abspath(sys.argv[1])
    with open(os.path.join(folder, "tsa.cnf"), "w") as f:
        f.write(CONFIG.format(folder=folder))
    with open(os.path.join(folder, "tsa.serial"), "w") as f:
        f.write("01\n")
    server = http.server.HTTPServer(("127.0.0.1", 0), handler_for(folder))
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
