"""The target list view under Wine, in a plain host window that loads
Kivrel.dat from its working directory, hands it every WM_COMMAND and saves
on close. The real control's rows and selection are read back through the
probe after each command, mouse click and key press."""
import os
import sys
import time
import unittest

import kivtest

HOST = sys.argv.pop(1)
PROBE = sys.argv.pop(1)

M = kivtest.MESSAGES
PANE = 0xE900
SEND_SELECTED, SEND_ALL, NEW, EDIT, DELETE, UP, DOWN = 32771, 32772, 32774, 32775, 32776, 32778, 32779
IDOK, IDCANCEL = 1, 2
WM_LBUTTONDBLCLK, MK_LBUTTON = 0x203, 0x1
NAME_EDIT, MAC_EDIT, SEND_LIST = 1000, 1002, 1004
LVS_REPORT, LVS_SINGLESEL, LVS_SHOWSELALWAYS, LVS_SORTASCENDING = 0x1, 0x4, 0x8, 0x10
LVS_SORTDESCENDING, LVS_EDITLABELS, LVS_NOSORTHEADER = 0x20, 0x200, 0x8000
WS_CHILD, WS_VISIBLE, WS_BORDER = 0x40000000, 0x10000000, 0x800000
LVS_EX_GRIDLINES, LVS_EX_FULLROWSELECT = 0x1, 0x20
SEND_TITLE = '送信ﾀﾞｲｱﾛｸﾞ'

TARGETS = [('会議室のPC', '00-11-22-33-44-01'), ('経理部サーバ', '0A-1B-2C-3D-4E-5F'),
           ('ﾃｽﾄ端末', '00-00-00-00-00-03'), ('開発①', 'FF-EE-DD-CC-BB-AA'),
           ('PC-05', '00-11-22-33-44-05'), ('受付', '00-11-22-33-44-06')]


def rows_of(entries):
    return [[name, mac] for name, mac in entries]


class ListView(kivtest.WineTestCase):
    probe_exe = PROBE

    def setUp(self):
        self.dir = self.make_folder()

    def start(self, entries):
        with open(os.path.join(self.dir, 'Kivrel.dat'), 'wb') as f:
            f.write(kivtest.data_file(entries))
        self.proc = self.start_program(HOST, cwd=self.dir)
        found = self.probe('find', 'KivrelListHost', 'list host', 30000)
        self.assertNotIn('error', found)
        self.host, self.pid = found['hwnd'], found['pid']
        self.list = self.probe('control', self.host, PANE)['hwnd']

    def close(self):
        """Closes the host and returns what it saved."""
        self.probe('close', self.host)
        self.assertEqual(self.proc.wait(timeout=20), 0)
        with open(os.path.join(self.dir, 'Kivrel.dat'), 'rb') as f:
            return f.read()

    def state(self):
        return self.probe('listwindow', self.list)

    def rows(self):
        return self.state()['rows']

    def selected(self):
        return self.state()['selected']

    def select(self, *rows):
        self.probe('select', self.host, PANE, *rows)

    def command(self, command_id, settle=0.3):
        self.assertEqual(self.probe('command', self.host, command_id), {})
        time.sleep(settle)  # posted: let the host carry it out

    def dialog(self, title):
        found = self.probe('find', '#32770', title, 10000, self.pid)
        self.assertNotIn('error', found, f'no window {title!r}')
        return found['hwnd']

    def no_window(self, window_class='#32770', wait_ms=500):
        self.assertEqual(self.probe('find', window_class, '*', wait_ms, self.pid),
                         {'error': 'timeout'})

    def confirm(self, message, answer):
        box = self.dialog('Kivrel')
        texts = [c['text'] for c in self.probe('children', box)['children']
                 if c['class'] == 'Static' and c['text']]
        self.assertEqual(texts, [message])
        buttons = sorted(c['id'] for c in self.probe('children', box)['children']
                         if c['class'] == 'Button')
        self.assertEqual(buttons, [IDOK, IDCANCEL])
        self.probe('click', box, answer)
        deadline = time.monotonic() + 5
        while self.probe('window', box).get('error') is None:
            self.assertLess(time.monotonic(), deadline)
            time.sleep(0.05)

    def row_center(self, row):
        left, top, right, bottom = self.probe('itemrect', self.list, row)['rect']
        return left + 40, (top + bottom) // 2

    def click_row(self, row, *how):
        x, y = self.row_center(row)
        self.assertEqual(self.probe('mouse', self.list, x, y, *how), {})
        time.sleep(0.3)

    def finish_send(self, send):
        deadline = time.monotonic() + 10
        while self.probe('control', send, IDOK)['text'] != M[61213]:
            self.assertLess(time.monotonic(), deadline)
            time.sleep(0.05)
        self.probe('click', send, IDOK)
        time.sleep(0.3)

    def test_rows_columns_and_the_commands_that_move_and_delete(self):
        self.start(TARGETS)
        shown = self.state()
        self.assertEqual(shown['columns'], [{'text': 'Name', 'width': 360, 'fmt': 0},
                                            {'text': 'MAC', 'width': 140, 'fmt': 0}])
        self.assertEqual(shown['rows'], rows_of(TARGETS))
        self.assertEqual(shown['selected'], [])
        self.assertEqual(shown['exstyle'], LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT)
        style = self.probe('window', self.list)['style']
        on = WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER
        self.assertEqual(style & on, on)
        off = LVS_SINGLESEL | LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_EDITLABELS
        self.assertEqual(style & off, 0)

        # Mouse and keyboard select; several rows at once.
        self.click_row(0)
        self.assertEqual(self.selected(), [0])
        self.probe('keys', self.host, 'shift+down')
        time.sleep(0.3)
        self.assertEqual(self.selected(), [0, 1])

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
        self.no_window()
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
        self.probe('keys', self.host, 'down')
        time.sleep(0.3)
        self.assertEqual(self.selected(), [4])

        # Delete rows 1, 2 and 4: Cancel keeps them, OK removes just them.
        self.select(1, 2, 4)
        self.command(DELETE, settle=0)
        self.confirm(M[61209], IDCANCEL)
        self.assertEqual(self.rows(), rows_of(TARGETS))
        self.assertEqual(self.selected(), [1, 2, 4])
        self.command(DELETE, settle=0)
        self.confirm(M[61209], IDOK)
        kept = [TARGETS[0], TARGETS[3], TARGETS[5]]
        shown = self.state()
        self.assertEqual(shown['rows'], rows_of(kept))
        self.assertEqual(shown['selected'], [])

        self.assertEqual(self.close(), kivtest.data_file(kept))

    def test_dialogs_double_click_and_mouse(self):
        self.start(TARGETS)
        packets = kivtest.UdpListener()
        self.addCleanup(packets.close)

        # Edit row 2 through the registration dialog: Cancel, then OK.
        self.select(2)
        self.command(EDIT, settle=0)
        edit = self.dialog(M[61208])
        self.assertEqual(self.probe('control', edit, NAME_EDIT)['text'], TARGETS[2][0])
        self.probe('click', edit, IDCANCEL)
        time.sleep(0.3)
        self.assertEqual(self.rows(), rows_of(TARGETS))
        self.command(EDIT, settle=0)
        edit = self.dialog(M[61208])
        self.probe('settext', edit, NAME_EDIT, '総務部ﾉｰﾄ')
        self.probe('settext', edit, MAC_EDIT, 'ab-cd-ef-01-23-45')
        self.probe('click', edit, IDOK)
        time.sleep(0.5)
        edited = TARGETS[:2] + [('総務部ﾉｰﾄ', 'AB-CD-EF-01-23-45')] + TARGETS[3:]
        shown = self.state()
        self.assertEqual(shown['rows'], rows_of(edited))
        self.assertEqual(shown['selected'], [2])

        # New: Cancel adds nothing; OK appends an unselected last row, even a duplicate.
        self.command(NEW, settle=0)
        self.probe('click', self.dialog(M[NEW].split('\n')[1]), IDCANCEL)
        time.sleep(0.3)
        self.assertEqual(self.rows(), rows_of(edited))
        self.command(NEW, settle=0)
        new = self.dialog(M[NEW].split('\n')[1])
        self.probe('settext', new, NAME_EDIT, TARGETS[0][0])
        self.probe('settext', new, MAC_EDIT, TARGETS[0][1].lower())
        self.probe('click', new, IDOK)
        time.sleep(0.5)
        edited.append(TARGETS[0])
        shown = self.state()
        self.assertEqual(shown['rows'], rows_of(edited))
        self.assertEqual(shown['selected'], [2])

        # Send selected with rows 4 and 1: the dialog lists them in row order, no question.
        self.select(4, 1)
        self.command(SEND_SELECTED, settle=0)
        send = self.dialog(SEND_TITLE)
        sent = [r[:2] for r in self.probe('list', send, SEND_LIST)['rows']]
        self.assertEqual(sent, rows_of([edited[1], edited[4]]))
        self.assertEqual([packets.receive(5)[0] for _ in range(2)],
                         [kivtest.magic_packet(edited[i][1]) for i in (1, 4)])
        self.finish_send(send)
        self.assertEqual(self.rows(), rows_of(edited))

        # A double-click asks first: Cancel sends nothing, OK sends that row.
        self.click_row(3, 'double')
        self.confirm(M[61210], IDCANCEL)
        self.no_window()
        self.click_row(3, 'double')
        self.confirm(M[61210], IDOK)
        send = self.dialog(SEND_TITLE)
        self.assertEqual([r[:2] for r in self.probe('list', send, SEND_LIST)['rows']],
                         rows_of([edited[3]]))
        self.finish_send(send)
        self.assertEqual(packets.receive(5)[0], kivtest.magic_packet(edited[3][1]))
        self.assertIsNone(packets.receive(0.3))

        # Without a selection a double-click below the rows asks nothing. Posted
        # to the control: a real one may land where the cursor was before.
        self.select()
        _, y = self.row_center(len(edited) - 1)
        self.probe('post', self.list, WM_LBUTTONDBLCLK, MK_LBUTTON, (y + 60) << 16 | 20)
        self.no_window()
        self.assertEqual(self.selected(), [])

        # A right click opens no menu; a header click sorts nothing.
        self.click_row(1, 'right')
        self.no_window('#32768')
        self.no_window()
        top = self.probe('itemrect', self.list, 0)['rect'][1]
        for x in (100, 400):
            self.probe('mouse', self.list, x, top // 2)
            time.sleep(0.3)
        self.assertEqual(self.rows(), rows_of(edited))

        self.assertEqual(self.close(), kivtest.data_file(edited))


if __name__ == '__main__':
    unittest.main()
