#!/usr/bin/env python3
"""The reference application service, driven over loopback sockets: the
contract the Windows tests, the downloader's tests and the demo rely on."""

import hashlib
import http.client
import json
import os
import socket
import ssl
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SERVICE = os.path.join(ROOT, "tools", "reference_service")
sys.path.insert(0, SERVICE)

import content  # noqa: E402  (the service's own pattern, for the expected bytes)

KEY = "Lx7Qp2Zr9Wm4Tn6Vb1Hc8Jd3Ks5Yf0Ga"


def expected_blob(start, end, seed=0):
    return bytes(content.blob_byte(i, seed) for i in range(start, end))


class Service:
    """A service process of its own on a free port, with a data folder."""

    def __init__(self, *extra):
        self.folder = tempfile.TemporaryDirectory()
        self.data = os.path.join(self.folder.name, "data")
        os.mkdir(self.data)
        port_file = os.path.join(self.folder.name, "port")
        self.process = subprocess.Popen(
            [sys.executable, os.path.join(SERVICE, "server.py"), "--port", "0",
             "--port-file", port_file, "--data", self.data, *extra],
            stdout=subprocess.DEVNULL)
        for _ in range(200):
            if os.path.exists(port_file):
                break
            time.sleep(0.05)
        with open(port_file) as f:
            self.port = int(f.read())

    def close(self):
        self.process.terminate()
        self.process.wait()
        self.folder.cleanup()

    def get(self, target, headers=None, method="GET", body=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=20)
        try:
            connection.request(method, target, body=body, headers=headers or {})
            response = connection.getresponse()
            return response.status, response.headers, response.read()
        finally:
            connection.close()

    def raw(self, data, read_until_close=True):
        """Sends raw bytes and returns everything received until the service
        closes the connection."""
        with socket.create_connection(("127.0.0.1", self.port), timeout=20) as s:
            s.sendall(data)
            received = bytearray()
            while read_until_close:
                chunk = s.recv(65536)
                if not chunk:
                    break
                received += chunk
            return bytes(received)


class ServiceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.service = Service()

    @classmethod
    def tearDownClass(cls):
        cls.service.close()


class AppInfo(ServiceTest):
    def query(self, params, prefix=""):
        status, headers, body = self.service.get(prefix + "/app_api/getapp_1?" + params,
                                                 headers={"Host": "demo.host:81"})
        self.assertEqual(status, 200)
        self.assertIn("GBK", headers["Content-Type"])
        return body

    def test_sample_application_in_code_page_936(self):
        body = self.query(f"app_id=1&secret_key={KEY}&agent_id=38")
        self.assertIn("星光记事本".encode("gbk"), body)
        answer = json.loads(body.decode("gbk"))
        self.assertEqual(answer["code"], 1)
        data = answer["data"]
        self.assertEqual(data["name"], "StarlitPad")
        self.assertEqual(data["agent_app"]["app_icon"], "http://demo.host:81/files/logo.ico")
        current = [v for v in data["down_model"][0]["value"] if v["is_now"] == 1]
        self.assertEqual([v["address"] for v in current], ["http://demo.host:81/files/StarlitPad.exe"])

    def test_refuses_what_a_real_service_refuses(self):
        cases = {
            "wrong app": f"app_id=2&secret_key={KEY}&agent_id=1",
            "wrong key": "app_id=1&secret_key=nope&agent_id=1",
            "key case": f"app_id=1&secret_key={KEY.lower()}&agent_id=1",
            "agent zero": f"app_id=1&secret_key={KEY}&agent_id=0",
            "agent negative": f"app_id=1&secret_key={KEY}&agent_id=-3",
            "agent not a number": f"app_id=1&secret_key={KEY}&agent_id=abc",
            "agent missing": f"app_id=1&secret_key={KEY}",
            "nothing": "",
        }
        for name, params in cases.items():
            with self.subTest(name):
                answer = json.loads(self.query(params).decode("gbk"))
                self.assertEqual(answer["code"], 0)
                self.assertTrue(answer["content"])

    def test_scenarios(self):
        good = f"app_id=1&secret_key={KEY}&agent_id=7"
        several = json.loads(self.query(good, "/scenario/several_versions").decode("gbk"))
        first = several["data"]["down_model"][0]["value"]
        self.assertEqual([v["version"] for v in first if v["is_now"] == 1], ["1.0", "1.1"])
        self.assertEqual(len(several["data"]["down_model"]), 2)
        self.assertEqual(json.loads(self.query(good, "/scenario/refused").decode("gbk"))["code"], 0)
        self.assertEqual(json.loads(self.query(good, "/scenario/fractional_code").decode("gbk"))["code"], 1.9)
        self.assertNotIn("down_model", json.loads(self.query(good, "/scenario/no_versions").decode("gbk"))["data"])
        with self.assertRaises(ValueError):
            json.loads(self.query(good, "/scenario/malformed").decode("gbk"))
        # A scenario checks the query like the real answer does.
        bad = json.loads(self.query("app_id=1&secret_key=x&agent_id=7", "/scenario/several_versions").decode("gbk"))
        self.assertEqual(bad["code"], 0)
        status, _, _ = self.service.get("/scenario/unknown/app_api/getapp_1?" + good)
        self.assertEqual(status, 404)

    def test_encoding_scenarios_send_the_same_answer_otherwise_encoded(self):
        good = f"app_id=1&secret_key={KEY}&agent_id=7"
        cases = {
            "gbk_without_charset": ("application/json", b"", "gbk", "星光记事本"),
            "utf8_with_charset": ("application/json; charset=utf-8", b"", "utf-8", "星光记事本"),
            "utf8_with_bom": ("application/json", b"\xef\xbb\xbf", "utf-8", "星光记事本"),
            "utf8_without_charset": ("application/json", b"", "utf-8", "星光记事本"),
            "unknown_charset": ("application/json; charset=x-unknown", b"", "gbk", "星光记事本"),
            "utf8_name_beyond_gbk": ("application/json; charset=utf-8", b"", "utf-8", "星光\u2713记事本"),
            "gbk_labelled_utf8": ("application/json; charset=utf-8", b"", "gbk", "星光记事本"),
            "gbk_after_utf8_bom": ("application/json", b"\xef\xbb\xbf", "gbk", "星光记事本"),
        }
        for scenario, (content_type, mark, codec, app_name) in cases.items():
            with self.subTest(scenario):
                status, headers, body = self.service.get(f"/scenario/{scenario}/app_api/getapp_1?{good}")
                self.assertEqual(status, 200)
                self.assertEqual(headers["Content-Type"], content_type)
                self.assertTrue(body.startswith(mark + b"{"))
                answer = json.loads(body[len(mark):].decode(codec))
                self.assertEqual(answer["data"]["agent_app"]["app_name"], app_name)
                self.assertEqual(answer["data"]["name"], "StarlitPad")
        # A refused query is answered as always.
        status, headers, body = self.service.get("/scenario/utf8_with_charset/app_api/getapp_1?app_id=2")
        self.assertIn("GBK", headers["Content-Type"])
        self.assertEqual(json.loads(body.decode("gbk"))["code"], 0)

    def test_download_scenarios_tag_the_address_with_the_agent(self):
        cases = {
            "slow_download": "http://demo.host:81/files/StarlitPad.exe?rate=8000&tag=agent-38",
            "logged_download": "http://demo.host:81/files/StarlitPad.exe?tag=agent-38",
            "space_in_download": "http://demo.host:81/blob/300000/Starlit Pad.exe?name=a b&tag=agent-38",
        }
        for scenario, address in cases.items():
            with self.subTest(scenario):
                answer = json.loads(self.query(f"app_id=1&secret_key={KEY}&agent_id=00000038",
                                               "/scenario/" + scenario).decode("gbk"))
                current = [v for v in answer["data"]["down_model"][0]["value"] if v["is_now"] == 1]
                self.assertEqual([v["address"] for v in current], [address])

    def test_publishes_the_programs_checksum_and_size_and_wrong_ones_on_request(self):
        program = bytes(range(256)) * 40
        path = os.path.join(self.service.data, "StarlitPad.exe")
        good = f"app_id=1&secret_key={KEY}&agent_id=7"

        def current(prefix=""):
            return json.loads(self.query(good, prefix).decode("gbk"))["data"]["down_model"][0]["value"][0]

        self.assertNotIn("sha256", current(), "nothing to publish without the program")
        with open(path, "wb") as f:
            f.write(program)
        try:
            right = hashlib.sha256(program).hexdigest()
            self.assertEqual((current()["sha256"], current()["size"]), (right, len(program)))
            wrong = current("/scenario/wrong_checksum")["sha256"]
            self.assertEqual((len(wrong), wrong[:-1]), (64, right[:-1]))
            self.assertNotEqual(wrong, right)
            self.assertEqual(current("/scenario/wrong_size")["size"], len(program) + 1)
            self.assertEqual(current("/scenario/malformed_checksum")["sha256"], right[:-1])
            self.assertFalse({"sha256", "size"} & set(current("/scenario/unchecked")))
            for scenario, size in (("text_size", "35.2M"), ("fractional_size", 35.2)):
                self.assertEqual((current("/scenario/" + scenario)["sha256"],
                                  current("/scenario/" + scenario)["size"]), (right, size))
        finally:
            os.remove(path)

    def test_secret_key_can_be_overridden(self):
        other = Service("--secret-key", "K2")
        try:
            for key, code in ((KEY, 0), ("K2", 1)):
                _, _, body = other.get(f"/app_api/getapp_1?app_id=1&secret_key={key}&agent_id=1")
                self.assertEqual(json.loads(body.decode("gbk"))["code"], code)
        finally:
            other.close()


class Files(ServiceTest):
    def test_built_in_icon_is_an_icon(self):
        status, headers, body = self.service.get("/files/logo.ico")
        self.assertEqual(status, 200)
        self.assertEqual(body[:4], b"\0\0\1\0")
        self.assertEqual(int(headers["Content-Length"]), len(body))
        self.assertEqual(headers["Content-Disposition"], 'attachment; filename="logo.ico"')

    def test_data_folder_first_and_nothing_outside_it(self):
        with open(os.path.join(self.service.data, "logo.ico"), "wb") as f:
            f.write(b"replaced")
        try:
            self.assertEqual(self.service.get("/files/logo.ico")[2], b"replaced")
        finally:
            os.remove(os.path.join(self.service.data, "logo.ico"))
        for target in ("/files/../server.py", "/files/%2e%2e%2fserver.py", "/files/", "/files/missing.exe"):
            with self.subTest(target):
                self.assertEqual(self.service.get(target)[0], 404)

    def test_file_ranges(self):
        with open(os.path.join(self.service.data, "ten.bin"), "wb") as f:
            f.write(b"0123456789")
        status, headers, body = self.service.get("/files/ten.bin", {"Range": "bytes=4-"})
        self.assertEqual((status, body, headers["Content-Range"]), (206, b"456789", "bytes 4-9/10"))


    def test_validators_and_if_range(self):
        with open(os.path.join(self.service.data, "ten.bin"), "wb") as f:
            f.write(b"0123456789")
        tagged = "/files/ten.bin?etag=v1"
        dated = "/files/ten.bin?last_modified=1"
        _, headers, _ = self.service.get(tagged)
        self.assertEqual(headers["ETag"], '"v1"')
        _, headers, _ = self.service.get(dated)
        date = headers["Last-Modified"]
        cases = {
            "the tag matches": (tagged, '"v1"', 206, b"456789"),
            "another tag": (tagged, '"v0"', 200, b"0123456789"),
            "the date matches": (dated, date, 206, b"456789"),
            "another date": (dated, "Mon, 30 Nov 2026 10:00:00 GMT", 200, b"0123456789"),
            "no validator to match": ("/files/ten.bin", '"v1"', 200, b"0123456789"),
        }
        for name, (target, validator, status, body) in cases.items():
            with self.subTest(name):
                got = self.service.get(target, {"Range": "bytes=4-", "If-Range": validator})
                self.assertEqual((got[0], got[2]), (status, body))


class Blobs(ServiceTest):
    def test_pattern_seed_and_period(self):
        size = content.PERIOD + 5000
        status, headers, body = self.service.get(f"/blob/{size}/p.bin?seed=9")
        self.assertEqual(status, 200)
        self.assertEqual(len(body), size)
        self.assertEqual(body, expected_blob(0, size, 9))
        self.assertEqual(headers["Content-Disposition"], 'attachment; filename="p.bin"')

    def test_ranges(self):
        size = 10000
        cases = [
            ("from", "bytes=9000-", 206, 9000, 10000),
            ("span", "bytes=100-199", 206, 100, 200),
            ("end clamped", "bytes=9990-20000", 206, 9990, 10000),
            ("suffix", "bytes=-10", 206, 9990, 10000),
            ("no space tolerated", "bytes= 5-", 206, 5, 10000),
            ("malformed ignored", "bytes=x-", 200, 0, 10000),
            ("reversed ignored", "bytes=50-10", 200, 0, 10000),
            ("several ignored", "bytes=0-1,5-6", 200, 0, 10000),
            ("other unit ignored", "items=0-1", 200, 0, 10000),
        ]
        for name, value, want_status, start, end in cases:
            with self.subTest(name):
                status, headers, body = self.service.get(f"/blob/{size}/r.bin", {"Range": value})
                self.assertEqual(status, want_status)
                self.assertEqual(body, expected_blob(start, end))
                if status == 206:
                    self.assertEqual(headers["Content-Range"], f"bytes {start}-{end - 1}/{size}")

    def test_range_beyond_the_end_is_416(self):
        status, headers, body = self.service.get("/blob/100/r.bin", {"Range": "bytes=100-"})
        self.assertEqual((status, headers["Content-Range"], body), (416, "bytes */100", b""))

    def test_head_announces_without_body(self):
        status, headers, body = self.service.get("/blob/5000/h.bin", method="HEAD")
        self.assertEqual((status, headers["Content-Length"], body), (200, "5000", b""))


def split_response(raw):
    head, _, body = raw.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    return lines[0], headers, body


class Faults(ServiceTest):
    def test_drop_announces_everything_then_closes(self):
        raw = self.service.raw(b"GET /blob/100000/d.bin?drop=1234 HTTP/1.1\r\nHost: x\r\n\r\n")
        status, headers, body = split_response(raw)
        self.assertEqual(headers["content-length"], "100000")
        self.assertEqual(body, expected_blob(0, 1234))

    def test_drop_counts_from_the_range(self):
        raw = self.service.raw(b"GET /blob/100000/d.bin?drop=10 HTTP/1.1\r\nRange: bytes=500-\r\n\r\n")
        status, headers, body = split_response(raw)
        self.assertIn("206", status)
        self.assertEqual(headers["content-length"], "99500")
        self.assertEqual(body, expected_blob(500, 510))

    def test_ignore_range_sends_everything(self):
        status, headers, body = self.service.get("/blob/3000/i.bin?ignore_range=1", {"Range": "bytes=1000-"})
        self.assertEqual((status, len(body)), (200, 3000))
        self.assertNotIn("Content-Range", headers)

    def test_no_length_ends_by_closing(self):
        raw = self.service.raw(b"GET /blob/70000/n.bin?no_length=1 HTTP/1.1\r\n\r\n")
        _, headers, body = split_response(raw)
        self.assertNotIn("content-length", headers)
        self.assertEqual(headers["connection"], "close")
        self.assertEqual(body, expected_blob(0, 70000))

    def test_a_ranged_answer_without_length_cut_short(self):
        raw = self.service.raw(b"GET /blob/100000/r.bin?no_length=1&drop=300 HTTP/1.1\r\nRange: bytes=500-\r\n\r\n")
        status, headers, body = split_response(raw)
        self.assertIn("206", status)
        self.assertNotIn("content-length", headers)
        self.assertEqual(headers["content-range"], "bytes 500-99999/100000")
        self.assertEqual(body, expected_blob(500, 800))

    def test_chunked_cut_ends_without_the_last_chunk(self):
        raw = self.service.raw(b"GET /blob/70000/c.bin?chunked_cut=1000 HTTP/1.1\r\n\r\n")
        _, headers, body = split_response(raw)
        self.assertEqual(headers["transfer-encoding"], "chunked")
        self.assertNotIn("content-length", headers)
        self.assertEqual(body, b"3e8\r\n" + expected_blob(0, 1000) + b"\r\n")

    def test_loop_redirects_to_itself(self):
        status, headers, _ = self.service.get("/loop/files/logo.ico?a=1")
        self.assertEqual((status, headers["Location"]), (302, "/loop/files/logo.ico?a=1"))

    def test_stall_answers_nothing_until_the_client_leaves(self):
        with socket.create_connection(("127.0.0.1", self.service.port), timeout=1) as s:
            s.sendall(b"GET /stall/app_api/getapp_1 HTTP/1.1\r\n\r\n")
            with self.assertRaises(socket.timeout):
                s.recv(1)

    def test_address_fault_scenarios(self):
        good = f"app_id=1&secret_key={KEY}&agent_id=7"
        for fault, check in {
            "loop": lambda a: "/loop/files/" in a,
            "stall": lambda a: "/stall/files/" in a,
            "crlf": lambda a: a.endswith("?x=1\r\nX-Injected: yes"),
            "chunked_cut": lambda a: a.endswith("?chunked_cut=30000"),
            "ranged_cut": lambda a: a.endswith("?no_length=1&drop=30000"),
        }.items():
            _, _, body = self.service.get(f"/scenario/{fault}_icon/app_api/getapp_1?{good}")
            icon = json.loads(body.decode("gbk"))["data"]["agent_app"]["app_icon"]
            self.assertTrue(check(icon), (fault, icon))
            _, _, body = self.service.get(f"/scenario/{fault}_download/app_api/getapp_1?{good}")
            address = json.loads(body.decode("gbk"))["data"]["down_model"][0]["value"][0]["address"]
            self.assertTrue(check(address), (fault, address))

    def test_many_versions_stay_within_a_megabyte(self):
        _, _, body = self.service.get(f"/scenario/many_versions/app_api/getapp_1?app_id=1&secret_key={KEY}&agent_id=7")
        self.assertLess(len(body), 1 << 20)
        versions = json.loads(body.decode("gbk"))["data"]["down_model"][0]["value"]
        self.assertEqual(len(versions), 60000)
        self.assertEqual([v["version"] for v in versions if v.get("is_now") == 1], ["1.2.0"])

    def test_rate_and_delay_hold_the_answer_back(self):
        began = time.monotonic()
        status, _, body = self.service.get("/blob/2000/t.bin?rate=5000&delay_ms=200")
        self.assertEqual((status, body), (200, expected_blob(0, 2000)))
        self.assertGreater(time.monotonic() - began, 0.5)

    def test_file_rate_slows_files_that_ask_for_no_rate_of_their_own(self):
        throttled = Service("--file-rate", "1000")
        try:
            with open(os.path.join(throttled.data, "p.exe"), "wb") as f:
                f.write(expected_blob(0, 3000))
            timings = {}
            for target in ("/files/p.exe", "/files/p.exe?rate=1000000", "/blob/3000/b.bin"):
                began = time.monotonic()
                status, _, body = throttled.get(target)
                timings[target] = time.monotonic() - began
                self.assertEqual((status, body), (200, expected_blob(0, 3000)))
            # Three seconds at the service's rate; the others are not held back.
            self.assertGreater(timings["/files/p.exe"], 2.5)
            self.assertLess(timings["/files/p.exe?rate=1000000"], 2.0)
            self.assertLess(timings["/blob/3000/b.bin"], 2.0)
        finally:
            throttled.close()

    def test_a_trickle_does_not_hold_up_other_connections(self):
        slow = socket.create_connection(("127.0.0.1", self.service.port), timeout=20)
        try:
            slow.sendall(b"GET /blob/100000/s.bin?rate=1000 HTTP/1.1\r\n\r\n")
            began = time.monotonic()
            self.assertEqual(self.service.get("/status/200")[0], 200)
            self.assertLess(time.monotonic() - began, 5)
        finally:
            slow.close()


class Exchange(ServiceTest):
    def test_echo_returns_the_request_byte_for_byte(self):
        request = (b"POST /echo?q=1 HTTP/1.1\r\nHost: h\r\nx-lower: Mixed Case \r\n"
                   b"Content-Length: 5\r\n\r\na\0b\0c")
        _, headers, body = split_response(self.service.raw(request + b"GET /echo HTTP/1.1\r\nConnection: close\r\n\r\n"))
        self.assertEqual(headers["x-request-body-length"], "5")
        self.assertEqual(body[: len(request)], request)

    def test_echo_of_a_chunked_body(self):
        request = b"PUT /echo HTTP/1.1\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
        raw = self.service.raw(request + b"3\r\nab\0\r\n2\r\ncd\r\n0\r\n\r\n")
        _, headers, body = split_response(raw)
        self.assertEqual(body, request + b"ab\0cd")

    def test_keep_alive_across_answers_of_every_kind(self):
        connection = http.client.HTTPConnection("127.0.0.1", self.service.port, timeout=20)
        try:
            for target, headers, status in [
                ("/blob/5000/k.bin", {"Range": "bytes=10-"}, 206),
                ("/status/404", {}, 404),
                ("/files/logo.ico", {}, 200),
                ("/redirect?to=/echo", {}, 302),
                ("/set_cookie?a=1", {}, 200),
                ("/echo", {}, 200),
            ]:
                connection.request("GET", target, headers=headers)
                response = connection.getresponse()
                response.read()
                self.assertEqual(response.status, status, target)
                self.assertFalse(response.will_close, target)
        finally:
            connection.close()

    def test_proxy_request_keeps_its_absolute_target(self):
        raw = self.service.raw(b"GET http://elsewhere.example:8080/echo?x=1 HTTP/1.1\r\n"
                               b"Host: elsewhere.example:8080\r\nConnection: close\r\n\r\n")
        status, _, body = split_response(raw)
        self.assertIn("200", status)
        self.assertTrue(body.startswith(b"GET http://elsewhere.example:8080/echo?x=1 HTTP/1.1\r\n"))

    def test_respond_sends_exactly_what_is_asked(self):
        raw = self.service.raw(b"GET /respond?status=299&header=set-cookie:%20x=1&header=Set-Cookie:y=2"
                               b"&body=a%00b HTTP/1.1\r\nConnection: close\r\n\r\n")
        status, _, body = split_response(raw)
        self.assertEqual(status, "HTTP/1.1 299 Status")
        self.assertIn(b"\r\nset-cookie: x=1\r\nSet-Cookie:y=2\r\n", raw)
        self.assertEqual(body, b"a\0b")

    def test_cookies_redirects_and_status_pages(self):
        _, headers, _ = self.service.get("/set_cookie?sid=abc&lang=zh&tag=c")
        self.assertEqual(headers.get_all("Set-Cookie"), ["sid=abc; path=/", "lang=zh; path=/"])
        status, headers, _ = self.service.get("/redirect?to=http://x.example/y&status=301")
        self.assertEqual((status, headers["Location"]), (301, "http://x.example/y"))
        status, headers, body = self.service.get("/status/500")
        self.assertEqual(status, 500)
        self.assertIn(b"<html>", body)

    def test_log_keeps_the_heads_of_tagged_requests(self):
        self.service.get("/blob/10/a.bin?tag=log1", {"Range": "bytes=2-"})
        self.service.get("/status/200?tag=other")
        self.service.get("/echo?tag=log1", method="POST", body=b"body")
        _, _, log = self.service.get("/_log?tag=log1")
        heads = log.split(b"\r\n\r\n")
        self.assertEqual(heads[-1], b"")
        self.assertEqual(len(heads), 3)
        self.assertTrue(heads[0].startswith(b"GET /blob/10/a.bin?tag=log1 HTTP/1.1\r\n"))
        self.assertIn(b"\r\nRange: bytes=2-", heads[0])
        self.assertTrue(heads[1].startswith(b"POST /echo?tag=log1 "))
        self.assertNotIn(b"body", log)

    def test_the_same_service_over_tls_with_an_untrusted_certificate(self):
        address = self.service.get("/_tls")[2].decode()
        self.assertTrue(address.startswith("https://127.0.0.1:"))
        port = int(address.rsplit(":", 1)[1])
        trusting = ssl.create_default_context()
        with self.assertRaises(ssl.SSLCertVerificationError):
            http.client.HTTPSConnection("127.0.0.1", port, context=trusting, timeout=20).request("GET", "/echo")
        accepting = ssl._create_unverified_context()
        connection = http.client.HTTPSConnection("127.0.0.1", port, context=accepting, timeout=20)
        try:
            for _ in range(2):  # kept alive
                connection.request("POST", "/echo?tls=1", body=b"x\0y")
                response = connection.getresponse()
                body = response.read()
                self.assertTrue(body.startswith(b"POST /echo?tls=1 HTTP/1.1\r\n"))
                self.assertTrue(body.endswith(b"\r\n\r\nx\0y"))
            self.assertEqual(self.service.get("/files/untrusted.pem")[0], 404)
        finally:
            connection.close()

    def test_bad_requests_get_an_answer_and_a_closed_connection(self):
        cases = [
            ("no version", b"GET /echo\r\n\r\n", b"HTTP/1.1 400 "),
            ("gigantic head", b"GET /echo HTTP/1.1\r\nX-Big: " + b"a" * (5 * 1024 * 1024) + b"\r\n\r\n",
             b"HTTP/1.1 431 "),
            ("bad length", b"POST /echo HTTP/1.1\r\nContent-Length: -1\r\n\r\n", b"HTTP/1.1 400 "),
        ]
        for name, request, answer in cases:
            with self.subTest(name):
                try:
                    raw = self.service.raw(request)
                except ConnectionResetError:
                    raw = b"(reset)"
                self.assertTrue(raw.startswith(answer), raw[:80])


if __name__ == "__main__":
    unittest.main()
