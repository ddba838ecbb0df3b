"""The send progress dialog, driven from outside under Wine in the private
network namespace, with a listener on port 7 taking every wake packet."""
import random
import subprocess
import sys
import threading
import time
import unittest

import kivtest

HOST = sys.argv.pop(1)
PROBE = sys.argv.pop(1)

DIALOG_CLASS = '#32770'
TITLE = '送信ﾀﾞｲｱﾛｸﾞ'
ABORT, ABORTING, CLOSE = (kivtest.MESSAGES[i] for i in (61211, 61212, 61213))
SENT, FAILED = kivtest.MESSAGES[61214], kivtest.MESSAGES[61215]
WM_COMMAND = 0x0111
IDOK = 1
LIST = 1004


def targets(count):
    return [(f'PC{i}', f'00-11-22-33-{i // 256:02X}-{i % 256:02X}') for i in range(count)]


class Packets:
    """Takes every datagram as it arrives, stamped on arrival."""

    def __init__(self, lan=None):
        self.listener = kivtest.UdpListener(lan=lan)
        self.got = []
        self.running = True
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def _run(self):
        while self.running:
            item = self.listener.receive(0.05)
            if item is not None:
                self.got.append(item)

    def wait_for(self, count, timeout):
        deadline = time.monotonic() + timeout
        while len(self.got) < count and time.monotonic() < deadline:
            time.sleep(0.01)
        return list(self.got)

    def close(self):
        self.running = False
        self.thread.join()
        self.listener.close()


class SendDialog(kivtest.WineTestCase):
    probe_exe = PROBE

    def setUp(self):
        self.packets = Packets()
        self.addCleanup(self.packets.close)
        self.proc = None

    def start(self, entries):
        if self.proc is not None:
            kivtest.stop(self.proc)  # the stress test's runs share one test
        args = [word for entry in entries for word in entry]
        self.proc = self.start_program(HOST, *args)

    def open(self, entries):
        self.start(entries)
        dialog = self.probe('find', DIALOG_CLASS, TITLE, 30000)
        self.assertNotIn('error', dialog)
        return dialog['hwnd']

    def button(self, dialog):
        return self.probe('control', dialog, IDOK)

    def rows(self, dialog):
        return self.probe('list', dialog, LIST)['rows']

    def wait_finished(self, dialog, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            button = self.button(dialog)
            if button['text'] == CLOSE:
                return button
            time.sleep(0.05)
        self.fail('the dialog never reached its close state')

    def close(self, dialog):
        self.assertEqual(self.probe('click', dialog, IDOK), {})
        self.assert_closed_with_ok()

    def assert_closed_with_ok(self):
        # The exit status, not the output: Wine's services may hold the pipe open.
        self.assertEqual(self.proc.wait(timeout=15), 1)

    def press_ok_now(self, dialog):
        """WM_COMMAND IDOK as the button sends it; returns once it was handled."""
        self.probe('send', dialog, WM_COMMAND, IDOK, 0)
        return time.monotonic()

    def assert_sent_prefix(self, entries, rows, got):
        """Every datagram is one row marked sent, in order, and nothing else is."""
        self.assertEqual([p for p, _, _ in got],
                         [kivtest.magic_packet(mac) for _, mac in entries[:len(got)]])
        self.assertEqual([r[2] for r in rows], [SENT] * len(got) + [''] * (len(rows) - len(got)))

    def test_each_target_sent_in_order_about_100ms_apart(self):
        entries = [('名前一', '00-1A-2B-3C-4D-5E')] + targets(24)
        dialog = self.open(entries)
        window = self.probe('window', dialog)
        self.assertEqual(window['style'] & 0x80C000C0, 0x80C000C0)  # popup, caption, modal frame
        self.assertEqual(self.button(dialog)['text'], ABORT)
        cancel = self.probe('control', dialog, 2)
        self.assertEqual((cancel['text'], cancel['visible']), ('ｷｬﾝｾﾙ', False))

        # A row the user picks meanwhile does not divert the results.
        self.packets.wait_for(3, 10)
        self.assertEqual(self.probe('select', dialog, LIST, 0), {})
        got = self.packets.wait_for(len(entries), 20)
        self.assertEqual(len(got), len(entries))
        self.assertEqual({destination for _, destination, _ in got}, {'255.255.255.255'})
        gaps = [b[2] - a[2] for a, b in zip(got, got[1:])]
        self.assertGreater(min(gaps), 0.08, gaps)
        self.assertLess(sum(gaps) / len(gaps), 0.2, gaps)

        button = self.wait_finished(dialog)
        self.assertTrue(button['enabled'])
        listing = self.probe('list', dialog, LIST)
        self.assertEqual([(c['text'], c['width'], c['fmt']) for c in listing['columns']],
                         [('Name', 200, 0), ('MAC', 120, 0), ('Status', 100, 0)])
        self.assertEqual(listing['exstyle'] & 0x21, 0x21)
        self.assertEqual(listing['rows'], [[n, m, SENT] for n, m in entries])
        self.assertEqual(self.probe('control', dialog, LIST)['style'] & 0x800D, 0x800D)
        # The list followed the progress: only the last row selected, and in view.
        last = len(entries) - 1
        self.assertEqual((listing['selected'], listing['focused']), ([last], last))
        self.assertGreater(listing['top'], 0)
        self.assertGreaterEqual(listing['top'] + listing['perpage'], last)
        self.assert_sent_prefix(entries, listing['rows'], got)

        # Moved to a monitor at 144 DPI (Windows' message, which Wine never
        # sends): the list's font and columns follow.
        list_hwnd = self.probe('control', dialog, LIST)['hwnd']
        row = self.probe('itemrect', list_hwnd, 0)['rect']
        self.probe('dpichanged', dialog, 144, *window['rect'])
        self.assertEqual([c['width'] for c in self.probe('list', dialog, LIST)['columns']],
                         [300, 180, 150])
        larger = self.probe('itemrect', list_hwnd, 0)['rect']
        self.assertGreater(larger[3] - larger[1], (row[3] - row[1]) * 1.4)
        self.close(dialog)
        self.assertEqual(len(self.packets.wait_for(len(entries) + 1, 0.5)), len(entries))

    def test_lans_each_get_every_target_in_row_order(self):
        ends = kivtest.lans()
        if len(ends) != 2:
            self.skipTest('needs tests/harness/isolated --lans 2')
        lans = [Packets(namespace) for _, namespace in ends]
        for packets in lans:
            self.addCleanup(packets.close)
        entries = targets(3)
        dialog = self.open(entries)
        self.wait_finished(dialog)
        self.assertEqual([r[2] for r in self.rows(dialog)], [SENT] * 3)
        for packets in lans:
            got = packets.wait_for(3, 2)
            self.assertEqual([p for p, _, _ in got], [kivtest.magic_packet(m) for _, m in entries])
            self.assertGreater(min(b[2] - a[2] for a, b in zip(got, got[1:])), 0.08)
        self.close(dialog)
        self.assertEqual([len(packets.wait_for(4, 0.3)) for packets in lans], [3, 3])

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
        shown = self.probe('findcommand', DIALOG_CLASS, TITLE, 30000, IDOK)
        self.assertNotIn('error', shown)
        dialog = shown['hwnd']
        self.assertTrue(self.wait_finished(dialog)['enabled'])
        self.assertEqual(self.rows(dialog), [[n, m, ''] for n, m in entries])
        self.close(dialog)
        self.assertEqual(self.packets.wait_for(1, 0.3), [])

    def test_abort_shows_aborting_disabled_then_close(self):
        entries = targets(40)
        dialog = self.open(entries)
        self.packets.wait_for(1, 10)
        # A posted click, as the mouse gives it.
        self.assertEqual(self.probe('click', dialog, IDOK), {})
        seen = []
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline and (not seen or seen[-1][0] != CLOSE):
            button = self.button(dialog)
            if not seen or seen[-1] != (button['text'], button['enabled']):
                seen.append((button['text'], button['enabled']))
        self.assertEqual(seen[-1], (CLOSE, True))
        # The probe reads caption and state one after the other, so a sample
        # may straddle the change from Sending to Aborting.
        self.assertTrue(set(seen) <= {(ABORT, True), (ABORT, False), (ABORTING, False),
                                      (CLOSE, True)}, seen)
        got = self.packets.wait_for(len(entries), 0.5)
        self.assertLess(len(got), len(entries))
        self.assert_sent_prefix(entries, self.rows(dialog), got)
        self.close(dialog)

    def test_esc_and_alt_f4_change_nothing(self):
        entries = targets(5)
        dialog = self.open(entries)
        self.packets.wait_for(1, 10)
        self.assertEqual(self.probe('keys', dialog, 'esc'), {})
        time.sleep(0.15)
        self.assertEqual(self.button(dialog)['text'], ABORT)
        self.wait_finished(dialog)
        self.assertEqual(len(self.packets.wait_for(5, 2)), 5)
        self.assertEqual(self.probe('keys', dialog, 'esc'), {})
        self.assertEqual(self.probe('keys', dialog, 'alt+f4'), {})
        time.sleep(0.3)
        self.assertIsNone(self.proc.poll())
        self.assertEqual(self.button(dialog)['text'], CLOSE)
        self.assertEqual([r[2] for r in self.rows(dialog)], [SENT] * 5)
        self.close(dialog)

    def test_enter_while_sending_aborts(self):
        entries = targets(40)
        dialog = self.open(entries)
        self.packets.wait_for(2, 10)
        self.assertEqual(self.probe('keys', dialog, 'enter'), {})
        self.wait_finished(dialog, timeout=10)
        got = self.packets.wait_for(len(entries), 0.5)
        self.assertLess(len(got), len(entries))
        self.assert_sent_prefix(entries, self.rows(dialog), got)
        # The focus did not go with the disabled button: Enter now closes.
        self.assertEqual(self.probe('keys', dialog, 'enter'), {})
        self.assert_closed_with_ok()

    def test_stress_aborts_at_random_moments(self):
        rng = random.Random(5)
        entries = targets(10)
        aborted = 0
        for run in range(20):
            with self.subTest(run=run):
                self.packets.got.clear()
                dialog = self.open(entries)
                time.sleep(rng.uniform(0, 0.7))
                aborted_at = self.press_ok_now(dialog)
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
    unittest.main()
