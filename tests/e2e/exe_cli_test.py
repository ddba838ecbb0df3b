"""Kivrel.exe's command-line wake, run under Wine as a user would, in the
private network namespace with its own wineserver."""
import os
import re
import sys
import tempfile
import unittest
from pathlib import Path

import kivtest
from kivtest import MESSAGES as M, R, W

PROBE = sys.argv.pop(2)
EXE = sys.argv.pop(1)
MAC = '00-11-22-33-44-55'
NAMED = ['00-11-22-33-44-01', '00-11-22-33-44-03']
DATA = kivtest.data_file([('会議室のPC', NAMED[0]), ('AB', MAC), ('会議室のpc', NAMED[1])])


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

    def run_exe(self, *args, **how):
        return self.start_program(EXE, *args, cwd=self.dir.name, **how)

    def answer_message_box(self, proc, message, name=''):
        box, texts, buttons = self.ui.message_box(timeout=20)
        folder = 'Z:' + os.path.realpath(self.dir.name).replace('/', '\\')
        text = M[message].replace('%1', name).replace('%2', folder)
        self.assertEqual((texts, buttons), ([text], [W.IDOK]))
        self.ui.do('click', box, W.IDOK)
        self.assertEqual(self.ui.exit_status(proc), 1)

    def test_valid_address_sends_one_packet_without_a_window(self):
        proc = self.run_exe(MAC)
        seen = []

        def ended():
            seen.extend(self.ui('windows')['windows'])
            return proc.poll() is not None
        kivtest.wait_until(ended, 30, 'the wake to end')
        self.assertEqual(seen, [])
        self.assertEqual(proc.returncode, 0)
        packets = self.listener.receive_all()
        self.assertEqual(packets, [(kivtest.magic_packet(MAC), '255.255.255.255')])

    def test_lans_each_get_one_packet(self):
        kivtest.check_wake_per_lan(
            self, lambda: self.assertEqual(self.ui.exit_status(self.run_exe(MAC)), 0), MAC)

    def test_lans_far_pcs_wake_from_the_command_line_and_the_window(self):
        far = kivtest.FarLan(self)

        def wake(*args):
            proc = self.start_program(EXE, *args, cwd=far.folder)
            status = self.ui.exit_status(proc)  # a message box would keep it from ending
            os.set_blocking(proc.stderr.fileno(), False)
            return status, (proc.stderr.read() or b'').decode('cp932').splitlines()
        far.check_command_line(self, wake)
        # The window: send to all, each through its own destination and port.
        self.start_program(EXE, cwd=far.folder)
        frame = self.ui.find('*', 'Kivrel', 30)['hwnd']
        self.ui.do('command', frame, R.ID_SEND_ALL)
        send = self.ui.dialog(kivtest.CAPTIONS[R.IDD_SEND])
        self.ui.wait_text(send, W.IDOK, M[R.IDS_SEND_CLOSE], 30)
        self.assertEqual([row[2] for row in self.ui('list', send, R.IDC_SEND_LIST)['rows']],
                         [M[R.IDS_SEND_DONE]] * 2)
        self.ui.finish_send(send)
        far.check_woken(self)

    def test_a_wake_loads_none_of_the_window_dlls(self):
        # They are imported lazily; loading them costs more than the wake.
        log = Path(self.dir.name).with_suffix('.loaddll')
        self.addCleanup(log.unlink, True)
        with open(log, 'wb') as err:
            proc = self.run_exe(MAC, env={'WINEDEBUG': '+loaddll'}, stderr=err)
            self.assertEqual(self.ui.exit_status(proc), 0)
        self.assertEqual(len(self.listener.receive_all()), 1)
        loaded = {m.lower() for m in re.findall(r'Loaded L"[^"]*\\([^"\\]+)"',
                                               log.read_text(errors='replace'))}
        self.assertIn('wsock32.dll', loaded)
        self.assertFalse(loaded & {'user32.dll', 'gdi32.dll', 'comctl32.dll'}, sorted(loaded))

    def test_short_last_group_is_sent(self):
        self.assertEqual(self.ui.exit_status(self.run_exe('00-11-22-33-44-5')), 0)
        packets = self.listener.receive_all()
        self.assertEqual(len(packets), 1)
        self.assertEqual(packets[0][0][6:12], bytes([0, 0x11, 0x22, 0x33, 0x44, 0x05]))

    def test_a_name_wakes_each_pc_of_that_name_else_the_address_is_wrong(self):
        self.assertEqual(self.ui.exit_status(self.run_exe('会議室のPC')), 0)
        self.assertEqual(self.listener.receive_all(),
                         [(kivtest.magic_packet(m), '255.255.255.255') for m in NAMED])
        self.answer_message_box(self.run_exe('会議室'), R.IDS_NAME_NOT_FOUND, '会議室')
        self.assertEqual(self.listener.receive_all(), [])
        # Wine quotes an argument with a blank: the command line ends in "MAC ".
        self.assertEqual(self.ui.exit_status(self.run_exe(MAC + ' ')), 0)
        self.assertEqual(len(self.listener.receive_all()), 1)
        # With a window open, the list it shows is saved when it closes.
        self.run_exe()
        self.ui.find('KivrelMainFrame', '*', 20)
        self.answer_message_box(self.run_exe('会議室'), R.IDS_NAME_NOT_FOUND_OPEN, '会議室')

    def test_each_malformed_text_shows_its_message_and_sends_nothing(self):
        cases = [
            ((MAC, '66-77-88-99-AA-BB'), R.IDS_MAC_LENGTH),
            (('00:11:22:33:44:55',), R.IDS_MAC_SEPARATOR),
            (('00-11-22-3G-44-55',), R.IDS_MAC_DIGIT),
        ]
        for args, message in cases:
            with self.subTest(args=args):
                self.answer_message_box(self.run_exe(*args), message)
        self.assertEqual(self.listener.receive_all(), [])

    def test_messages_read_the_same_on_a_western_system(self):
        # The texts are Unicode resources shown through the W API, so the
        # system's code page (1252 here) cannot garble them.
        self.answer_message_box(self.run_exe('00:11', env={'LC_ALL': 'C.UTF-8'}),
                                R.IDS_MAC_SEPARATOR)
        self.assertEqual(self.listener.receive_all(), [])


if __name__ == '__main__':
    kivtest.main()
