"""Kivrel.exe's command-line wake, run under Wine as a user would, in the
private network namespace with its own wineserver."""
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

import kivtest

PROBE = sys.argv.pop(2)
EXE = sys.argv.pop(1)
MAC = '00-11-22-33-44-55'
DATA = bytes.fromhex('01000000' '02000000' '4142' '001122334455')


class ExeCommandLine(kivtest.WineTestCase):
    probe_exe = PROBE

    def setUp(self):
        self.listener = kivtest.UdpListener()
        self.addCleanup(self.listener.close)
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        self.data = Path(self.dir.name) / 'Kivrel.dat'
        self.data.write_bytes(DATA)
        self.before = os.stat(self.data)

    def tearDown(self):
        after = os.stat(self.data)
        self.assertEqual(self.data.read_bytes(), DATA)
        self.assertEqual((after.st_ino, after.st_mtime_ns), (self.before.st_ino,
                                                               self.before.st_mtime_ns))
        self.assertEqual(sorted(os.listdir(self.dir.name)), ['Kivrel.dat'])

    def run_exe(self, *args, locale=None):
        return self.start_program(EXE, *args, cwd=self.dir.name, locale=locale)

    def answer_message_box(self, proc, message):
        box = self.probe('find', '#32770', 'Kivrel', 20000)
        self.assertNotIn('error', box)
        children = self.probe('children', box['hwnd'])['children']
        texts = [c['text'] for c in children if c['class'] == 'Static']
        self.assertIn(kivtest.MESSAGES[message], texts)
        buttons = [c for c in children if c['class'] == 'Button' and c['visible']]
        self.assertEqual([b['id'] for b in buttons], [1])
        self.assertEqual(self.probe('click', box['hwnd'], 1), {})
        self.assertEqual(proc.wait(timeout=30), 1)

    def windows_while_running(self, proc):
        seen = []
        while proc.poll() is None:
            seen += self.probe('windows')['windows']
            time.sleep(0.05)
        return seen

    def test_valid_address_sends_one_packet_without_a_window(self):
        proc = self.run_exe(MAC)
        self.assertEqual(self.windows_while_running(proc), [])
        self.assertEqual(proc.wait(timeout=30), 0)
        packets = self.listener.receive_all()
        self.assertEqual(packets, [(kivtest.magic_packet(MAC), '255.255.255.255')])

    def test_lans_each_get_one_packet(self):
        kivtest.check_wake_per_lan(
            self, lambda: self.assertEqual(self.run_exe(MAC).wait(timeout=30), 0), MAC)

    def test_a_wake_loads_none_of_the_window_dlls(self):
        # They are imported lazily; loading them costs more than the wake.
        log = Path(self.dir.name).with_suffix('.loaddll')
        self.addCleanup(log.unlink, True)
        with open(log, 'wb') as err:
            proc = subprocess.Popen(kivtest.wine_command(EXE, MAC), cwd=self.dir.name,
                                    env=dict(os.environ, WINEDEBUG='+loaddll'),
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                    stderr=err)
            self.assertEqual(proc.wait(timeout=30), 0)
        self.assertEqual(len(self.listener.receive_all()), 1)
        loaded = {m.lower() for m in re.findall(r'Loaded L"[^"]*\\([^"\\]+)"',
                                               log.read_text(errors='replace'))}
        self.assertIn('wsock32.dll', loaded)
        self.assertFalse(loaded & {'user32.dll', 'gdi32.dll', 'comctl32.dll'}, sorted(loaded))

    def test_short_last_group_is_sent(self):
        proc = self.run_exe('00-11-22-33-44-5')
        self.assertEqual(proc.wait(timeout=30), 0)
        packets = self.listener.receive_all()
        self.assertEqual(len(packets), 1)
        self.assertEqual(packets[0][0][6:12], bytes([0, 0x11, 0x22, 0x33, 0x44, 0x05]))

    def test_each_malformed_text_shows_its_message_and_sends_nothing(self):
        cases = [
            ((MAC + ' ',), 61205),
            ((MAC, '66-77-88-99-AA-BB'), 61205),
            (('"' + MAC + '"',), 61205),
            (('00:11:22:33:44:55',), 61206),
            (('/?',), 61206),
            (('00-11-22-3G-44-55',), 61207),
        ]
        for args, message in cases:
            with self.subTest(args=args):
                self.answer_message_box(self.run_exe(*args), message)
        self.assertEqual(self.listener.receive_all(), [])

    def test_messages_read_the_same_on_a_western_system(self):
        # The texts are Unicode resources shown through the W API, so the
        # system's code page (1252 here) cannot garble them.
        self.answer_message_box(self.run_exe('/?', locale='C.UTF-8'), 61206)
        self.assertEqual(self.listener.receive_all(), [])


if __name__ == '__main__':
    unittest.main()
