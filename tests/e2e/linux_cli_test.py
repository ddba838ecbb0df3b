"""The native kivrel, run as a user would, in the private network namespace."""
import os
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

import kivtest

KIVREL = sys.argv.pop(1)


class LinuxCli(unittest.TestCase):
    def setUp(self):
        kivtest.require_isolation()
        self.listener = kivtest.UdpListener()
        self.addCleanup(self.listener.close)

    def run_kivrel(self, *args, cwd=None):
        return subprocess.run([KIVREL, *args], capture_output=True, text=True, timeout=10,
                              cwd=cwd)

    def test_wakes_one_machine(self):
        result = self.run_kivrel('00-11-22-33-44-55')
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, '')
        packets = self.listener.receive_all()
        self.assertEqual(len(packets), 1)
        payload, destination = packets[0]
        self.assertEqual(payload, kivtest.magic_packet('00-11-22-33-44-55'))
        self.assertEqual(destination, '255.255.255.255')

    def test_lans_each_get_one_packet(self):
        kivtest.check_wake_per_lan(
            self, lambda: self.assertEqual(self.run_kivrel('00-11-22-33-44-55').returncode, 0),
            '00-11-22-33-44-55')

    def test_lans_far_pcs_by_their_broadcast_address_and_by_name_port_9(self):
        far = kivtest.FarLan(self, 'utf-8')

        def wake(*args):
            result = self.run_kivrel(*args, cwd=far.folder)
            return result.returncode, result.stderr.splitlines()
        far.check_command_line(self, wake)
        self.assertEqual(self.listener.receive_all(), [])

    def test_rejected_text_says_why_and_sends_nothing(self):
        length, separator, digit = (kivtest.MESSAGES[i] for i in (
            kivtest.R.IDS_MAC_LENGTH, kivtest.R.IDS_MAC_SEPARATOR, kivtest.R.IDS_MAC_DIGIT))
        unknown = kivtest.MESSAGES[kivtest.R.IDS_NAME_NOT_FOUND].replace('%1', '--verbose')
        cases = {
            ('00-11-22-33-44-55', '66-77-88-99-AA-BB'): length,
            ('00:11:22:33:44:55',): separator,
            ('--verbose',): unknown.replace('%2', os.getcwd()),
            ('00-11-22-3X-44-55',): digit,
        }
        for args, message in cases.items():
            result = self.run_kivrel(*args)
            self.assertEqual(result.returncode, 1, args)
            self.assertEqual(result.stderr, f'Kivrel: {message}\n', args)
        self.assertEqual(self.listener.receive_all(), [])

    def test_a_name_wakes_its_pcs_100_ms_apart_and_leaves_the_data_file(self):
        folder = Path(self.enterContext(tempfile.TemporaryDirectory()))
        macs = ['00-11-22-33-44-01', '00-11-22-33-44-02', '00-11-22-33-44-03']
        data = kivtest.data_file(list(zip(['会議室のPC', 'Other', '会議室のpc'], macs)), 'utf-8')
        (folder / 'Kivrel.dat').write_bytes(data)
        result = self.run_kivrel('会議室のPC', cwd=folder)
        self.assertEqual((result.returncode, result.stderr), (0, ''))
        got = self.listener.wait_for(2, 10)
        self.assertEqual([g[0] for g in got], [kivtest.magic_packet(m) for m in macs[::2]])
        self.assertGreater(got[1][2] - got[0][2], 0.09)
        result = self.run_kivrel('会議室', cwd=folder)
        unknown = kivtest.MESSAGES[kivtest.R.IDS_NAME_NOT_FOUND].replace('%1', '会議室')
        self.assertEqual((result.returncode, result.stderr),
                         (1, f'Kivrel: {unknown.replace("%2", str(folder))}\n'))
        self.assertEqual(self.run_kivrel('"00-11-22-33-44-03" ', cwd=folder).returncode, 0)
        self.assertEqual(len(self.listener.receive_all()), 1)
        self.assertEqual(self.listener.receive_all(), [])
        self.assertEqual(((folder / 'Kivrel.dat').read_bytes(), os.listdir(folder)),
                         (data, ['Kivrel.dat']))

    def test_no_arguments_prints_usage(self):
        result = self.run_kivrel()
        self.assertEqual(result.returncode, 1)
        self.assertIn('usage', result.stderr)
        helped = self.run_kivrel('--help')
        self.assertEqual((helped.returncode, helped.stdout), (0, result.stderr))
        self.assertEqual(self.listener.receive_all(), [])


if __name__ == '__main__':
    kivtest.main()
