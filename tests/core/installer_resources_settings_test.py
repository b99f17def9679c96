#!/usr/bin/env python3
"""The configure step takes only a version Windows can hold, texts that are
one line of UTF-8 and an icon file with a 32x32 image, and says why it
refuses anything else."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEFAULT_ICON = os.path.join(ROOT, "core", "win", "installer.ico")


def icon_file(sizes):
    """An icon file whose images are placeholders of the given sizes."""
    image = bytes(40)
    header = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    entries = b""
    for index, size in enumerate(sizes):
        side = 0 if size == 256 else size
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset + index * len(image))
    return header + entries + image * len(sizes)


def cases(work):
    def write(name, content):
        path = os.path.join(work, name)
        with open(path, "wb") as f:
            f.write(content)
        return path

    with open(DEFAULT_ICON, "rb") as f:
        default_icon = f.read()
    return [
        # (name, -D settings, refused message or None)
        ("defaults", {}, None),
        ("a vendor's texts with quotes and a backslash",
         {"INSTALLER_COMPANY": 'Acme "Soft" 软件\\公司', "INSTALLER_PRODUCT": "笔记 𝄞 Notes"}, None),
        ("a vendor's icon of three sizes", {"INSTALLER_ICON": write("three.ico", icon_file([16, 32, 48]))}, None),
        ("the largest version", {"INSTALLER_VERSION": "65535.65535.65535.65535"}, None),
        ("three numbers", {"INSTALLER_VERSION": "1.2.3"}, "must be four numbers a.b.c.d"),
        ("five numbers", {"INSTALLER_VERSION": "1.2.3.4.5"}, "must be four numbers a.b.c.d"),
        ("a number past 16 bits", {"INSTALLER_VERSION": "1.2.3.65536"}, "must be four numbers a.b.c.d"),
        ("a leading zero", {"INSTALLER_VERSION": "1.02.0.0"}, "must be four numbers a.b.c.d"),
        ("a letter", {"INSTALLER_VERSION": "1.2.0.0b"}, "must be four numbers a.b.c.d"),
        ("no version", {"INSTALLER_VERSION": ""}, "must be four numbers a.b.c.d"),
        ("no product", {"INSTALLER_PRODUCT": ""}, "INSTALLER_PRODUCT must not be empty"),
        ("a line break", {"INSTALLER_COMPANY": "Acme\nSoft"}, "INSTALLER_COMPANY must be one line"),
        ("GBK bytes", {"INSTALLER_PRODUCT": "星光".encode("gbk")}, "INSTALLER_PRODUCT must be UTF-8"),
        ("a cut UTF-8 character", {"INSTALLER_PRODUCT": "星光".encode()[:-1]}, "INSTALLER_PRODUCT must be UTF-8"),
        ("an encoded surrogate", {"INSTALLER_PRODUCT": b"a\xed\xa0\x80"}, "INSTALLER_PRODUCT must be UTF-8"),
        ("a missing icon", {"INSTALLER_ICON": os.path.join(work, "missing.ico")}, "does not exist"),
        ("a folder for an icon", {"INSTALLER_ICON": work}, "does not exist"),
        ("a PNG for an icon", {"INSTALLER_ICON": os.path.join(ROOT, "core", "design", "banner.png")},
         "is not an icon file"),
        ("an icon without images", {"INSTALLER_ICON": write("empty.ico", icon_file([]))}, "holds no images"),
        ("an icon cut short", {"INSTALLER_ICON": write("cut.ico", default_icon[:len(default_icon) // 2])},
         "is cut short"),
        ("an icon without 32x32", {"INSTALLER_ICON": write("small.ico", icon_file([16, 48, 256]))},
         "has no 32x32 image"),
    ]


class InstallerResourcesSettings(unittest.TestCase):
    def test_versions_texts_and_icons(self):
        with tempfile.TemporaryDirectory() as work:
            script = os.path.join(work, "check.cmake")
            with open(script, "w") as f:
                f.write(f'include("{ROOT}/cmake/InstallerResources.cmake")\n')
            for name, settings, refusal in cases(work):
                with self.subTest(name):
                    defines = [f"-D{key}=".encode() + (value if isinstance(value, bytes) else value.encode())
                               for key, value in settings.items()]
                    result = subprocess.run(["cmake", *defines, "-P", script], capture_output=True)
                    stderr = result.stderr.decode(errors="replace")
                    if refusal is None:
                        self.assertEqual(result.returncode, 0, stderr)
                    else:
                        self.assertNotEqual(result.returncode, 0)
                        self.assertIn(refusal, " ".join(stderr.split()))


if __name__ == "__main__":
    sys.exit(unittest.main())
