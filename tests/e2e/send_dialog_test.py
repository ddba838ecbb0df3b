"""The send progress dialog, driven from outside under Wine in the private
network namespace, with a listener on port 7 taking every wake packet."""
import random
import subprocess
import sys
import time
import unittest

import kivtest
from kivtest import MESSAGES as M, R, W

HOST = sys.argv.pop(1)
PROBE = sys.argv.pop(1)

TITLE = kivtest.CAPTIONS[R.IDD_SEND]
ABORT, ABORTING, CLOSE = M[R.IDS_SEND_ABORT], M[R.IDS_SEND_ABORTING], M[R.IDS_SEND_CLOSE]
SENT, FAILED = M[R.IDS_SEND_DONE], M[R.IDS_SEND_FAILED]
LIST = R.IDC_SEND_LIST
# Each send follows a 100 ms wait on the abort event that timed out. Such a
# wait ends on a tick of the system clock, so on Windows it may end up to one
# tick (15.625 ms) early. The gaps are measured between the kernel's arrival
# stamps, so the test's own scheduling does not count.
LEAST_GAP = 0.1 - 0.015625


def targets(count):
    return [(f'PC{i}', f'00-11-22-33-{i // 256:02X}-{i % 256:02X}') for i in range(count)]


class SendDialog(kivtest.WineTestCase):
    probe_exe = PROBE

    def setUp(self):
        self.packets = kivtest.UdpListener()
        self.addCleanup(self.packets.close)
        self.proc = None

    def start(self, entries):
        if self.proc is not None:
            kivtest.stop(self.proc)  # the stress test's runs share one test
        args = [word for entry in entries for word in entry]
        self.proc = self.start_program(HOST, *args)

    def open(self, entries):
        self.start(entries)
        return self.ui.dialog(TITLE, 30)

    def button(self, dialog):
        return self.ui('control', dialog, W.IDOK)

    def rows(self, dialog):
        return self.ui('list', dialog, LIST)['rows']

    def wait_finished(self, dialog, timeout=30):
        return self.ui.wait_text(dialog, W.IDOK, CLOSE, timeout)

    def close(self, dialog):
        self.ui.do('click', dialog, W.IDOK)
        self.assert_closed_with_ok()

    def assert_closed_with_ok(self):
        # The exit status, not the output: Wine's services may hold the pipe open.
        self.assertEqual(self.ui.exit_status(self.proc, 15), W.IDOK)

    def assert_sent_prefix(self, entries, rows, got):
        """Every datagram is one row marked sent, in order, and nothing else is."""
        self.assertEqual([p for p, _, _ in got],
                         [kivtest.magic_packet(mac) for _, mac in entries[:len(got)]])
        self.assertEqual([r[2] for r in rows], [SENT] * len(got) + [''] * (len(rows) - len(got)))

    def test_each_target_sent_in_order_about_100ms_apart(self):
        entries = [('名前一', '00-1A-2B-3C-4D-5E')] + targets(24)
        dialog = self.open(entries)
        window = self.ui('window', dialog)
        framed = W.WS_POPUP | W.WS_CAPTION | W.DS_MODALFRAME | W.DS_SETFONT
        self.assertEqual(window['style'] & framed, framed)
        self.assertEqual(self.button(dialog)['text'], ABORT)
        cancel = self.ui('control', dialog, W.IDCANCEL)
        self.assertEqual((cancel['text'], cancel['visible']), ('ｷｬﾝｾﾙ', False))

        # A row the user picks meanwhile does not divert the results.
        self.packets.wait_for(3, 10)
        self.ui.do('select', dialog, LIST, 0)
        got = self.packets.wait_for(len(entries), 20)
        self.assertEqual(len(got), len(entries))
        self.assertEqual({destination for _, destination, _ in got}, {'255.255.255.255'})
        gaps = [b[2] - a[2] for a, b in zip(got, got[1:])]
        self.assertGreaterEqual(min(gaps), LEAST_GAP, gaps)
        self.assertLess(sum(gaps) / len(gaps), 0.2, gaps)

        button = self.wait_finished(dialog)
        self.assertTrue(button['enabled'])
        listing = self.ui('list', dialog, LIST)
        self.assertEqual([(c['text'], c['width'], c['fmt']) for c in listing['columns']],
                         [('Name', 200, 0), ('MAC', 120, 0), ('Status', 100, 0)])
        grid = W.LVS_EX_GRIDLINES | W.LVS_EX_FULLROWSELECT
        self.assertEqual(listing['exstyle'] & grid, grid)
        self.assertEqual(listing['rows'], [[n, m, SENT] for n, m in entries])
        style = W.LVS_NOSORTHEADER | W.LVS_SHOWSELALWAYS | W.LVS_SINGLESEL | W.LVS_REPORT
        self.assertEqual(self.ui('control', dialog, LIST)['style'] & style, style)
        # The list followed the progress: only the last row selected, and in view.
        last = len(entries) - 1
        self.assertEqual((listing['selected'], listing['focused']), ([last], last))
        self.assertGreater(listing['top'], 0)
        self.assertGreaterEqual(listing['top'] + listing['perpage'], last)
        self.assert_sent_prefix(entries, listing['rows'], got)

        # Moved to a monitor at 144 DPI (Windows' message, which Wine never
        # sends): the list's font and columns follow.
        list_hwnd = self.ui('control', dialog, LIST)['hwnd']
        row = self.ui('itemrect', list_hwnd, 0)['rect']
        self.ui.do('dpichanged', dialog, 144, *window['rect'])
        self.assertEqual([c['width'] for c in self.ui('list', dialog, LIST)['columns']],
                         [300, 180, 150])
        larger = self.ui('itemrect', list_hwnd, 0)['rect']
        self.assertGreater(larger[3] - larger[1], (row[3] - row[1]) * 1.4)
        self.close(dialog)
        self.assertEqual(len(self.packets.wait_for(len(entries) + 1, 0.5)), len(entries))

    def test_lans_each_get_every_target_in_row_order(self):
        ends = kivtest.lans()
        if len(ends) != 2:
            self.skipTest('needs tests/harness/isolated --lans 2')
        lans = [kivtest.UdpListener(lan=namespace) for _, namespace in ends]
        for packets in lans:
            self.addCleanup(packets.close)
        entries = targets(3)
        dialog = self.open(entries)
        self.wait_finished(dialog)
        self.assertEqual([r[2] for r in self.rows(dialog)], [SENT] * 3)
        for packets in lans:
            got = packets.wait_for(3, 2)
            self.assertEqual([p for p, _, _ in got], [kivtest.magic_packet(m) for _, m in entries])
            self.assertGreaterEqual(min(b[2] - a[2] for a, b in zip(got, got[1:])), LEAST_GAP)
        self.close(dialog)
        self.assertEqual([len(packets.wait_for(4, 0.3)) for packets in lans], [3, 3])

    def test_each_row_goes_through_its_destination_a_name_not_found_fails_alone(self):
        kivtest.known_names(self, {'loop-pc': '127.0.0.1'})
        on_port_9 = kivtest.UdpListener(port=9)
        self.addCleanup(on_port_9.close)
        entries = [('近くのPC', '00-1A-2B-3C-4D-01'),
                   ('名前のないPC', '00-1A-2B-3C-4D-02/no-such-pc.invalid/9'),
                   ('遠くのPC', '00-1A-2B-3C-4D-03/loop-pc/'),
                   ('ポートだけ', '00-1A-2B-3C-4D-04//9')]
        dialog = self.open(entries)
        self.wait_finished(dialog)
        self.assertEqual([r[2] for r in self.rows(dialog)],
                         [SENT, M[R.IDS_SEND_NO_DESTINATION], SENT, SENT])
        magic = [kivtest.magic_packet(mac[:17]) for _, mac in entries]
        self.assertEqual(self.packets.receive_all(),
                         [(magic[0], '255.255.255.255'), (magic[2], '127.0.0.1')])
        self.assertEqual(on_port_9.receive_all(), [(magic[3], '255.255.255.255')])
        self.close(dialog)

    def test_same_mac_twice_gives_two_rows(self):
        entries = [('a', '00-11-22-33-44-55'), ('b', '00-11-22-33-44-55')]
        dialog = self.open(entries)
        self.wait_finished(dialog)
        got = self.packets.wait_for(2, 2)
        rows = self.rows(dialog)
        self.assertEqual(len(got), 2)
        self.assert_sent_prefix(entries, rows, got)
        self.close(dialog)

    def test_without_a_route_every_row_fails_and_the_run_finishes(self):
        subprocess.run(['ip', 'route', 'del', 'default'], check=True)
        self.addCleanup(subprocess.run, ['ip', 'route', 'add', 'default', 'dev', 'lo'],
                        check=True)
        entries = targets(3)
        dialog = self.open(entries)
        self.assertTrue(self.wait_finished(dialog)['enabled'])
        self.assertEqual([r[2] for r in self.rows(dialog)], [FAILED] * 3)
        self.close(dialog)
        self.assertEqual(self.packets.wait_for(1, 0.3), [])

    def test_pressed_within_the_first_interval_sends_nothing(self):
        entries = targets(3)
        self.start(entries)
        shown = self.ui('findcommand', W.DIALOG_CLASS, TITLE, 30000, W.IDOK)
        self.assertNotIn('error', shown)
        dialog = shown['hwnd']
        self.assertTrue(self.wait_finished(dialog)['enabled'])
        self.assertEqual(self.rows(dialog), [[n, m, ''] for n, m in entries])
        self.close(dialog)
        self.assertEqual(self.packets.wait_for(1, 0.3), [])

    def test_abort_shows_aborting_disabled_then_close(self):
        entries = targets(40)
        dialog = self.open(entries)
        self.assertGreaterEqual(len(self.packets.wait_for(1, 10)), 1)  # aborted while sending
        # A posted click, as the mouse gives it.
        self.ui.do('click', dialog, W.IDOK)
        seen = []

        def closable():
            button = self.button(dialog)
            if not seen or seen[-1] != (button['text'], button['enabled']):
                seen.append((button['text'], button['enabled']))
            return seen[-1]
        kivtest.wait_until(closable, 10, 'the close button', (CLOSE, True))
        # The probe reads caption and state one after the other, so a sample
        # may straddle the change from Sending to Aborting.
        self.assertTrue(set(seen) <= {(ABORT, True), (ABORT, False), (ABORTING, False),
                                      (CLOSE, True)}, seen)
        got = self.packets.wait_for(len(entries), 0.5)
        self.assertLess(len(got), len(entries))
        self.assert_sent_prefix(entries, self.rows(dialog), got)
        self.close(dialog)

    def test_esc_and_alt_f4_change_nothing(self):
        # Esc while sending does not abort: the run goes on to its end.
        entries = targets(5)
        dialog = self.open(entries)
        self.packets.wait_for(1, 10)
        self.ui.do('keys', dialog, 'esc')
        self.wait_finished(dialog)
        self.assertEqual(len(self.packets.wait_for(5, 2)), 5)
        self.assertEqual([r[2] for r in self.rows(dialog)], [SENT] * 5)
        # Nor does either close the finished dialog: the Enter pressed after
        # them is what closes it, with its button.
        for keys in ('esc', 'alt+f4', 'enter'):
            self.ui.do('keys', dialog, keys)
        self.assert_closed_with_ok()

    def test_enter_while_sending_aborts(self):
        entries = targets(40)
        dialog = self.open(entries)
        self.assertGreaterEqual(len(self.packets.wait_for(2, 10)), 2)
        self.ui.do('keys', dialog, 'enter')
        self.wait_finished(dialog, timeout=10)
        got = self.packets.wait_for(len(entries), 0.5)
        self.assertLess(len(got), len(entries))
        self.assert_sent_prefix(entries, self.rows(dialog), got)
        # The focus did not go with the disabled button: Enter now closes.
        self.ui.do('keys', dialog, 'enter')
        self.assert_closed_with_ok()

    def test_stress_aborts_at_random_moments(self):
        rng = random.Random(5)
        entries = targets(10)
        aborted = 0
        for run in range(20):
            with self.subTest(run=run):
                self.packets.clear()
                dialog = self.open(entries)
                # A random moment of the run, or its end if that comes first.
                self.packets.wait_for(len(entries), rng.uniform(0, 0.7))
                self.ui('send', dialog, W.WM_COMMAND, W.IDOK, 0)  # returns once handled
                aborted_at = time.time()
                if self.proc.poll() is not None or self.button(dialog).get('error'):
                    # Too slow to catch it sending: the press closed a finished run.
                    self.assertEqual(len(self.packets.wait_for(len(entries), 1)), len(entries))
                    self.assert_closed_with_ok()
                    continue
                aborted += 1
                self.wait_finished(dialog, timeout=10)
                got = self.packets.wait_for(len(entries), 0.3)
                late = [t for _, _, t in got if t > aborted_at]
                self.assertLessEqual(len(late), 1, (len(got), late, aborted_at))
                self.assert_sent_prefix(entries, self.rows(dialog), got)
                self.close(dialog)
        self.assertGreaterEqual(aborted, 10)


if __name__ == '__main__':
    kivtest.main()
