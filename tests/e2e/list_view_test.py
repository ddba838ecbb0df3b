"""The target list view under Wine, in a plain host window that loads
Kivrel.dat from its working directory, hands it every WM_COMMAND and saves
on close. The real control's rows and selection are read back through the
probe after each command, mouse click and key press."""
import os
import re
import subprocess
import sys
import time
import unittest

import kivtest
from kivtest import MESSAGES as M, R, W

HOST = sys.argv.pop(1)
PROBE = sys.argv.pop(1)

PANE = R.AFX_IDW_PANE_FIRST
SEND_SELECTED, SEND_ALL = R.ID_SEND_SELECTED, R.ID_SEND_ALL
NEW, EDIT, DELETE = R.ID_TARGET_NEW, R.ID_TARGET_EDIT, R.ID_TARGET_DELETE
UP, DOWN = R.ID_TARGET_UP, R.ID_TARGET_DOWN
NAME_EDIT, MAC_EDIT, SEND_LIST = R.IDC_NAME_EDIT, R.IDC_MAC_EDIT, R.IDC_SEND_LIST
SEND_TITLE, NEW_TITLE = kivtest.CAPTIONS[R.IDD_SEND], kivtest.CAPTIONS[R.IDD_REGISTER]

TARGETS = [('会議室のPC', '00-11-22-33-44-01'), ('経理部サーバ', '0A-1B-2C-3D-4E-5F'),
           ('ﾃｽﾄ端末', '00-00-00-00-00-03'), ('開発①', 'FF-EE-DD-CC-BB-AA'),
           ('PC-05', '00-11-22-33-44-05'), ('受付', '00-11-22-33-44-06')]


def in_lan(ends, index, *command):
    return subprocess.run(['ip', 'netns', 'exec', ends[index][1], *command],
                          capture_output=True, text=True, check=True).stdout


def peer_mac(ends, index):
    link = in_lan(ends, index, 'ip', 'link', 'show', ends[index][0] + 'p')
    return re.search(r'link/ether (\S+)', link)[1].upper().replace(':', '-')


def echoes_in(ends, index):
    """Echo requests the peer's stack has seen, answered or not."""
    names, values = [line.split()[1:] for line in in_lan(ends, index, 'cat', '/proc/net/snmp')
                     .splitlines() if line.startswith('IcmpMsg:')] or [[], []]
    return dict(zip(names, values)).get('InType8', '0')


def rows_of(entries):
    return [[name, mac, ''] for name, mac in entries]


class ListView(kivtest.WineTestCase):
    probe_exe = PROBE

    def setUp(self):
        self.dir = self.make_folder()

    def start(self, entries, **how):
        with open(os.path.join(self.dir, 'Kivrel.dat'), 'wb') as f:
            f.write(kivtest.data_file(entries))
        self.proc = self.start_program(HOST, cwd=self.dir, **how)
        found = self.ui.find('KivrelListHost', 'list host', 30)
        self.host, self.pid = found['hwnd'], found['pid']
        self.list = self.ui('control', self.host, PANE)['hwnd']

    def close(self):
        """Closes the host and returns what it saved."""
        self.ui.do('close', self.host)
        self.assertEqual(self.ui.exit_status(self.proc, 20), 0)
        with open(os.path.join(self.dir, 'Kivrel.dat'), 'rb') as f:
            return f.read()

    def state(self):
        return self.ui('listwindow', self.list)

    def rows(self):
        return self.state()['rows']

    def selected(self):
        return self.state()['selected']

    def wait_state(self, rows, selected):
        """Until the list shows these rows with these selected."""
        def shown():
            state = self.state()
            return state['rows'], state['selected']
        kivtest.wait_until(shown, 10, 'the list', (rows, selected))

    def wait_selected(self, rows):
        kivtest.wait_until(self.selected, 10, 'the selection', rows)

    def select(self, *rows):
        self.ui.do('select', self.host, PANE, *rows)

    def command(self, command_id):
        """Carried out before this returns: it must open no dialog."""
        self.ui.send(self.host, W.WM_COMMAND, command_id)

    def open_with(self, command_id):
        self.ui.do('command', self.host, command_id)  # posted: a dialog opens

    def dialog(self, title):
        return self.ui.dialog(title, pid=self.pid)

    def confirm(self, message, answer):
        box, texts, buttons = self.ui.message_box(pid=self.pid)
        self.assertEqual((texts, buttons), ([message], [W.IDOK, W.IDCANCEL]))
        self.ui.do('click', box, answer)
        self.ui.wait_gone(box)

    def answer(self, dialog, button):
        self.ui.do('click', dialog, button)
        self.ui.wait_gone(dialog)

    def row_center(self, row):
        left, top, right, bottom = self.ui('itemrect', self.list, row)['rect']
        return left + 40, (top + bottom) // 2

    def click_row(self, row, *how):
        x, y = self.row_center(row)
        self.ui.do('mouse', self.list, x, y, *how)

    def test_rows_columns_and_the_commands_that_move_and_delete(self):
        self.start(TARGETS)
        shown = self.state()
        self.assertEqual(shown['columns'], [{'text': 'Name', 'width': 230, 'fmt': 0},
                                            {'text': 'MAC', 'width': 140, 'fmt': 0},
                                            {'text': 'Status', 'width': 100, 'fmt': 0}])
        self.assertEqual(shown['rows'], rows_of(TARGETS))
        self.assertEqual(shown['selected'], [])
        self.assertEqual(shown['exstyle'], W.LVS_EX_GRIDLINES | W.LVS_EX_FULLROWSELECT)
        style = self.ui('window', self.list)['style']
        self.assertEqual(self.ui('window', self.list)['text'], M[R.IDS_TARGET_LIST_NAME])
        on = (W.WS_CHILD | W.WS_VISIBLE | W.WS_BORDER | W.LVS_REPORT | W.LVS_SHOWSELALWAYS
              | W.LVS_NOSORTHEADER)
        self.assertEqual(style & on, on)
        off = W.LVS_SINGLESEL | W.LVS_SORTASCENDING | W.LVS_SORTDESCENDING | W.LVS_EDITLABELS
        self.assertEqual(style & off, 0)

        # Mouse and keyboard select; several rows at once.
        self.click_row(0)
        self.wait_selected([0])
        self.ui.do('keys', self.host, 'shift+down')
        self.wait_selected([0, 1])

        # Disabled rules: nothing happens, no dialog opens.
        for command_id in (EDIT, UP, DOWN):
            self.command(command_id)
        self.select(0)
        self.command(UP)
        self.select(5)
        self.command(DOWN)
        self.select()
        for command_id in (EDIT, DELETE, SEND_SELECTED, UP, DOWN):
            self.command(command_id)
        self.ui.no_window(self.pid)
        self.assertEqual(self.rows(), rows_of(TARGETS))

        # Up on row 3, then down again: the entry moves and stays selected and focused.
        self.select(3)
        self.command(UP)
        moved = TARGETS[:2] + [TARGETS[3], TARGETS[2]] + TARGETS[4:]
        shown = self.state()
        self.assertEqual(shown['rows'], rows_of(moved))
        self.assertEqual((shown['selected'], shown['focused']), ([2], 2))
        self.command(UP)
        self.command(UP)
        shown = self.state()
        self.assertEqual(shown['rows'][0][0], TARGETS[3][0])
        self.assertEqual((shown['selected'], shown['focused']), ([0], 0))
        for _ in range(3):
            self.command(DOWN)
        shown = self.state()
        self.assertEqual(shown['rows'], rows_of(TARGETS))
        self.assertEqual((shown['selected'], shown['focused']), ([3], 3))
        # The keyboard carries on from where the moved entry is.
        self.ui.do('keys', self.host, 'down')
        self.wait_selected([4])
        self.ui.do('keys', self.host, 'home')
        self.wait_selected([0])
        self.ui.do('keys', self.host, 'p')  # to the row whose name starts so: PC-05
        self.wait_selected([4])

        # Delete rows 1, 2 and 4: Cancel keeps them, OK removes just them.
        self.select(1, 2, 4)
        self.open_with(DELETE)
        self.confirm(M[R.IDS_CONFIRM_DELETE], W.IDCANCEL)
        self.assertEqual(self.rows(), rows_of(TARGETS))
        self.assertEqual(self.selected(), [1, 2, 4])
        self.open_with(DELETE)
        self.confirm(M[R.IDS_CONFIRM_DELETE], W.IDOK)
        kept = [TARGETS[0], TARGETS[3], TARGETS[5]]
        self.wait_state(rows_of(kept), [])

        self.assertEqual(self.close(), kivtest.data_file(kept))

    def test_dialogs_double_click_and_mouse(self):
        self.start(TARGETS)
        packets = kivtest.UdpListener()
        self.addCleanup(packets.close)

        # Edit row 2 through the registration dialog: Cancel, then OK.
        self.select(2)
        self.open_with(EDIT)
        edit = self.dialog(M[R.IDS_EDIT_TITLE])
        self.assertEqual(self.ui('control', edit, NAME_EDIT)['text'], TARGETS[2][0])
        self.answer(edit, W.IDCANCEL)
        self.assertEqual(self.rows(), rows_of(TARGETS))
        self.open_with(EDIT)
        edit = self.dialog(M[R.IDS_EDIT_TITLE])
        self.ui.do('settext', edit, NAME_EDIT, '総務部ﾉｰﾄ')
        self.ui.do('settext', edit, MAC_EDIT, 'ab-cd-ef-01-23-45')
        self.ui.do('click', edit, W.IDOK)
        edited = TARGETS[:2] + [('総務部ﾉｰﾄ', 'AB-CD-EF-01-23-45')] + TARGETS[3:]
        self.wait_state(rows_of(edited), [2])

        # New: Cancel adds nothing; OK appends a last row, even a duplicate, alone selected.
        self.open_with(NEW)
        self.answer(self.dialog(NEW_TITLE), W.IDCANCEL)
        self.assertEqual(self.rows(), rows_of(edited))
        self.open_with(NEW)
        new = self.dialog(NEW_TITLE)
        self.ui.do('settext', new, NAME_EDIT, TARGETS[0][0])
        self.ui.do('settext', new, MAC_EDIT, TARGETS[0][1].lower())
        self.ui.do('click', new, W.IDOK)
        edited.append(TARGETS[0])
        self.wait_state(rows_of(edited), [6])
        self.assertEqual(self.state()['focused'], 6)

        # Send selected with rows 4 and 1: the dialog lists them in row order, no question.
        self.select(4, 1)
        self.open_with(SEND_SELECTED)
        send = self.dialog(SEND_TITLE)
        self.assertEqual(self.ui('control', send, SEND_LIST)['text'], M[R.IDS_SEND_LIST_NAME])
        sent = [r[:2] for r in self.ui('list', send, SEND_LIST)['rows']]
        self.assertEqual(sent, [list(edited[1]), list(edited[4])])
        self.assertEqual([packets.receive(5)[0] for _ in range(2)],
                         [kivtest.magic_packet(edited[i][1]) for i in (1, 4)])
        self.ui.finish_send(send)
        # The PCs sent to wait to be seen; the host's watch lasts 8 s.
        self.assertEqual(self.rows(), [[*e, M[R.IDS_STATUS_WAITING] if i in (1, 4) else '']
                                       for i, e in enumerate(edited)])

        # A double-click asks first: Cancel sends nothing, OK sends that row.
        self.click_row(3, 'double')
        self.confirm(M[R.IDS_CONFIRM_SEND], W.IDCANCEL)
        self.ui.no_window(self.pid)
        self.click_row(3, 'double')
        self.confirm(M[R.IDS_CONFIRM_SEND], W.IDOK)
        send = self.dialog(SEND_TITLE)
        self.assertEqual([r[:2] for r in self.ui('list', send, SEND_LIST)['rows']],
                         [list(edited[3])])
        self.ui.finish_send(send)
        self.assertEqual(packets.receive(5)[0], kivtest.magic_packet(edited[3][1]))
        self.assertIsNone(packets.receive(0.3))

        # Without a selection a double-click below the rows asks nothing. Posted
        # to the control: a real one may land where the cursor was before.
        self.select()
        _, y = self.row_center(len(edited) - 1)
        self.ui.do('post', self.list, W.WM_LBUTTONDBLCLK, W.MK_LBUTTON, (y + 60) << 16 | 20)
        self.ui.no_window(self.pid)
        self.assertEqual(self.selected(), [])

        # A right click opens no menu; a header click sorts nothing. The click
        # on a row after them shows they have been handled: input goes in order.
        self.click_row(1, 'right')
        self.ui.no_window(self.pid, W.MENU_CLASS)
        self.ui.no_window(self.pid)
        top = self.ui('itemrect', self.list, 0)['rect'][1]
        for x in (100, 320):  # inside Name and MAC, away from the dividers
            self.ui.do('mouse', self.list, x, top // 2)
        self.click_row(0)
        self.wait_selected([0])
        self.assertEqual([row[:2] for row in self.rows()], [list(e) for e in edited])

        self.assertEqual(self.close(), kivtest.data_file(edited))

    def test_statuses_read_the_same_on_a_western_system(self):
        # The loopback address answers: 起動中, drawn as a Japanese system draws it.
        pcs = [('PC1', '00-11-22-33-44-01')]
        with open(os.path.join(self.dir, 'Kivrel.addresses.txt'), 'w') as f:
            f.write(f'{pcs[0][1]} 127.0.0.1\n')
        inks = []
        for locale in ('ja_JP.UTF-8', 'C.UTF-8'):
            self.start(pcs, env={'LC_ALL': locale})
            kivtest.wait_until(self.rows, 20, 'the status', [[*pcs[0], M[R.IDS_STATUS_UP]]])
            inks.append(self.ui('cellink', self.list, 0, 2)['ink'])
            self.close()
        self.assertIn('#', inks[0])
        self.assertEqual(inks[1], inks[0])

    def test_lans_status_of_a_pc_that_answers_and_of_one_woken(self):
        ends = kivtest.lans()
        if len(ends) != 2:
            self.skipTest('needs tests/harness/isolated --lans 2')

        def mac_of(pc):
            return pc[1].replace('-', ':').lower()

        def ignore_echoes(index, ignore):
            in_lan(ends, index, 'sysctl', '-qw', f'net.ipv4.icmp_echo_ignore_all={int(ignore)}')

        # The first known here by its MAC, as a PC seen on the LAN would be; the
        # second by the host name registered with it, found in the hosts file.
        pcs = [(f'PC{index}', peer_mac(ends, index)) for index in range(2)]
        subprocess.run(['ip', 'neigh', 'replace', '192.0.2.2', 'lladdr', mac_of(pcs[0]), 'dev',
                        ends[0][0], 'nud', 'permanent'], check=True)
        with open(os.path.join(self.dir, 'Kivrel.addresses.txt'), 'w') as f:
            f.write(f'{pcs[1][1]} accounting-pc\n')
        with open(os.path.join(self.dir, 'hosts'), 'w') as f:
            f.write('127.0.0.1 localhost\n198.51.100.2 accounting-pc\n')
        subprocess.run(['mount', '--bind', os.path.join(self.dir, 'hosts'), '/etc/hosts'], check=True)
        self.addCleanup(subprocess.run, ['umount', '/etc/hosts'], check=True)
        ignore_echoes(1, True)
        self.addCleanup(ignore_echoes, 1, False)
        woken = kivtest.UdpListener(lan=ends[1][1])
        self.addCleanup(woken.close)

        self.start(pcs)
        up, down = M[R.IDS_STATUS_UP], M[R.IDS_STATUS_DOWN]
        kivtest.wait_until(self.rows, 20, 'the statuses', [[*pcs[0], up], [*pcs[1], down]])
        self.select(1)
        self.open_with(SEND_SELECTED)
        send = self.dialog(SEND_TITLE)
        self.assertEqual(woken.receive(5)[0], kivtest.magic_packet(pcs[1][1]))
        ignore_echoes(1, False)  # the woken PC comes up
        sent = time.monotonic()
        kivtest.wait_until(lambda: self.rows()[1][2], 2, 'the woken PC', M[R.IDS_STATUS_WAITING])
        self.ui.finish_send(send)
        kivtest.wait_until(lambda: self.rows()[1][2], 6 - (time.monotonic() - sent),
                           'the woken PC', up)
        self.assertEqual(self.selected(), [1])
        self.close()

    def test_lans_a_pc_that_never_wakes_checks_off_and_the_diagnosis(self):
        ends = kivtest.lans()
        if len(ends) != 2:
            self.skipTest('needs tests/harness/isolated --lans 2')
        # The second never answers; the third is on no network, with a made-up MAC.
        pcs = [('PC0', peer_mac(ends, 0)), ('PC1', peer_mac(ends, 1)), ('遠くのPC', '02-00-5E-00-53-09')]
        with open(os.path.join(self.dir, 'Kivrel.addresses.txt'), 'w') as f:
            f.write(f'{pcs[0][1]} 192.0.2.2\n{pcs[1][1]} 198.51.100.2\n{pcs[2][1]} 203.0.113.9\n')
        in_lan(ends, 1, 'sysctl', '-qw', 'net.ipv4.icmp_echo_ignore_all=1')
        self.addCleanup(in_lan, ends, 1, 'sysctl', '-qw', 'net.ipv4.icmp_echo_ignore_all=0')
        self.start(pcs)
        up, down = M[R.IDS_STATUS_UP], M[R.IDS_STATUS_DOWN]
        kivtest.wait_until(lambda: [row[2] for row in self.rows()], 20, 'the statuses',
                           [up, down, down])
        self.select(1)
        self.open_with(SEND_SELECTED)
        self.ui.finish_send(self.dialog(SEND_TITLE))
        # The test host watches for 8 s, not 3 minutes.
        kivtest.wait_until(lambda: self.rows()[1][2], 20, 'the watch to end',
                           M[R.IDS_STATUS_NOT_WOKEN])

        self.select(2)
        self.open_with(R.ID_TARGET_DIAGNOSE)
        box = self.dialog(kivtest.CAPTIONS[R.IDD_DIAGNOSE])
        lines = [M[R.IDS_DIAG_OFF_NETWORK].replace('%1', '203.0.113.9'),
                 M[R.IDS_DIAG_LOCAL_MAC].replace('%1', pcs[2][1]), M[R.IDS_DIAG_NO_ECHO],
                 M[R.IDS_DIAG_CHECKLIST]]
        self.assertEqual(self.ui('control', box, R.IDC_DIAGNOSIS_TEXT)['text'],
                         '\r\n\r\n'.join(lines).replace('\n', '\r\n').replace('\r\r', '\r'))
        self.answer(box, W.IDCANCEL)

        # Off, and so at the next start: a woken PC is still watched, and
        # nothing at all reaches the other.
        self.command(R.ID_VIEW_STATUS_CHECK)
        kivtest.wait_until(lambda: [row[2] for row in self.rows()], 5, 'the statuses',
                           ['', M[R.IDS_STATUS_NOT_WOKEN], ''])
        self.close()
        echoes = echoes_in(ends, 1)
        self.assertNotEqual(echoes, '0')
        self.start(pcs)
        self.select(0)
        self.open_with(SEND_SELECTED)
        self.ui.finish_send(self.dialog(SEND_TITLE))
        kivtest.wait_until(lambda: self.rows()[0][2], 5, 'the woken PC', up)
        kivtest.wait_until(lambda: self.rows()[0][2], 20, 'the watch to end', '')
        self.assertEqual(echoes_in(ends, 1), echoes)
        self.close()

    def test_lans_a_restart_after_a_close_with_echoes_in_flight(self):
        ends = kivtest.lans()
        if len(ends) != 2:
            self.skipTest('needs tests/harness/isolated --lans 2')
        # The answering PC is checked first; nobody is at the others' addresses.
        pcs = [('PC0', peer_mac(ends, 0))] + [(f'無人{i}', f'FE-00-00-00-00-{i:02X}')
                                              for i in range(200)]
        with open(os.path.join(self.dir, 'Kivrel.addresses.txt'), 'w') as f:
            f.writelines(f'{mac} 192.0.2.{2 if i == 0 else 10 + i % 200}\n'
                         for i, (_, mac) in enumerate(pcs))
        for _ in range(2):
            self.start(pcs)
            kivtest.wait_until(lambda: self.rows()[0][2], 5, 'the answering PC',
                               M[R.IDS_STATUS_UP])
            self.close()


if __name__ == '__main__':
    kivtest.main()
