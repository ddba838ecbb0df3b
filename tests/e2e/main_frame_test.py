"""The whole program under Wine: Kivrel.exe started with no arguments in a
working directory of its own and driven from outside as a user would, with
keys, clicks and window messages through the probe. Every save of the data
file is counted as it lands (it is written beside and moved into place)."""
import ctypes
import os
import select
import struct
import sys
import unittest

import kivtest
from kivtest import MESSAGES as M, R, W

EXE = sys.argv.pop(1)
PROBE = sys.argv.pop(1)

PANE, TOOLBAR, STATUSBAR = R.AFX_IDW_PANE_FIRST, R.AFX_IDW_TOOLBAR, R.AFX_IDW_STATUS_BAR
SEND_SELECTED, SEND_ALL = R.ID_SEND_SELECTED, R.ID_SEND_ALL
NEW, EDIT, DELETE = R.ID_TARGET_NEW, R.ID_TARGET_EDIT, R.ID_TARGET_DELETE
UP, DOWN = R.ID_TARGET_UP, R.ID_TARGET_DOWN
IMPORT, EXPORT = R.ID_TARGET_IMPORT, R.ID_TARGET_EXPORT
ABOUT, EXIT = R.ID_APP_ABOUT, R.ID_APP_EXIT
VIEW_TOOLBAR, VIEW_STATUS_BAR = R.ID_VIEW_TOOLBAR, R.ID_VIEW_STATUS_BAR
SEND_TITLE, NEW_TITLE = kivtest.CAPTIONS[R.IDD_SEND], kivtest.CAPTIONS[R.IDD_REGISTER]
ABOUT_TITLE = kivtest.CAPTIONS[R.IDD_ABOUTBOX]
IN_MOVED_TO = 0x80
IDLE = M[R.AFX_IDS_IDLEMESSAGE]


class SaveCounter:
    """Counts the times Kivrel.dat is put in place in a directory."""

    def __init__(self, directory):
        self.libc = ctypes.CDLL(None, use_errno=True)
        self.fd = self.libc.inotify_init1(os.O_NONBLOCK)
        self.libc.inotify_add_watch(self.fd, directory.encode(), IN_MOVED_TO)
        self.count = 0

    def saves(self):
        """Saves so far. A save is over when the window has handled what
        caused it, or the program has ended: its events are queued by then."""
        while select.select([self.fd], [], [], 0)[0]:
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

    def start(self, entries=None, minimised=False, **how):
        if entries is not None:
            with open(os.path.join(self.dir, 'Kivrel.dat'), 'wb') as f:
                f.write(kivtest.data_file(entries))
        self.counter = SaveCounter(self.dir)
        self.addCleanup(self.counter.close)
        folder = 'Z:' + self.dir.replace('/', '\\')  # start's own working folder
        run = ('start', '/wait', '/min', '/d', folder, '/unix', EXE) if minimised else (EXE,)
        self.proc = self.start_program(*run, cwd=self.dir, **how)
        found = self.ui.find('*', 'Kivrel', 30)
        self.frame = found['hwnd']
        self.list, self.toolbar, self.status = (self.ui('control', self.frame, i)['hwnd']
                                                for i in (PANE, TOOLBAR, STATUSBAR))
        return found

    def ended(self):
        self.assertEqual(self.ui.exit_status(self.proc, 20), 0)
        return self.counter.saves()

    def saved(self):
        with open(os.path.join(self.dir, 'Kivrel.dat'), 'rb') as f:
            return f.read()

    def rows(self):
        # Name and MAC; no PC here has an address, so every status stays blank.
        rows = self.ui('listwindow', self.list)['rows']
        self.assertEqual([row[2] for row in rows], [''] * len(rows))
        return [row[:2] for row in rows]

    def wait_rows(self, rows):
        kivtest.wait_until(self.rows, 10, 'the list', rows)

    def select(self, *rows):
        self.ui.do('select', self.frame, PANE, *rows)

    def no_dialog(self, within=0.8):
        self.ui.no_window(self.ui('window', self.frame)['pid'], within=within)

    def wait_buttons(self, enabled):
        """Until the toolbar's buttons are enabled as given (an idle pass
        after the last change sets them)."""
        def states():
            buttons = self.ui('toolbar', self.toolbar)['buttons']
            return {b['id']: bool(b['state'] & W.TBSTATE_ENABLED) for b in buttons
                    if b['id'] in enabled}
        kivtest.wait_until(states, 10, 'the toolbar', enabled)

    def wait_focus_on_list(self):
        self.ui.wait_focus(self.frame, self.list)

    def status_text(self):
        return self.ui('window', self.status)['text']

    def close_when_sent(self, send):
        self.ui.finish_send(send)
        self.wait_focus_on_list()

    def test_window_bars_menu_and_layout(self):
        # Started minimised, as a shortcut may ask: still normal, visible, 530 x 400.
        window = self.start([('PC1', '00-11-22-33-44-55')], minimised=True)
        self.assertFalse(window['iconic'])
        left, top, right, bottom = window['rect']
        self.assertEqual((right - left, bottom - top), (530, 400))
        self.assertEqual(window['exstyle'] & W.WS_EX_CLIENTEDGE, 0)
        self.wait_focus_on_list()
        self.assertEqual(self.status_text(), IDLE)

        resources = self.ui('resources', EXE, R.IDR_MAINFRAME)
        menu = [(p['text'], [(i['text'], i['id']) for i in p['items']]) for p in resources['menu']]
        self.assertEqual(menu, [
            ('操作(&C)', [('選択した項目を送信(&S)\tCtrl+S', SEND_SELECTED),
                        ('全てに送信(&A)\tCtrl+A', SEND_ALL),
                        ('起動しない原因を調べる(&D)...', R.ID_TARGET_DIAGNOSE), ('', 0),
                        ('インポート(&I)...', IMPORT), ('エクスポート(&E)...', EXPORT), ('', 0),
                        ('ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)', EXIT)]),
            ('編集(&E)', [('新規登録(&N)...\tCtrl+N', NEW), ('編集(&E)...\tCtrl+E', EDIT),
                        ('削除(&D)...\tCtrl+D', DELETE), ('', 0),
                        ('上へ(&U)\tCtrl+U', UP), ('下へ(&W)\tCtrl+W', DOWN)]),
            ('表示(&V)', [('ﾂｰﾙ ﾊﾞｰ(&T)', VIEW_TOOLBAR), ('ｽﾃｰﾀｽ ﾊﾞｰ(&S)', VIEW_STATUS_BAR),
                        ('PCの状態を確認(&C)', R.ID_VIEW_STATUS_CHECK)]),
            ('ﾍﾙﾌﾟ(&H)', [('Kivrel のﾊﾞｰｼﾞｮﾝ情報(&A)...', ABOUT)]),
        ])
        for popup, items in menu:  # a key two items share opens only the first
            keys = [text[text.index('&') + 1].upper() for text, _ in items if text]
            self.assertEqual(len(keys), len(set(keys)), popup)
        control_key = W.FVIRTKEY | W.FNOINVERT | W.FCONTROL
        self.assertEqual(sorted((chr(a['key']), a['id'], a['flags'] & 0x1F)
                                for a in resources['accelerators']),
                         [(k, i, control_key) for k, i in
                          [('A', SEND_ALL), ('D', DELETE), ('E', EDIT), ('N', NEW),
                           ('S', SEND_SELECTED), ('U', UP), ('W', DOWN)]])
        buttons = self.ui('toolbar', self.toolbar)['buttons']
        self.assertEqual([(b['id'], b['image']) for b in buttons if b['id']],
                         [(SEND_SELECTED, 0), (SEND_ALL, 1), (NEW, 2), (EDIT, 3), (DELETE, 4),
                          (UP, 5), (DOWN, 6), (ABOUT, 7)])
        self.assertEqual([b['id'] for b in buttons].index(0), 2)
        self.assertEqual(len(buttons), 10)
        # A colour change (a high-contrast theme, say) has the images made anew.
        images = self.ui.send(self.toolbar, W.TB_GETIMAGELIST)
        self.ui.send(self.frame, W.WM_SYSCOLORCHANGE)
        self.assertNotEqual(self.ui.send(self.toolbar, W.TB_GETIMAGELIST), images)

        # The list fills what the bars leave, whichever are shown.
        def layout():
            return {name: self.ui('window', h) for name, h in
                    (('list', self.list), ('tool', self.toolbar), ('status', self.status))}

        def list_rect():
            return self.ui('window', self.list)['rect']

        def expect_view_marks(marks):
            """The View menu, opened, shows these check marks once drawn."""
            self.ui.do('keys', self.frame, 'alt+v')
            menu = self.ui.find(W.MENU_CLASS, '*')['hwnd']
            kivtest.wait_until(lambda: self.ui('checkmarks', menu, 3)['marks'], 10,
                               'the View menu', marks)
            for _ in range(2):
                self.ui.do('keys', self.frame, 'esc')
            self.ui.wait_gone(menu)
        shown = layout()
        self.assertEqual(shown['list']['rect'][1], shown['tool']['rect'][3])
        self.assertEqual(shown['list']['rect'][3], shown['status']['rect'][1])
        expect_view_marks([True, True, True])
        self.ui.do('command', self.frame, VIEW_TOOLBAR)
        expect_view_marks([False, True, True])
        self.ui.do('command', self.frame, VIEW_STATUS_BAR)
        expect_view_marks([False, False, True])
        left, _, right, _ = shown['list']['rect']
        kivtest.wait_until(list_rect, 10, 'the list without bars',
                           [left, shown['tool']['rect'][1], right, shown['status']['rect'][3]])
        hidden = layout()
        self.assertFalse(hidden['tool']['visible'] or hidden['status']['visible'])
        self.ui.do('command', self.frame, VIEW_TOOLBAR)
        self.ui.do('command', self.frame, VIEW_STATUS_BAR)
        kivtest.wait_until(list_rect, 10, 'the list between the bars', shown['list']['rect'])
        self.assertEqual(self.status_text(), IDLE)

        # Prompts: a hot toolbar button, a menu item, a system-menu item, then idle.
        self.ui.send(self.toolbar, W.TB_SETHOTITEM, 0)
        self.assertEqual(self.status_text(), M[SEND_SELECTED].split('\n')[0])
        self.ui.send(self.toolbar, W.TB_SETHOTITEM, 2 ** 32 - 1)
        self.ui.send(self.frame, W.WM_MENUSELECT, DOWN, 1)
        self.assertEqual(self.status_text(), M[DOWN].split('\n')[0])
        self.ui.send(self.frame, W.WM_MENUSELECT, W.SC_CLOSE | W.MF_SYSMENU << 16, 1)
        self.assertEqual(self.status_text(), M[R.IDS_SC_CLOSE])
        self.ui.send(self.frame, W.WM_MENUSELECT, W.SC_MOVE | W.MF_SYSMENU << 16, 1)
        self.assertEqual(self.status_text(), M[R.IDS_SC_MOVE])
        self.ui.send(self.frame, W.WM_MENUSELECT, 0xFFFF << 16, 0)
        self.assertEqual(self.status_text(), IDLE)

        self.ui.do('close', self.frame)
        self.assertEqual(self.ended(), 1)
        self.assertEqual(self.saved(), kivtest.data_file([('PC1', '00-11-22-33-44-55')]))

    def test_sizes_follow_the_display_scale(self):
        # Window, list font and columns, toolbar: at 144 DPI, then moved to a
        # monitor at 96, which Wine cannot show: Windows' message stands in.
        self.display_dpi(144)
        self.start([('PC1', '00-11-22-33-44-55')])

        def sizes():
            left, top, right, bottom = self.ui('window', self.frame)['rect']
            row = self.ui('itemrect', self.list, 0)['rect']
            return ((right - left, bottom - top),
                    [c['width'] for c in self.ui('listwindow', self.list)['columns']],
                    self.ui.send(self.toolbar, W.TB_GETBUTTONSIZE) & 0xFFFF,
                    row[3] - row[1])
        window, columns, button, row = sizes()
        self.assertEqual((window, columns), ((795, 600), [345, 210, 150]))
        self.assertGreaterEqual(button, 33)
        self.ui.do('keys', self.frame, 'ctrl+a')
        send = self.ui.dialog(SEND_TITLE)
        self.assertEqual([c['width'] for c in self.ui('list', send, R.IDC_SEND_LIST)['columns']],
                         [300, 180, 150])
        self.close_when_sent(send)

        self.ui.do('dpichanged', self.frame, 96, 20, 30, 550, 430)
        self.assertEqual(self.ui('window', self.frame)['rect'], [20, 30, 550, 430])
        moved = sizes()
        self.assertEqual(moved[1:3], ([230, 140, 100], 23))
        self.assertGreater(row, moved[3] * 1.4)  # the list's font follows
        # A setting's change makes the fonts again, at the scale the window has now.
        self.ui.send(self.frame, W.WM_SETTINGCHANGE)
        self.assertEqual(sizes(), moved)
        self.ui.do('close', self.frame)
        self.assertEqual(self.ended(), 1)

    def test_long_list_is_shown_whole_and_scrolls(self):
        # The rows go in with drawing switched off; it must come back on.
        targets = [('PC%03d' % i, '00-11-22-33-%02X-%02X' % (i >> 8, i & 0xFF))
                   for i in range(300)]
        self.start(targets)
        self.assertEqual(self.rows(), [[name, mac] for name, mac in targets])
        style = self.ui('window', self.list)['style']
        self.assertEqual(style & (W.WS_VISIBLE | W.WS_VSCROLL), W.WS_VISIBLE | W.WS_VSCROLL)
        self.ui.do('keys', self.frame, 'alt+f4')
        self.assertEqual(self.ended(), 1)
        self.assertEqual(self.saved(), kivtest.data_file(targets))

    def test_texts_read_the_same_on_a_western_system(self):
        # Unicode resources through the W API: code page 1252 changes nothing.
        # A name is the file's bytes in the system's code page, so there the
        # same bytes read differently, and are saved back unchanged.
        targets = [('テスト', '00-11-22-33-44-55')]
        self.start(targets, env={'LC_ALL': 'C.UTF-8'})
        self.assertEqual(self.status_text(), IDLE)
        self.select(0)
        self.ui.do('keys', self.frame, 'ctrl+d')
        box, texts, _ = self.ui.message_box()
        self.assertEqual(texts, [M[R.IDS_CONFIRM_DELETE]])
        self.ui.do('click', box, W.IDCANCEL)
        self.ui.wait_gone(box)
        cp1252 = 'テスト'.encode('cp932').decode('cp1252')
        self.assertEqual(self.rows(), [[cp1252, '00-11-22-33-44-55']])
        self.ui.do('keys', self.frame, 'alt+f4')
        self.assertEqual(self.ended(), 1)
        self.assertEqual(self.saved(), kivtest.data_file(targets))

    def test_accelerators_follow_the_update_rules(self):
        targets = [('PC1', '00-11-22-33-44-01'), ('PC2', '00-11-22-33-44-02')]
        self.start(targets)
        packets = kivtest.UdpListener()
        self.addCleanup(packets.close)

        self.select()
        self.wait_buttons({SEND_SELECTED: False, SEND_ALL: True, NEW: True, EDIT: False,
                           ABOUT: True})
        self.ui.do('keys', self.frame, 'ctrl+e')
        self.no_dialog()
        self.select(0, 1)
        self.wait_buttons({EDIT: False, UP: False, DOWN: False, DELETE: True})
        self.ui.do('keys', self.frame, 'ctrl+e')
        self.ui.do('keys', self.frame, 'ctrl+u')
        self.no_dialog()
        self.assertEqual(self.rows()[0][0], 'PC1')
        self.select(1)
        self.wait_buttons({EDIT: True})
        self.ui.do('keys', self.frame, 'ctrl+e')
        edit = self.ui.dialog(M[R.IDS_EDIT_TITLE])
        self.ui.do('keys', edit, 'esc')
        self.wait_focus_on_list()

        # Send all: no question, every target in row order, then the close button.
        self.ui.do('keys', self.frame, 'ctrl+a')
        send = self.ui.dialog(SEND_TITLE)
        got = [packets.receive(5) for _ in targets]
        self.assertNotIn(None, got)
        self.assertEqual([(g[0], g[1]) for g in got],
                         [(kivtest.magic_packet(mac), '255.255.255.255') for _, mac in targets])
        self.close_when_sent(send)
        self.no_dialog(0.3)

        # Send selected: just the selection.
        self.select(1)
        self.ui.do('keys', self.frame, 'ctrl+s')
        send = self.ui.dialog(SEND_TITLE)
        got = packets.receive(5)
        self.assertEqual(got[0], kivtest.magic_packet(targets[1][1]))
        self.assertIsNone(packets.receive(0.5))
        self.close_when_sent(send)
        self.ui.do('keys', self.frame, 'alt+f4')
        self.assertEqual(self.ended(), 1)
        self.assertEqual(self.saved(), kivtest.data_file(targets))

    def test_registered_target_survives_a_restart(self):
        self.start()
        self.assertEqual(self.rows(), [])
        self.ui.do('keys', self.frame, 'ctrl+n')
        dialog = self.ui.dialog(NEW_TITLE)
        self.ui.do('settext', dialog, R.IDC_NAME_EDIT, '会議室のPC')
        self.ui.do('settext', dialog, R.IDC_MAC_EDIT, '0a-1b-2c-3d-4e-5f')
        self.ui.do('click', dialog, W.IDOK)
        self.wait_rows([['会議室のPC', '0A-1B-2C-3D-4E-5F']])
        self.assertEqual(self.counter.saves(), 0)  # nothing written while open
        self.ui.do('command', self.frame, EXIT)
        self.assertEqual(self.ended(), 1)
        expected = kivtest.data_file([('会議室のPC', '0A-1B-2C-3D-4E-5F')])
        self.assertEqual(self.saved(), expected)

        self.start()
        self.assertEqual(self.rows(), [['会議室のPC', '0A-1B-2C-3D-4E-5F']])
        self.ui.do('keys', self.frame, 'alt+f4')
        self.assertEqual(self.ended(), 1)
        self.assertEqual(self.saved(), expected)

    def test_session_end_saves_once(self):
        targets = [('PC1', '00-11-22-33-44-01'), ('PC2', '00-11-22-33-44-02')]
        self.start(targets, env={'WINEDEBUG': 'trace+winsock'})
        self.select(1)
        self.ui.do('keys', self.frame, 'ctrl+u')
        self.wait_rows([list(t) for t in targets[::-1]])
        self.assertNotEqual(self.ui.send(self.frame, W.WM_QUERYENDSESSION), 0)
        # An ending that was called off saves nothing.
        self.ui.send(self.frame, W.WM_ENDSESSION, 0)
        self.assertEqual(self.counter.saves(), 0)
        self.ui.send(self.frame, W.WM_ENDSESSION, 1)
        self.assertEqual(self.counter.saves(), 1)
        self.assertEqual(self.saved(), kivtest.data_file(targets[::-1]))
        # The socket library stays started, as the session may go on.
        os.set_blocking(self.proc.stderr.fileno(), False)
        self.assertNotIn(b'WSACleanup', self.proc.stderr.read() or b'')
        # The window may still be destroyed afterwards: it must not save again.
        os.remove(os.path.join(self.dir, 'Kivrel.dat'))
        self.ui.do('close', self.frame)
        self.assertEqual(self.ended(), 1)
        self.assertFalse(os.path.exists(os.path.join(self.dir, 'Kivrel.dat')))
        self.assertEqual(self.proc.stderr.read().count(b'WSACleanup'), 1)  # at the exit

        # An ending called off after its save: a later change is saved at close.
        self.start(targets)
        self.ui.send(self.frame, W.WM_ENDSESSION, 1)
        self.assertEqual(self.counter.saves(), 1)
        self.select(1)
        self.ui.do('command', self.frame, UP)  # posted: handled before the close
        self.ui.do('close', self.frame)
        self.assertEqual(self.ended(), 2)
        self.assertEqual(self.saved(), kivtest.data_file(targets[::-1]))

    def test_close_request_while_a_dialog_is_open(self):
        # As taskkill without /F: the dialog ends as Cancel (a run is aborted
        # first), then the program closes, saving the unchanged list once.
        targets = [('PC%02d' % i, '00-11-22-33-44-%02X' % i) for i in range(40)]
        packets = kivtest.UdpListener()
        self.addCleanup(packets.close)
        for keys, title in (('ctrl+n', NEW_TITLE), ('ctrl+d', 'Kivrel'), ('ctrl+a', SEND_TITLE)):
            self.start(targets)
            self.select(0)
            self.ui.do('keys', self.frame, keys)
            self.ui.dialog(title)
            if keys == 'ctrl+a':
                self.assertIsNotNone(packets.receive(10))
            self.ui.do('close', self.frame)
            self.assertEqual(self.ended(), 1, keys)
            self.assertEqual(self.saved(), kivtest.data_file(targets), keys)
        self.assertLess(len(packets.receive_all()), len(targets) - 2)

    def test_dialogs_open_centred_over_the_window(self):
        self.start([('PC1', '00-11-22-33-44-55')])

        def centre(hwnd):
            left, top, right, bottom = self.ui('window', hwnd)['rect']
            return (left + right) // 2, (top + bottom) // 2

        for open_it, title in ((('command', self.frame, ABOUT), ABOUT_TITLE),
                               (('keys', self.frame, 'ctrl+n'), NEW_TITLE)):
            self.ui.do(*open_it)
            dialog = self.ui.dialog(title)
            here, there = centre(dialog), centre(self.frame)
            self.assertLessEqual(abs(here[0] - there[0]), 1, title)
            self.assertLessEqual(abs(here[1] - there[1]), 1, title)
            self.ui.do('keys', dialog, 'esc')
            self.wait_focus_on_list()
        self.ui.do('close', self.frame)
        self.assertEqual(self.ended(), 1)

    def choose_file(self, title, path):
        """Names the file in the system's open or save dialog and presses OK."""
        dialog = self.ui.dialog(title)
        name = next(c for c in self.ui('children', dialog)['children']
                    if c['class'] == 'Edit' and c['visible'])
        self.ui.do('settext', dialog, name['id'], 'Z:' + path.replace('/', '\\'))
        self.ui.do('click', dialog, W.IDOK)
        self.ui.wait_gone(dialog)

    def test_export_then_import_into_an_empty_list_gives_the_same_list(self):
        entries = [('会議室のPC', '00-11-22-33-44-55'), ('a,b "c"', '00-1A-2B-3C-4D-5E')]
        # What is kept beside the list goes out and comes back with it.
        kept = '00-1A-2B-3C-4D-5E \t192.0.2.255\t9\r\n'.encode()
        addresses = os.path.join(self.dir, 'Kivrel.addresses.txt')
        with open(addresses, 'wb') as f:
            f.write(kept)
        self.start(entries)
        csv = os.path.join(self.make_folder(), 'list.csv')
        self.ui.do('command', self.frame, EXPORT)
        self.choose_file('エクスポート', csv)
        kivtest.wait_until(lambda: os.path.exists(csv), 10, 'the CSV file')
        with open(csv, 'rb') as f:
            self.assertEqual(f.read(), '\ufeffName,MAC,Destination,Port\r\n'
                             '会議室のPC,00-11-22-33-44-55,,\r\n'
                             '"a,b ""c""",00-1A-2B-3C-4D-5E,192.0.2.255,9\r\n'.encode())
        self.ui.do('command', self.frame, EXIT)
        self.ended()
        os.remove(os.path.join(self.dir, 'Kivrel.dat'))
        os.remove(addresses)

        self.start()
        self.ui.do('command', self.frame, IMPORT)
        self.choose_file('インポート', csv)
        box, texts, _ = self.ui.message_box()
        self.assertEqual(texts, [M[R.IDS_IMPORT_ADDED].replace('%1', '2')])
        self.ui.do('click', box, W.IDOK)
        self.wait_rows([[n, m] for n, m in entries])
        self.ui.do('command', self.frame, EXIT)
        self.assertEqual(self.ended(), 1)
        self.assertEqual(self.saved(), kivtest.data_file(entries))
        with open(addresses, 'rb') as f:
            self.assertEqual(f.read(), kept)

    def test_about_box_from_menu_and_toolbar(self):
        self.start([('PC1', '00-11-22-33-44-55')])
        # The compiled template's icon: visible SS_ICON child at (11, 17), 20 x 20, id -1.
        icon = struct.pack('<IIhhhhH', W.WS_CHILD | W.WS_VISIBLE | W.SS_ICON, 0, 11, 17, 20, 20,
                           0xFFFF)
        with open(EXE, 'rb') as exe:
            self.assertIn(icon, exe.read())
        for open_it, close_key in ((('command', self.frame, ABOUT), 'esc'),
                                   (('toolbarclick', self.toolbar, ABOUT), 'enter')):
            self.ui.do(*open_it)
            about = self.ui.dialog(ABOUT_TITLE)
            texts = [c['text'] for c in self.ui('children', about)['children']]
            self.assertIn('Kivrel Version ' + os.environ['KIVREL_VERSION'], texts)
            self.assertEqual(self.ui('owner', about)['owner'], self.frame)
            self.ui.do('keys', about, close_key)
            self.wait_focus_on_list()
        self.assertEqual(self.rows(), [['PC1', '00-11-22-33-44-55']])
        self.ui.do('mouse', self.list, 300, 200)  # off the toolbar, for the next window
        self.ui.do('close', self.frame)
        self.assertEqual(self.ended(), 1)


if __name__ == '__main__':
    kivtest.main()
