#!/usr/bin/env python3
"""Tests of scripts/setup-emulation with stand-ins for root, the kernel's binfmt_misc folder,
dpkg and Wine's 32-bit loader: it touches only its own qemu-i386 rule, and switches it on
again when it fails after switching it off."""
import os
import stat
import subprocess
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                      "setup-emulation")
OURS = "/usr/bin/qemu-i386-static"
MAGIC = "7f454c4601010100000000000000000002000300"  # 32-bit x86 ELF
MASK = "fffffffffffefe00fffffffffffffffffeffffff"
# Root: writes into the binfmt folder behave as the kernel's files do (0 off, 1 on, -1 gone,
# register makes a rule) and are recorded; mount fails; anything else runs.
AS_ROOT = r"""#!/usr/bin/env python3
import codecs, os, sys
args = sys.argv[1:]
binfmt = os.environ["BINFMT_MISC"]
if args[0] != "tee" or os.path.dirname(args[1]) != binfmt:
    sys.exit(1 if args[0] == "mount" else os.spawnvp(os.P_WAIT, args[0], args))
value = sys.stdin.read().strip()
with open(os.environ["RECORD"], "a") as f:
    f.write("%s <- %s\n" % (os.path.basename(args[1]), value))
if args[1].endswith("/register"):
    _, name, _, _, magic, mask, interpreter, flags = value.split(":")
    magic, mask = (codecs.escape_decode(x)[0] for x in (magic, mask))
    with open(os.path.join(binfmt, name), "w") as f:
        f.write("enabled\ninterpreter %s\nflags: %s\noffset 0\nmagic %s\nmask %s\n" % (
            interpreter, flags, magic.hex(), mask.hex()))
elif value == "-1":
    os.remove(args[1])
else:
    with open(args[1]) as f:
        rest = f.read().split("\n", 1)[1]
    with open(args[1], "w") as f:
        f.write({"0": "disabled", "1": "enabled"}[value] + "\n" + rest)
"""
STAND_INS = {
    "dpkg": "#!/bin/sh\necho i386\n",
    "dpkg-query": '#!/bin/sh\ncase " $MISSING " in *" $3 "*) exit 1;; esac\n'
                  'printf "install ok installed"\n',
    # Starts natively where told to, else through any rule switched on.
    "wine": '#!/bin/sh\n[ "$NATIVE" = 1 ] || grep -qx enabled "$BINFMT_MISC/qemu-i386"\n',
}


def rule(interpreter=OURS, magic=MAGIC, state="enabled"):
    return "%s\ninterpreter %s\nflags: F\noffset 0\nmagic %s\nmask %s\n" % (
        state, interpreter, magic, MASK)


def escaped(hexadecimal):
    return "".join("\\x" + hexadecimal[i:i + 2] for i in range(0, len(hexadecimal), 2))


# Rules of that name that someone else registered: another interpreter, or ours for the
# magic of x32 programs (32-bit class, machine x86-64).
THEIRS = rule("/usr/libexec/qemu-binfmt/i386-binfmt-P")
THEIRS_OFF = rule("/usr/libexec/qemu-binfmt/i386-binfmt-P", state="disabled")
X32 = rule(magic=MAGIC[:-4] + "3e00")


class SetupEmulation(unittest.TestCase):
    def run_script(self, before, native, qemu_installs=True):
        with tempfile.TemporaryDirectory() as work:
            bin_dir, binfmt = os.path.join(work, "bin"), os.path.join(work, "binfmt_misc")
            os.mkdir(bin_dir)
            os.mkdir(binfmt)
            for name, text in dict(STAND_INS, **{"as-root": AS_ROOT}).items():
                with open(os.path.join(bin_dir, name), "w") as f:
                    f.write(text)
                os.chmod(os.path.join(bin_dir, name), stat.S_IRWXU)
            for name, text in [("register", ""), ("status", "enabled\n")] + (
                    [("qemu-i386", before)] if before else []):
                with open(os.path.join(binfmt, name), "w") as f:
                    f.write(text)
            record = os.path.join(work, "record")
            open(record, "w").close()
            env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"],
                       AS_ROOT=os.path.join(bin_dir, "as-root"), BINFMT_MISC=binfmt,
                       WINE32_LOADER=os.path.join(bin_dir, "wine"), RECORD=record,
                       NATIVE="1" if native else "0",
                       MISSING="" if qemu_installs else "qemu-user-static",
                       APT_GET="false", APT_RETRY_PAUSE="0")
            done = subprocess.run([SCRIPT], env=env, capture_output=True, text=True)
            after = os.path.join(binfmt, "qemu-i386")
            with open(record) as f:
                writes = f.read().splitlines()
            if not os.path.exists(after):
                return done, None, writes
            with open(after) as f:
                return done, f.read(), writes

    def test_only_its_own_rule_is_touched_and_a_failure_switches_it_on_again(self):
        switched = ["qemu-i386 <- 0", "qemu-i386 <- 1"]
        for name, before, native, qemu_installs, status, after, writes in [
            ("ours from an earlier run goes on a native machine", rule(), True, True, 0, None,
             ["qemu-i386 <- 0", "qemu-i386 <- -1"]),
            ("ours, switched on again for the emulation", rule(), False, True, 0, rule(),
             switched),
            ("ours, on again when qemu cannot be installed", rule(), False, False, 1, rule(),
             switched),
            ("none: ours registered", None, False, True, 0, rule(),
             ["register <- :qemu-i386:M::%s:%s:%s:F" % (escaped(MAGIC), escaped(MASK), OURS)]),
            ("theirs, switched on, is used as it is", THEIRS, True, True, 0, THEIRS, []),
            ("theirs with our interpreter, for x32", X32, True, True, 0, X32, []),
            ("theirs, switched off, stays on a native machine", THEIRS_OFF, True, True, 0,
             THEIRS_OFF, []),
            ("theirs, switched off, holds the name", THEIRS_OFF, False, True, 1, THEIRS_OFF, []),
        ]:
            with self.subTest(name):
                done, found, written = self.run_script(before, native, qemu_installs)
                self.assertEqual(done.returncode, status, done.stdout + done.stderr)
                self.assertEqual(found, after)
                self.assertEqual(written, writes)


if __name__ == "__main__":
    unittest.main()
