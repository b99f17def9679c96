#!/usr/bin/env python3
"""The configure step accepts only service addresses and keys that can go
unencoded into the query and into the program, and a known choice of
certificate checks, and says why it refuses one."""

import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

CASES = [
    # (name, extra -D settings, refused message or None)
    ("default", {}, None),
    ("plain http", {"SERVICE_BASE_URL": "http://apps.example.com"}, None),
    ("https with port and path", {"SERVICE_BASE_URL": "https://apps.example.com:8443/api/v2"}, None),
    ("another scheme", {"SERVICE_BASE_URL": "ftp://apps.example.com"}, "must be an http:// or https:// address"),
    ("no scheme", {"SERVICE_BASE_URL": "apps.example.com"}, "must be an http:// or https:// address"),
    ("trailing slash", {"SERVICE_BASE_URL": "http://apps.example.com/"}, "must not end in"),
    ("a space", {"SERVICE_BASE_URL": "http://apps.example.com/a b"}, "must be an http:// or https:// address"),
    ("a quote", {"SERVICE_BASE_URL": 'http://apps.example.com/"x'}, "must be an http:// or https:// address"),
    ("empty", {"SERVICE_BASE_URL": ""}, "must be an http:// or https:// address"),
    ("key with &", {"SERVICE_SECRET_KEY": "abc&agent_id=1"}, "ASCII letters and digits only"),
    ("empty key", {"SERVICE_SECRET_KEY": ""}, "ASCII letters and digits only"),
    ("strict certificate checks", {"SERVICE_TLS": "strict"}, None),
    ("certificate errors ignored", {"SERVICE_TLS": "ignore-errors"}, None),
    ("unknown certificate policy", {"SERVICE_TLS": "on"}, "SERVICE_TLS must be ignore-errors"),
]


class ServiceEndpointCheck(unittest.TestCase):
    def test_addresses_and_keys(self):
        with tempfile.TemporaryDirectory() as work:
            script = os.path.join(work, "check.cmake")
            with open(script, "w") as f:
                f.write(f'include("{ROOT}/cmake/ServiceEndpoint.cmake")\n')
            for name, settings, refusal in CASES:
                with self.subTest(name):
                    defines = [f"-D{key}={value}" for key, value in settings.items()]
                    result = subprocess.run(["cmake", *defines, "-P", script], capture_output=True, text=True)
                    if refusal is None:
                        self.assertEqual(result.returncode, 0, result.stderr)
                    else:
                        self.assertNotEqual(result.returncode, 0)
                        self.assertIn(refusal, " ".join(result.stderr.split()))


if __name__ == "__main__":
    sys.exit(unittest.main())
