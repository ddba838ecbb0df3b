"""The whole program under Wine: Kivrel.exe started with no arguments in a
working directory of its own and driven from outside as a user would, with
keys, clicks and window messages through the probe. Every save of the data
file is counted as it lands (it is written beside and moved into place)."""
import ctypes
import os
import select
import struct
import sys
import time
import unittest
from unittest import mock

import kivtest

EXE = sys.argv.pop(1)
PROBE = sys.argv.pop(1)

M = kivtest.MESSAGES
PANE, TOOLBAR, STATUSBAR = 59648, 59392, 59393
SEND_SELECTED, SEND_ALL, NEW, EDIT, DELETE, UP, DOWN = 32771, 32772, 32774, 32775, 32776, 32778, 32779
ABOUT, EXIT, VIEW_TOOLBAR, VIEW_STATUS_BAR = 57664, 57665, 59392, 59393
WM_COMMAND, WM_MENUSELECT, WM_QUERYENDSESSION, WM_ENDSESSION = 0x111, 0x11F, 0x11, 0x16
TB_SETHOTITEM, TB_GETBUTTONSIZE, TBSTATE_ENABLED = 0x448, 0x43A, 4
MF_SYSMENU, SC_CLOSE, SC_MOVE = 0x2000, 0xF060, 0xF010
WS_EX_CLIENTEDGE = 0x200
WS_VISIBLE = 0x10000000
WS_VSCROLL = 0x00200000
IN_MOVED_TO = 0x80
IDOK, IDCANCEL = 1, 2
IDLE = M[57345]


class SaveCounter:
    """Counts the times Kivrel.dat is put in place in a directory."""

    def __init__(self, directory):
        self.libc = ctypes.CDLL(None, use_errno=True)
        self.fd = self.libc.inotify_init1(os.O_NONBLOCK)
        self.libc.inotify_add_watch(self.fd, directory.encode(), IN_MOVED_TO)
        self.count = 0

    def saves(self, settle=0.3):
        while select.select([self.fd], [], [], settle)[0]:
            data = os.read(self.fd, 65536)
            at = 0
            while at < len(data):
                _, mask, _, length = struct.unpack_from('iIII', data, at)
                name = data[at + 16:at + 16 + length].rstrip(b'\0')
                if name == b'Kivrel.dat' and mask & IN_MOVED_TO:
                    self.count += 1
                at += 16 + length
        return self.count

    def close(self):
        os.close(self.fd)


class MainFrame(kivtest.WineTestCase):
    probe_exe = PROBE

    def setUp(self):
        self.dir = self.make_folder()

    def start(self, entries=None, locale=None, minimised=False):
        if entries is not None:
            with open(os.path.join(self.dir, 'Kivrel.dat'), 'wb') as f:
                f.write(kivtest.data_file(entries))
        self.counter = SaveCounter(self.dir)
        self.addCleanup(self.counter.close)
        folder = 'Z:' + self.dir.replace('/', '\\')  # start's own working folder
        how = ('start', '/wait', '/min', '/d', folder, '/unix', EXE) if minimised else (EXE,)
        self.proc = self.start_program(*how, cwd=self.dir, locale=locale)
        found = self.probe('find', '*', 'Kivrel', 30000)
        self.assertNotIn('error', found)
        self.frame = found['hwnd']
        self.list = self.probe('control', self.frame, PANE)['hwnd']
        self.toolbar = self.probe('control', self.frame, TOOLBAR)['hwnd']
        self.status = self.probe('control', self.frame, STATUSBAR)['hwnd']
        return found

    def ended(self):
        self.proc.wait(timeout=20)
        self.assertEqual(self.proc.returncode, 0)
        return self.counter.saves()

    def saved(self):
        with open(os.path.join(self.dir, 'Kivrel.dat'), 'rb') as f:
            return f.read()

    def rows(self):
        return self.probe('listwindow', self.list)['rows']

    def select(self, *rows):
        self.probe('select', self.frame, PANE, *rows)

    def no_dialog(self, wait_ms=800):
        self.assertEqual(self.probe('find', '#32770', '*', wait_ms, self.frame_pid()),
                         {'error': 'timeout'})

    def frame_pid(self):
        return self.probe('window', self.frame)['pid']

    def dialog(self, title):
        found = self.probe('find', '#32770', title, 10000)
        self.assertNotIn('error', found)
        return found['hwnd']

    def button_states(self):
        time.sleep(0.3)  # an idle pass after the last change
        return {b['id']: bool(b['state'] & TBSTATE_ENABLED)
                for b in self.probe('toolbar', self.toolbar)['buttons'] if b['id']}

    def focus_on_list(self):
        for _ in range(50):
            focus = self.probe('focus', self.frame)['focus']
            if focus is not None and focus['hwnd'] == self.list:
                return True
            time.sleep(0.1)
        return False

    def status_text(self):
        return self.probe('window', self.status)['text']

    def close_when_sent(self, send):
        """Waits for the send dialog's close button and presses it."""
        deadline = time.monotonic() + 10
        while self.probe('control', send, IDOK)['text'] != M[61213]:
            self.assertLess(time.monotonic(), deadline)
            time.sleep(0.05)
        self.probe('click', send, IDOK)
        self.assertTrue(self.focus_on_list())

    def test_window_bars_menu_and_layout(self):
        # Started minimised, as a shortcut may ask: still normal, visible, 530 x 400.
        window = self.start([('PC1', '00-11-22-33-44-55')], minimised=True)
        self.assertFalse(window['iconic'])
        left, top, right, bottom = window['rect']
        self.assertEqual((right - left, bottom - top), (530, 400))
        self.assertEqual(window['exstyle'] & WS_EX_CLIENTEDGE, 0)
        self.assertTrue(self.focus_on_list())
        self.assertEqual(self.status_text(), IDLE)

        resources = self.probe('resources', EXE, 128)
        menu = [(p['text'], [(i['text'], i['id']) for i in p['items']]) for p in resources['menu']]
        self.assertEqual(menu, [
            ('操作(&C)', [('選択した項目を送信(&S)\tCtrl+S', SEND_SELECTED),
                        ('全てに送信(&A)\tCtrl+A', SEND_ALL), ('', 0),
                        ('ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)', EXIT)]),
            ('編集(&E)', [('新規登録(&N)...\tCtrl+N', NEW), ('編集(&E)...\tCtrl+E', EDIT),
                        ('削除(&D)...\tCtrl+D', DELETE), ('', 0),
                        ('上へ(&U)\tCtrl+U', UP), ('下へ(&W)\tCtrl+W', DOWN)]),
            ('表示(&V)', [('ﾂｰﾙ ﾊﾞｰ(&T)', VIEW_TOOLBAR), ('ｽﾃｰﾀｽ ﾊﾞｰ(&S)', VIEW_STATUS_BAR)]),
            ('ﾍﾙﾌﾟ(&H)', [('Kivrel のﾊﾞｰｼﾞｮﾝ情報(&A)...', ABOUT)]),
        ])
        FVIRTKEY_NOINVERT_CONTROL = 0x1 | 0x2 | 0x8
        self.assertEqual(sorted((chr(a['key']), a['id'], a['flags'] & 0x1F)
                                for a in resources['accelerators']),
                         [(k, i, FVIRTKEY_NOINVERT_CONTROL) for k, i in
                          [('A', SEND_ALL), ('D', DELETE), ('E', EDIT), ('N', NEW),
                           ('S', SEND_SELECTED), ('U', UP), ('W', DOWN)]])
        buttons = self.probe('toolbar', self.toolbar)['buttons']
        self.assertEqual([(b['id'], b['image']) for b in buttons if b['id']],
                         [(SEND_SELECTED, 0), (SEND_ALL, 1), (NEW, 2), (EDIT, 3), (DELETE, 4),
                          (UP, 5), (DOWN, 6), (ABOUT, 7)])
        self.assertEqual([b['id'] for b in buttons].index(0), 2)
        self.assertEqual(len(buttons), 10)

        # The list fills what the bars leave, whichever are shown.
        def layout():
            return {name: self.probe('window', h) for name, h in
                    (('list', self.list), ('tool', self.toolbar), ('status', self.status))}
        shown = layout()
        self.assertEqual(shown['list']['rect'][1], shown['tool']['rect'][3])
        self.assertEqual(shown['list']['rect'][3], shown['status']['rect'][1])
        self.probe('command', self.frame, VIEW_TOOLBAR)
        self.probe('command', self.frame, VIEW_STATUS_BAR)
        time.sleep(0.3)
        hidden = layout()
        self.assertFalse(hidden['tool']['visible'] or hidden['status']['visible'])
        self.assertEqual(hidden['list']['rect'][1], shown['tool']['rect'][1])
        self.assertEqual(hidden['list']['rect'][3], shown['status']['rect'][3])
        self.probe('command', self.frame, VIEW_TOOLBAR)
        self.probe('command', self.frame, VIEW_STATUS_BAR)
        time.sleep(0.3)
        self.assertEqual(layout()['list']['rect'], shown['list']['rect'])
        self.assertEqual(self.status_text(), IDLE)

        # Prompts: a hot toolbar button, a menu item, a system-menu item, then idle.
        self.probe('send', self.toolbar, TB_SETHOTITEM, 0, 0)
        self.assertEqual(self.status_text(), M[SEND_SELECTED].split('\n')[0])
        self.probe('send', self.toolbar, TB_SETHOTITEM, 2 ** 32 - 1, 0)
        self.probe('send', self.frame, WM_MENUSELECT, DOWN, 1)
        self.assertEqual(self.status_text(), M[DOWN].split('\n')[0])
        self.probe('send', self.frame, WM_MENUSELECT, SC_CLOSE | MF_SYSMENU << 16, 1)
        self.assertEqual(self.status_text(), M[61190])
        self.probe('send', self.frame, WM_MENUSELECT, SC_MOVE | MF_SYSMENU << 16, 1)
        self.assertEqual(self.status_text(), M[61185])
        self.probe('send', self.frame, WM_MENUSELECT, 0xFFFF << 16, 0)
        self.assertEqual(self.status_text(), IDLE)

        self.probe('close', self.frame)
        self.assertEqual(self.ended(), 1)
        self.assertEqual(self.saved(), kivtest.data_file([('PC1', '00-11-22-33-44-55')]))

    def test_sizes_follow_the_display_scale(self):
        # Window, list font and columns, toolbar: at 144 DPI, then moved to a
        # monitor at 96, which Wine cannot show: Windows' message stands in.
        self.display_dpi(144)
        self.start([('PC1', '00-11-22-33-44-55')])

        def sizes():
            left, top, right, bottom = self.probe('window', self.frame)['rect']
            row = self.probe('itemrect', self.list, 0)['rect']
            return ((right - left, bottom - top),
                    [c['width'] for c in self.probe('listwindow', self.list)['columns']],
                    self.probe('send', self.toolbar, TB_GETBUTTONSIZE, 0, 0)['result'] & 0xFFFF,
                    row[3] - row[1])
        window, columns, button, row = sizes()
        self.assertEqual((window, columns), ((795, 600), [540, 210]))
        self.assertGreaterEqual(button, 33)
        self.probe('keys', self.frame, 'ctrl+a')
        send = self.dialog('送信ﾀﾞｲｱﾛｸﾞ')
        self.assertEqual([c['width'] for c in self.probe('list', send, 1004)['columns']],
                         [300, 180, 150])
        self.close_when_sent(send)

        self.probe('dpichanged', self.frame, 96, 20, 30, 550, 430)
        self.assertEqual(self.probe('window', self.frame)['rect'], [20, 30, 550, 430])
        moved = sizes()
        self.assertEqual(moved[1:3], ([360, 140], 23))
        self.assertGreater(row, moved[3] * 1.4)  # the list's font follows
        self.probe('close', self.frame)
        self.assertEqual(self.ended(), 1)

    def test_long_list_is_shown_whole_and_scrolls(self):
        # The rows go in with drawing switched off; it must come back on.
        targets = [('PC%03d' % i, '00-11-22-33-%02X-%02X' % (i >> 8, i & 0xFF))
                   for i in range(300)]
        self.start(targets)
        self.assertEqual(self.rows(), [[name, mac] for name, mac in targets])
        style = self.probe('window', self.list)['style']
        self.assertEqual(style & (WS_VISIBLE | WS_VSCROLL), WS_VISIBLE | WS_VSCROLL)
        self.probe('keys', self.frame, 'alt+f4')
        self.assertEqual(self.ended(), 1)
        self.assertEqual(self.saved(), kivtest.data_file(targets))

    def test_texts_read_the_same_on_a_western_system(self):
        # Unicode resources through the W API: code page 1252 changes nothing.
        # A name is the file's bytes in the system's code page, so there the
        # same bytes read differently, and are saved back unchanged.
        targets = [('テスト', '00-11-22-33-44-55')]
        self.start(targets, locale='C.UTF-8')
        self.assertEqual(self.status_text(), IDLE)
        self.select(0)
        self.probe('keys', self.frame, 'ctrl+d')
        box = self.dialog('Kivrel')
        children = self.probe('children', box)['children']
        self.assertIn(M[61209], [c['text'] for c in children if c['class'] == 'Static'])
        self.probe('click', box, IDCANCEL)
        cp1252 = 'テスト'.encode('cp932').decode('cp1252')
        self.assertEqual(self.rows(), [[cp1252, '00-11-22-33-44-55']])
        self.probe('keys', self.frame, 'alt+f4')
        self.assertEqual(self.ended(), 1)
        self.assertEqual(self.saved(), kivtest.data_file(targets))

    def test_accelerators_follow_the_update_rules(self):
        targets = [('PC1', '00-11-22-33-44-01'), ('PC2', '00-11-22-33-44-02')]
        self.start(targets)
        packets = kivtest.UdpListener()
        self.addCleanup(packets.close)
        pid = self.frame_pid()

        self.select()
        states = self.button_states()
        self.assertEqual([states[i] for i in (SEND_SELECTED, SEND_ALL, NEW, EDIT, ABOUT)],
                         [False, True, True, False, True])
        self.probe('keys', self.frame, 'ctrl+e')
        self.no_dialog()
        self.select(0, 1)
        states = self.button_states()
        self.assertEqual([states[i] for i in (EDIT, UP, DOWN, DELETE)], [False] * 3 + [True])
        self.probe('keys', self.frame, 'ctrl+e')
        self.probe('keys', self.frame, 'ctrl+u')
        self.no_dialog()
        self.assertEqual(self.rows()[0][0], 'PC1')
        self.select(1)
        self.assertTrue(self.button_states()[EDIT])
        self.probe('keys', self.frame, 'ctrl+e')
        edit = self.dialog(M[61208])
        self.probe('keys', edit, 'esc')
        self.assertTrue(self.focus_on_list())

        # Send all: no question, every target in row order, then the close button.
        self.probe('keys', self.frame, 'ctrl+a')
        send = self.dialog('送信ﾀﾞｲｱﾛｸﾞ')
        got = [packets.receive(5) for _ in targets]
        self.assertNotIn(None, got)
        self.assertEqual([(g[0], g[1]) for g in got],
                         [(kivtest.magic_packet(mac), '255.255.255.255') for _, mac in targets])
        self.close_when_sent(send)
        self.assertEqual(self.probe('find', '#32770', '*', 300, pid), {'error': 'timeout'})

        # Send selected: just the selection.
        self.select(1)
        self.probe('keys', self.frame, 'ctrl+s')
        send = self.dialog('送信ﾀﾞｲｱﾛｸﾞ')
        got = packets.receive(5)
        self.assertEqual(got[0], kivtest.magic_packet(targets[1][1]))
        self.assertIsNone(packets.receive(0.5))
        self.close_when_sent(send)
        self.probe('keys', self.frame, 'alt+f4')
        self.assertEqual(self.ended(), 1)
        self.assertEqual(self.saved(), kivtest.data_file(targets))

    def test_registered_target_survives_a_restart(self):
        self.start()
        self.assertEqual(self.rows(), [])
        self.probe('keys', self.frame, 'ctrl+n')
        dialog = self.dialog(M[NEW].split('\n')[1])
        self.probe('settext', dialog, 1000, '会議室のPC')
        self.probe('settext', dialog, 1002, '0a-1b-2c-3d-4e-5f')
        self.probe('click', dialog, IDOK)
        time.sleep(0.5)
        self.assertEqual(self.rows(), [['会議室のPC', '0A-1B-2C-3D-4E-5F']])
        self.assertEqual(self.counter.saves(), 0)  # nothing written while open
        self.probe('command', self.frame, EXIT)
        self.assertEqual(self.ended(), 1)
        expected = kivtest.data_file([('会議室のPC', '0A-1B-2C-3D-4E-5F')])
        self.assertEqual(self.saved(), expected)

        self.start()
        self.assertEqual(self.rows(), [['会議室のPC', '0A-1B-2C-3D-4E-5F']])
        self.probe('keys', self.frame, 'alt+f4')
        self.assertEqual(self.ended(), 1)
        self.assertEqual(self.saved(), expected)

    def test_session_end_saves_once(self):
        targets = [('PC1', '00-11-22-33-44-01'), ('PC2', '00-11-22-33-44-02')]
        with mock.patch.dict(os.environ, WINEDEBUG='trace+winsock'):
            self.start(targets)
        self.select(1)
        self.probe('keys', self.frame, 'ctrl+u')
        time.sleep(0.3)
        self.assertEqual([r[0] for r in self.rows()], ['PC2', 'PC1'])
        self.assertNotEqual(self.probe('send', self.frame, WM_QUERYENDSESSION, 0, 0)['result'], 0)
        # An ending that was called off saves nothing.
        self.probe('send', self.frame, WM_ENDSESSION, 0, 0)
        self.assertEqual(self.counter.saves(), 0)
        self.probe('send', self.frame, WM_ENDSESSION, 1, 0)
        self.assertEqual(self.counter.saves(), 1)
        self.assertEqual(self.saved(), kivtest.data_file(targets[::-1]))
        # The socket library is released then, and not again at the close.
        os.set_blocking(self.proc.stderr.fileno(), False)
        self.assertEqual(self.proc.stderr.read().count(b'WSACleanup'), 1)
        # The window may still be destroyed afterwards: it must not save again.
        os.remove(os.path.join(self.dir, 'Kivrel.dat'))
        self.probe('close', self.frame)
        self.assertEqual(self.ended(), 1)
        self.assertFalse(os.path.exists(os.path.join(self.dir, 'Kivrel.dat')))
        self.assertNotIn(b'WSACleanup', self.proc.stderr.read() or b'')

        # An ending called off after its save: a later change is saved at close.
        self.start(targets)
        self.probe('send', self.frame, WM_ENDSESSION, 1, 0)
        self.assertEqual(self.counter.saves(), 1)
        self.select(1)
        self.probe('command', self.frame, UP)  # posted: handled before the close
        self.probe('close', self.frame)
        self.assertEqual(self.ended(), 2)
        self.assertEqual(self.saved(), kivtest.data_file(targets[::-1]))

    def test_close_request_while_a_dialog_is_open(self):
        # As taskkill without /F: the dialog ends as Cancel (a run is aborted
        # first), then the program closes, saving the unchanged list once.
        targets = [('PC%02d' % i, '00-11-22-33-44-%02X' % i) for i in range(40)]
        packets = kivtest.UdpListener()
        self.addCleanup(packets.close)
        for keys, title in (('ctrl+n', M[NEW].split('\n')[1]), ('ctrl+d', 'Kivrel'),
                            ('ctrl+a', '送信ﾀﾞｲｱﾛｸﾞ')):
            self.start(targets)
            self.select(0)
            self.probe('keys', self.frame, keys)
            self.dialog(title)
            if keys == 'ctrl+a':
                self.assertIsNotNone(packets.receive(10))
            self.probe('close', self.frame)
            self.assertEqual(self.ended(), 1, keys)
            self.assertEqual(self.saved(), kivtest.data_file(targets), keys)
        self.assertLess(len(packets.receive_all()), len(targets) - 2)

    def test_dialogs_open_centred_over_the_window(self):
        self.start([('PC1', '00-11-22-33-44-55')])

        def centre(hwnd):
            left, top, right, bottom = self.probe('window', hwnd)['rect']
            return (left + right) // 2, (top + bottom) // 2

        for open_it, title in ((lambda: self.probe('command', self.frame, ABOUT),
                                'Kivrelのﾊﾞｰｼﾞｮﾝ情報'),
                               (lambda: self.probe('keys', self.frame, 'ctrl+n'),
                                M[NEW].split('\n')[1])):
            open_it()
            dialog = self.dialog(title)
            here, there = centre(dialog), centre(self.frame)
            self.assertLessEqual(abs(here[0] - there[0]), 1, title)
            self.assertLessEqual(abs(here[1] - there[1]), 1, title)
            self.probe('keys', dialog, 'esc')
            self.assertTrue(self.focus_on_list())
        self.probe('close', self.frame)
        self.assertEqual(self.ended(), 1)

    def test_about_box_from_menu_and_toolbar(self):
        self.start([('PC1', '00-11-22-33-44-55')])
        # The compiled template's icon: visible SS_ICON child at (11, 17), 20 x 20, id -1.
        icon = struct.pack('<IIhhhhH', 0x50000003, 0, 11, 17, 20, 20, 0xFFFF)
        with open(EXE, 'rb') as exe:
            self.assertIn(icon, exe.read())
        for open_it, close_key in ((lambda: self.probe('command', self.frame, ABOUT), 'esc'),
                                   (lambda: self.probe('toolbarclick', self.toolbar, ABOUT),
                                    'enter')):
            open_it()
            about = self.dialog('Kivrelのﾊﾞｰｼﾞｮﾝ情報')
            texts = [c['text'] for c in self.probe('children', about)['children']]
            self.assertIn('Kivrel Version ' + os.environ['KIVREL_VERSION'], texts)
            self.assertEqual(self.probe('owner', about)['owner'], self.frame)
            self.probe('keys', about, close_key)
            self.assertTrue(self.focus_on_list())
        self.assertEqual(self.rows(), [['PC1', '00-11-22-33-44-55']])
        self.probe('mouse', self.list, 300, 200)  # off the toolbar, for the next window
        self.probe('close', self.frame)
        self.assertEqual(self.ended(), 1)


if __name__ == '__main__':
    unittest.main(verbosity=2)
