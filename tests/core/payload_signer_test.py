#!/usr/bin/env python3
"""The configure step takes a pinned signer only as 64 hexadecimal digits (or
none), says why it refuses anything else, and builds the pin into the program
byte for byte."""

import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PIN = "d5c35a3fb1e1762ca029aef872145ccd08db4ce9015a7a19a7062d62788a58ca"
PIN_BYTES = ", ".join("0x" + PIN[i:i + 2] for i in range(0, 64, 2))

CASES = [
    # (name, PAYLOAD_SIGNER_SHA256 or None for unset, what the program is given, or None when refused)
    ("unset", None, "return std::nullopt;"),
    ("empty", "", "return std::nullopt;"),
    ("lower case", PIN, f"return KeyPin{{{PIN_BYTES}}};"),
    ("upper case", PIN.upper(), f"return KeyPin{{{PIN_BYTES}}};"),
    ("63 digits", PIN[:-1], None),
    ("65 digits", PIN + "0", None),
    ("not hexadecimal", PIN[:-1] + "g", None),
    ("as sha256sum prints it with its file name", PIN + "  -", None),
    ("a fingerprint with colons", ":".join(PIN[i:i + 2] for i in range(0, 64, 2)), None),
    ("a space inside", PIN[:32] + " " + PIN[33:], None),
]

REFUSAL = "PAYLOAD_SIGNER_SHA256 must be 64 hexadecimal digits"


class PayloadSignerCheck(unittest.TestCase):
    def test_pins(self):
        with tempfile.TemporaryDirectory() as work:
            script = os.path.join(work, "check.cmake")
            with open(script, "w") as f:
                f.write(f'include("{ROOT}/cmake/PayloadSigner.cmake")\n'
                        'lumen_payload_signer_source(source installer "${PAYLOAD_SIGNER_SHA256}")\n'
                        'file(READ "${source}" text)\n'
                        'message(STATUS "${text}")\n')
            for name, pin, given in CASES:
                with self.subTest(name):
                    defines = [] if pin is None else [f"-DPAYLOAD_SIGNER_SHA256={pin}"]
                    result = subprocess.run(["cmake", *defines, "-P", script], cwd=work,
                                            capture_output=True, text=True)
                    if given is None:
                        self.assertNotEqual(result.returncode, 0)
                        self.assertIn(REFUSAL, " ".join(result.stderr.split()))
                    else:
                        self.assertEqual(result.returncode, 0, result.stderr)
                        self.assertIn(given, result.stdout)


if __name__ == "__main__":
    sys.exit(unittest.main())
