"""The set-up and the Windows build choice where Wine's 32-bit part cannot be
had: package tools are stand-ins on PATH, the scripts run from a copy, and
/usr/lib/wine is replaced in the harness's private mount namespace."""
import os
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

import kivtest

SCRIPTS = Path(__file__).resolve().parents[2] / 'scripts'
# Every stand-in logs its arguments; apt-get fails where a mirror is out of step.
STAND_INS = {
    'dpkg-query': 'grep -qx "$3" "$ROOT/missing" && exit 1; echo "install ok installed"',
    'dpkg': '[ "$1" = --add-architecture ] && echo "dpkg $*" >>"$ROOT/log"; exit 0',
    'sleep': 'exit 0',
    'apt-get': '''echo "apt-get $*" >>"$ROOT/log"
case "$*" in
  *update*) echo "E: Failed to fetch i386/Packages  File has unexpected size" >&2; exit 100 ;;
  *wine32*) echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;;
esac''',
}


class Setup(unittest.TestCase):
    def setUp(self):
        self.root = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, self.root)
        shutil.copytree(SCRIPTS, self.root / 'scripts')
        (self.root / 'bin').mkdir()
        for name, body in STAND_INS.items():
            (self.root / 'bin' / name).write_text(f'#!/bin/bash\n{body}\n')
            (self.root / 'bin' / name).chmod(0o755)

    def run_bash(self, script, missing, runs_32bit):
        (self.root / 'missing').write_text(''.join(p + '\n' for p in missing))
        env = dict(os.environ, ROOT=str(self.root), KIVREL_HOST_RUNS_32BIT=runs_32bit,
                   PATH=f'{self.root}/bin:{os.environ["PATH"]}')
        env.pop('KIVREL_WINDOWS_BUILD', None)
        return subprocess.run(['bash', '-c', script], cwd=self.root, env=env, text=True,
                              capture_output=True, timeout=60)

    def choice(self, runs_32bit):
        run = self.run_bash('set -euo pipefail; source scripts/windows_build.sh; '
                            'choose_windows_build; echo "$windows_build: $windows_why"', [], runs_32bit)
        self.assertEqual(run.returncode, 0, run.stderr)
        return run.stdout.strip()

    def test_a_mirror_out_of_step_leaves_out_only_wine32_and_says_why(self):
        run = self.run_bash('scripts/setup', ['wine32', 'cmake'], 'yes')
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertIn("Wine's 32-bit part (wine32) left out, the 64-bit build is tested instead: "
                      "Unable to correct problems, you have held broken packages.", run.stderr)
        log = (self.root / 'log').read_text()
        self.assertEqual(log.count('apt-get update'), 3 + 3, log)  # retried, once per set
        self.assertIn('dpkg --add-architecture i386', log)
        self.assertIn('install -y -qq --no-install-recommends cmake\n', log)

        # The choice under set -e, with Wine's 32-bit loader missing, then one that cannot run.
        subprocess.run(['mount', '-t', 'tmpfs', 'none', '/usr/lib/wine'], check=True)
        self.addCleanup(subprocess.run, ['umount', '/usr/lib/wine'])
        self.assertEqual(self.choice('yes'), "win64: Wine's 32-bit loader is not installed (setup "
                         "could not install wine32: Unable to correct problems, you have held broken packages.)")
        Path('/usr/lib/wine/wine').write_text('not a program')
        self.assertEqual(self.choice('yes'), "win64: Wine's 32-bit loader does not run: Permission denied")
        self.assertEqual(self.choice('no'), 'win64: this host cannot run 32-bit programs')


if __name__ == '__main__':
    kivtest.main()
