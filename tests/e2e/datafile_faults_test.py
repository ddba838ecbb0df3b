"""The data file against real failures: a full disk, a read-only directory, a
save killed at random moments and, under Wine, a file another program holds.
Each must leave the old file, byte for byte, or the new one complete.

    datafile_faults_test.py [--wine] SAVER [KIVREL_EXE PROBE]

SAVER is tests/native/target_file_saver (an .exe run by Wine with --wine);
with Kivrel.exe and the window probe, the window's close and a held file are
tried too. The
small file systems are mounted inside the harness's private mount namespace.
"""
import ctypes
import errno
import os
import random
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import unittest

import kivtest
from kivtest import MESSAGES as M, R, W

WINE = '--wine' in sys.argv
if WINE:
    sys.argv.remove('--wine')
SAVER = sys.argv.pop(1)
EXE, PROBE = (sys.argv.pop(1), sys.argv.pop(1)) if WINE and len(sys.argv) > 2 else (None, None)
# Wine starts slowly, so it gets fewer kills.
KILLS = 40 if WINE else 150
BIG = 30000  # about 900 KB
IDRETRY = 4


def require_private_mounts():
    # The harness runs its command in a mount namespace of its own.
    if os.environ.get('KIVREL_ISOLATED') != '1':
        raise SystemExit('refusing to mount: no private mount namespace; run through '
                         'tests/harness/isolated')


def saver_command(*args):
    return ([os.environ['KIVREL_WINE'], SAVER] if WINE else [SAVER]) + [str(a) for a in args]


def read(path):
    """The file's bytes, or None when there is no file."""
    try:
        with open(path, 'rb') as f:
            return f.read()
    except FileNotFoundError:
        return None


class DataFileFaults(unittest.TestCase):
    references = {}

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix='kivrel-faults-')
        self.addCleanup(shutil.rmtree, self.dir, True)

    def save(self, cwd, count, seed):
        # No pipes: Wine's background services would hold them open.
        return subprocess.run(saver_command('save', count, seed), cwd=cwd,
                              stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=120).returncode

    def reference(self, count, seed):
        """The bytes a successful save of that list leaves."""
        key = (count, seed)
        if key not in self.references:
            where = tempfile.mkdtemp(prefix='kivrel-ref-')
            try:
                self.assertEqual(self.save(where, count, seed), 0)
                self.references[key] = read(os.path.join(where, 'Kivrel.dat'))
            finally:
                shutil.rmtree(where, True)
        return self.references[key]

    def small_filesystem(self, size):
        require_private_mounts()
        where = os.path.join(self.dir, 'fs')
        os.mkdir(where)
        subprocess.run(['mount', '-t', 'tmpfs', '-o', f'size={size}', 'kivrel-small', where],
                       check=True)
        self.addCleanup(subprocess.run, ['umount', '-l', where])
        return where

    @staticmethod
    def fill(where):
        """Takes every free byte, down to the last small piece."""
        path = os.path.join(where, 'filler')
        with open(path, 'ab', buffering=0) as f:
            for chunk in (65536, 4096, 512, 1):
                try:
                    while True:
                        f.write(b'\0' * chunk)
                except OSError as e:
                    if e.errno != errno.ENOSPC:
                        raise
        return path

    def assert_only(self, where, data, backup=None):
        self.assertEqual(read(os.path.join(where, 'Kivrel.dat')), data)
        self.assertFalse(os.path.exists(os.path.join(where, 'Kivrel.dat.new')))
        bak = os.path.join(where, 'Kivrel.dat.bak')
        if backup is None:
            self.assertFalse(os.path.exists(bak))
        else:
            self.assertEqual(read(bak), backup)

    def test_full_disk_keeps_the_old_file(self):
        where = self.small_filesystem('4m')
        self.assertEqual(self.save(where, 5, 1), 0)
        old = read(os.path.join(where, 'Kivrel.dat'))
        filler = self.fill(where)
        self.assertEqual(self.save(where, BIG, 2), 1)
        self.assert_only(where, old)

        # A damaged file is not moved aside by a save that cannot be written.
        os.remove(filler)
        damaged = old[:-1]
        with open(os.path.join(where, 'Kivrel.dat'), 'wb') as f:
            f.write(damaged)
        filler = self.fill(where)
        self.assertEqual(self.save(where, BIG, 2), 1)
        self.assert_only(where, damaged)

        # With room again the same save goes through and keeps the damaged file.
        os.remove(filler)
        self.assertEqual(self.save(where, BIG, 2), 0)
        self.assert_only(where, self.reference(BIG, 2), backup=damaged)

    def test_read_only_directory_keeps_the_old_file(self):
        where = self.small_filesystem('4m')
        self.assertEqual(self.save(where, 5, 1), 0)
        old = read(os.path.join(where, 'Kivrel.dat'))
        subprocess.run(['mount', '-o', 'remount,ro', where], check=True)
        self.assertEqual(self.save(where, 100, 2), 1)
        self.assertEqual(self.save(where, 0, 0), 1)
        self.assert_only(where, old)

    @unittest.skipUnless(EXE, 'the window runs under Wine')
    def test_failed_save_at_close_names_the_folder_with_retry_and_cancel(self):
        where = self.small_filesystem('4m')
        self.assertEqual(self.save(where, 5, 1), 0)
        old = read(os.path.join(where, 'Kivrel.dat'))
        subprocess.run(['mount', '-o', 'remount,ro', where], check=True)
        ui = kivtest.Driver(PROBE)
        self.addCleanup(ui.close)
        folder = 'Z:' + where.replace('/', '\\')
        text = kivtest.MESSAGES[kivtest.R.IDS_SAVE_FAILED].replace('%1', folder)
        for answer in ('cancel', 'retry'):
            proc = ui.start(EXE, cwd=where)
            self.addCleanup(kivtest.stop, proc)
            ui.do('close', ui.find('*', 'Kivrel', 30)['hwnd'])
            box, texts, buttons = ui.message_box()
            self.assertEqual((texts, buttons), ([text], [kivtest.W.IDCANCEL, IDRETRY]))
            if answer == 'cancel':  # nothing kept: an export elsewhere is offered
                ui.do('click', box, kivtest.W.IDCANCEL)
                ui.wait_gone(box)
                box, texts, _ = ui.message_box()
                self.assertEqual(texts, [M[R.IDS_SAVE_EXPORT_FIRST]])
                ui.do('click', box, kivtest.W.IDCANCEL)
                self.assertEqual(ui.exit_status(proc), 0)
                self.assert_only(where, old)
                continue
            ui.do('click', box, IDRETRY)  # still read-only: asked again
            ui.wait_gone(box)
            box = ui.message_box()[0]
            subprocess.run(['mount', '-o', 'remount,rw', where], check=True)
            os.remove(os.path.join(where, 'Kivrel.dat'))
            ui.do('click', box, IDRETRY)
            self.assertEqual(ui.exit_status(proc), 0)
            self.assert_only(where, old)

    @unittest.skipUnless(EXE, 'the window runs under Wine')
    def test_emptied_list_beside_a_held_file_is_kept_and_said_to_be(self):
        data, path = kivtest.data_file([('PC1', '00-11-22-33-44-55')]), self.dir + '/Kivrel.dat'
        with open(path, 'wb') as f:
            f.write(data)
        ui = kivtest.Driver(PROBE)
        self.addCleanup(ui.close)
        kivrel = ui.start(EXE, cwd=self.dir)
        self.addCleanup(kivtest.stop, kivrel)
        frame = ui.find('KivrelMainFrame', 'Kivrel', 30)['hwnd']
        holder = subprocess.Popen(saver_command('hold'), cwd=self.dir, stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE)
        self.addCleanup(kivtest.stop, holder)
        self.assertEqual(holder.stdout.readline().strip(), b'held')
        ui.do('select', frame, R.AFX_IDW_PANE_FIRST, 0)
        ui.do('keys', frame, 'ctrl+d')
        box = ui.message_box()[0]
        ui.do('click', box, W.IDOK)  # the delete's question
        ui.wait_gone(box)
        ui.do('close', frame)
        box, texts, _ = ui.message_box(timeout=30)
        folder = 'Z:' + self.dir.replace('/', '\\')
        self.assertEqual(texts, [M[R.IDS_SAVE_KEPT].replace('%1', folder)])
        ui.do('click', box, W.IDCANCEL)
        self.assertEqual(ui.exit_status(kivrel), 0)
        self.assertEqual((read(path), read(path + '.new')), (data, bytes(4)))

    def test_killed_save_leaves_the_old_or_the_new_file(self):
        first, second = self.reference(BIG, 3), self.reference(BIG + 5000, 4)
        self.assertEqual(self.save(self.dir, BIG, 3), 0)
        chance = random.Random(7)
        seen = {first: 0, second: 0}
        for kill in range(KILLS):
            saver = subprocess.Popen(saver_command('loop', BIG, 3, BIG + 5000, 4), cwd=self.dir,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     start_new_session=True)
            # Once the first save is through, the next ones are cut anywhere.
            self.assertEqual(saver.stdout.readline().strip(), b'1')
            kill = threading.Timer(chance.uniform(0, 0.03), os.killpg, (saver.pid, signal.SIGKILL))
            kill.start()
            saver.wait(timeout=60)
            kill.join()
            saver.stdout.close()
            data = read(os.path.join(self.dir, 'Kivrel.dat'))
            self.assertIn(data, seen, f'kill {kill}: neither list complete')
            seen[data] += 1
        self.assertGreater(min(seen.values()), 0, 'one list never survived a kill: the kills missed the saves')
        # A new file left by a kill is no obstacle to the next save.
        self.assertEqual(self.save(self.dir, 5, 1), 0)
        self.assert_only(self.dir, self.reference(5, 1))

    @unittest.skipUnless(EXE, 'the window runs under Wine')
    def test_held_file_is_waited_for_or_left_as_it_is(self):
        data, path = kivtest.data_file([('PC1', '00-11-22-33-44-55')]), 'Kivrel.dat'
        ui = kivtest.Driver(PROBE)
        self.addCleanup(ui.close)
        for briefly in (True, False):
            with open(os.path.join(self.dir, path), 'wb') as f:
                f.write(data)
            holder = subprocess.Popen(saver_command('hold'), cwd=self.dir,
                                      stdin=subprocess.PIPE, stdout=subprocess.PIPE)
            self.addCleanup(kivtest.stop, holder)
            self.assertEqual(holder.stdout.readline().strip(), b'held')
            opens = ctypes.CDLL(None).inotify_init1(os.O_NONBLOCK)  # IN_OPEN below
            ctypes.CDLL(None).inotify_add_watch(opens, os.path.join(self.dir, path).encode(),
                                                0x20)
            kivrel = ui.start(EXE, cwd=self.dir)
            self.addCleanup(kivtest.stop, kivrel)
            if not briefly:  # held past the wait: the message, then an empty list
                box, texts, _ = ui.message_box(timeout=30)
                self.assertEqual(texts, [M[R.IDS_FILE_IN_USE]])
                ui.do('click', box, W.IDOK)
            # Let go once Kivrel has tried to open it; briefly, after about a second
            # of tries 100 ms apart, which a wait much shorter than 2 s gives up before.
            tries = []

            def tried():
                while select.select([opens], [], [], 0)[0]:
                    tries.extend(os.read(opens, 4096)[::16])  # one event is 16 bytes
                return len(tries) >= (8 if briefly else 1)
            kivtest.wait_until(tried, 30, 'tries to open')
            os.close(opens)
            holder.stdin.close()
            self.assertEqual(holder.stdout.readline().strip(), b'free')
            frame = ui.find('KivrelMainFrame', 'Kivrel', 30)['hwnd']
            rows = ui('listwindow', ui('control', frame, R.AFX_IDW_PANE_FIRST)['hwnd'])['rows']
            self.assertEqual(rows, [['PC1', '00-11-22-33-44-55', '']] if briefly else [])
            ui.do('close', frame)
            self.assertEqual(ui.exit_status(kivrel), 0)
            self.assert_only(self.dir, data)  # and no .new or .bak

if __name__ == '__main__':
    kivtest.main()
