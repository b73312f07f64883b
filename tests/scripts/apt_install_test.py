#!/usr/bin/env python3
"""Tests of scripts/apt-install with a stand-in for apt-get: which suites a mirror mid-sync
gets ranked down for, and what reaches the install."""
import os
import stat
import subprocess
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                      "apt-install")
MID_SYNC = ("E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/"
            "main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). "
            "Mirror sync in progress? [IP: 203.0.113.80 80]")
MAIN_TOO = ("E: Failed to fetch http://deb.debian.org/debian/dists/bookworm/main/binary-i386/"
            "Packages.xz  Hash Sum mismatch")
# Records each call's arguments, and the preferences file an install was given; exits as told.
STAND_IN = """#!/bin/sh
echo "$*" >>"$RECORD"
for a in "$@"; do case "$a" in Dir::Etc::Preferences=*) cat "${a#*=}" >>"$RECORD";; esac; done
if [ "$1" = update ]; then printf '%s\\n' "$UPDATE_OUTPUT"; exit "$UPDATE_STATUS"; fi
echo "E: Unable to correct problems" ; exit "$INSTALL_STATUS"
"""


class AptInstall(unittest.TestCase):
    def run_script(self, update_output="", update_status=0, install_status=0):
        with tempfile.TemporaryDirectory() as work:
            apt_get = os.path.join(work, "apt-get")
            with open(apt_get, "w") as f:
                f.write(STAND_IN)
            os.chmod(apt_get, stat.S_IRWXU)
            record = os.path.join(work, "record")
            env = dict(os.environ, APT_GET=apt_get, APT_RETRY_PAUSE="0", RECORD=record,
                       UPDATE_OUTPUT=update_output, UPDATE_STATUS=str(update_status),
                       INSTALL_STATUS=str(install_status))
            done = subprocess.run([SCRIPT, "--no-install-recommends", "wine32:i386"], env=env,
                                  capture_output=True, text=True)
            with open(record) as f:
                return done, f.read().splitlines()

    def test_the_suites_whose_lists_are_missing_are_ranked_down_for_the_install(self):
        for name, output, suites in [
            ("one suite", MID_SYNC, ["bookworm-security"]),
            ("two suites", MID_SYNC + "\n" + MAIN_TOO + "\n" + MID_SYNC,
             ["bookworm", "bookworm-security"]),
        ]:
            with self.subTest(name):
                done, calls = self.run_script(output, update_status=100)
                self.assertEqual(done.returncode, 0, done.stderr)
                self.assertEqual(calls[:3], ["update -qq"] * 3)  # tried again
                install = calls[3]
                self.assertTrue(install.startswith("install -y -qq -o Dir::Etc::Preferences="))
                self.assertTrue(install.endswith(" --no-install-recommends wine32:i386"))
                pins = [line for line in calls[4:] if line.startswith("Pin:")]
                self.assertEqual(pins, ["Pin: release n=" + s for s in suites])
                self.assertEqual(calls.count("Pin-Priority: 100"), len(suites))
                self.assertIn("374820 != 376004", done.stderr)

    def test_a_complete_update_installs_as_asked(self):
        done, calls = self.run_script()
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(calls, ["update -qq", "install -y -qq --no-install-recommends wine32:i386"])

    def test_a_failed_install_fails_with_apts_reason(self):
        done, _ = self.run_script(install_status=100)
        self.assertEqual(done.returncode, 1)
        self.assertIn("Unable to correct problems", done.stderr)


if __name__ == "__main__":
    unittest.main()
