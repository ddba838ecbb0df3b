"""The registration dialog under Wine, driven as a user would through the
window probe: typed fields, OK or Enter, the message boxes, the focus, and
what the caller reads once the dialog has closed."""
import os
import subprocess
import sys
import unittest

import kivtest
from kivtest import MESSAGES as M, R, W

HOST = sys.argv.pop(1)
PROBE = sys.argv.pop(1)

NAME, MAC, NO_ID = R.IDC_NAME_EDIT, R.IDC_MAC_EDIT, 65535
ADDRESS, FIND = R.IDC_ADDRESS_EDIT, R.IDC_FIND_MAC
DEST, PORT = R.IDC_DEST_EDIT, R.IDC_PORT_EDIT


def ansi_hex(text):
    return (text if isinstance(text, bytes) else text.encode('cp932')).hex()


class RegisterDialog(kivtest.WineTestCase):
    probe_exe = PROBE

    def open(self, entry=None, kept=()):
        """entry: (name, MAC) to edit; kept: its (address, destination, port)."""
        args = (ansi_hex(entry[0]), entry[1], *kept) if entry else ()
        self.host = self.start_program(HOST, *args)
        title = M[R.IDS_EDIT_TITLE] if entry else kivtest.CAPTIONS[R.IDD_REGISTER]
        found = self.ui.find(W.DIALOG_CLASS, title, 30)
        self.dialog = found['hwnd']
        # Keys go to the active window: wait until the dialog has settled,
        # with the focus on its first tab stop.
        self.wait_focus(NAME)
        return found

    def closed(self):
        """What the caller printed after the dialog ended."""
        # Wait for the host itself, not for the end of its output: Wine's
        # desktop process, started with the first window, keeps the pipe open.
        self.ui.exit_status(self.host)
        os.set_blocking(self.host.stdout.fileno(), False)
        out = self.host.stdout.read() or b''
        return {k: v for k, v in (line.split(' ', 1) for line in out.decode().splitlines())
                if v not in ('', '0')}  # none kept

    def text(self, control):
        return self.ui('control', self.dialog, control)['text']

    def type(self, control, text):
        self.ui.do('settext', self.dialog, control, text)

    def wait_focus(self, control):
        self.ui.wait_focus(self.dialog, self.ui('control', self.dialog, control)['hwnd'])

    def reject(self, message, field, enter=False):
        """OK (or Enter) is refused with one box; the focus returns to field."""
        if enter:
            self.ui.do('keys', self.dialog, 'enter')
        else:
            self.ui.do('click', self.dialog, W.IDOK)
        box, texts, buttons = self.ui.message_box()
        self.assertEqual((texts, buttons), ([message], [W.IDOK]))
        self.assertEqual(self.ui('owner', box)['owner'], self.dialog)
        self.ui.do('click', box, W.IDOK)
        self.wait_focus(field)
        self.assertIsNone(self.host.poll(), 'the dialog ended after a rejected OK')

    def test_template_and_new_mode(self):
        dialog = self.open()
        framed = W.WS_CAPTION | W.WS_SYSMENU | W.DS_MODALFRAME
        self.assertEqual(dialog['style'] & framed, framed)
        main = self.ui.find('*', 'register host', 5)
        self.assertEqual(self.ui('owner', self.dialog)['owner'], main['hwnd'])
        children = self.ui('children', self.dialog)['children']
        # Each label just before the control it names, as screen readers read
        # it, with an access key; the hints after their fields.
        self.assertEqual([(c['class'], c['id'], c['text']) for c in children], [
            ('Static', NO_ID, '名称(memo)(&N)'), ('Edit', NAME, ''),
            ('Static', NO_ID, 'MACアドレス(&M)'), ('Edit', MAC, '00-00-00-00-00-00'),
            ('Static', NO_ID, '※例: 00-11-22-33-44-55 (コロン区切りや区切りなしでも可)'),
            ('Static', NO_ID, 'ホスト名またはIPv4アドレス(省略可)(&A)'), ('Edit', ADDRESS, ''),
            ('Button', FIND, 'MAC取得'),
            ('Static', NO_ID, '送信先(省略可)(&D)'), ('Edit', DEST, ''),
            ('Static', NO_ID, 'ポート(&P)'), ('Edit', PORT, ''),
            ('Static', NO_ID, '※別のネットワークのPCには、そのネットワークのブロードキャスト\n'
             'アドレス(例: 192.168.2.255)か、ルーターがそのPCに転送する\n'
             'アドレスとポートを入力します。ポートの省略時は 7 です。'),
            ('Button', W.IDOK, 'OK'), ('Button', W.IDCANCEL, 'ｷｬﾝｾﾙ')])
        for c in children:
            self.assertEqual(bool(c['style'] & W.WS_TABSTOP), c['class'] != 'Static', c)
        children = [c for c in children if c['class'] != 'Static']
        for c in [c for c in children if c['class'] == 'Edit']:
            # A dialog draws a bordered edit with the sunken 3-D edge instead.
            self.assertTrue(c['style'] & W.WS_BORDER or c['exstyle'] & W.WS_EX_CLIENTEDGE, c)
            self.assertTrue(c['style'] & W.ES_AUTOHSCROLL, c)
        self.assertEqual(children[-2]['style'] & 0xF, W.BS_DEFPUSHBUTTON)
        # Tab goes in screen order; each label's key to its field.
        for c in children[1:] + children[:1]:
            self.ui.do('keys', self.dialog, 'tab')
            self.wait_focus(c['id'])
        for key, control in (('p', PORT), ('a', ADDRESS), ('m', MAC), ('d', DEST), ('n', NAME)):
            self.ui.do('keys', self.dialog, 'alt+' + key)
            self.wait_focus(control)
        # The name is tested first, although the shown address is valid.
        self.reject(M[R.IDS_NAME_EMPTY], NAME)
        self.type(NAME, 'テスト機')
        self.ui.do('click', self.dialog, W.IDOK)
        # No address: the all-zero MAC is taken as it stands.
        self.assertEqual(self.closed(), {'result': str(W.IDOK), 'name': ansi_hex('テスト機'),
                                         'mac': '00-00-00-00-00-00'})

    def test_layout_at_100_150_and_200_percent(self):
        """Everything inside the dialog at each scale; OK and Cancel, last, at
        the bottom right, under every field."""
        self.display_dpi(96)
        for dpi in (96, 144, 192):
            kivtest.wine_reg('add', *kivtest.DISPLAY_DPI, '/t', 'REG_DWORD', '/d', str(dpi), '/f')
            left, top, right, bottom = self.open()['rect']
            *fields, ok, cancel = [c['rect'] for c in self.ui('children', self.dialog)['children']]
            for l, t, r, b in fields + [ok, cancel]:
                self.assertTrue(left < l < r < right and top < t < b < bottom, dpi)
            self.assertGreater(min(ok[1], cancel[1]), max(f[3] for f in fields), dpi)
            self.assertLess(ok[2], cancel[0], dpi)
            self.assertEqual(cancel[2], max(f[2] for f in fields), dpi)
            self.ui.do('keys', self.dialog, 'esc')
            self.closed()

    def test_destination_port_and_the_look_up_that_enter_and_ok_make(self):
        self.open(('pc', '00-11-22-33-44-55'), ('192.0.2.2', '192.168.2.255', '9'))
        self.assertEqual([self.text(c) for c in (ADDRESS, DEST, PORT)],
                         ['192.0.2.2', '192.168.2.255', '9'])
        for port in ('65536', 'x'):
            self.type(PORT, port)
            self.reject(M[R.IDS_PORT_BAD], PORT, enter=True)
        self.type(DEST, '  router.example.net ')
        self.type(PORT, '４００００')
        # Enter in the address field looks the MAC up, as OK does while it is
        # all zero; no LAN here: each look-up says so, and the dialog stays.
        self.ui.do('keys', self.dialog, 'alt+a')
        self.wait_focus(ADDRESS)
        for mac, enter in (('00-11-22-33-44-66', True), ('00-00-00-00-00-00', False)):
            self.type(MAC, mac)
            self.reject(M[R.IDS_LOOKUP_OFF_SUBNET], ADDRESS, enter)
        self.type(MAC, '00:11:22:33:44:55')
        self.ui.do('keys', self.dialog, 'alt+d')  # out of the address field, Enter is OK
        self.wait_focus(DEST)
        self.ui.do('keys', self.dialog, 'enter')
        self.assertEqual(self.closed(), {'result': str(W.IDOK), 'name': ansi_hex('pc'),
                                         'mac': '00-11-22-33-44-55', 'address': '192.0.2.2',
                                         'destination': 'router.example.net', 'port': '40000'})

    def test_faults_one_at_a_time_with_enter(self):
        self.open()
        self.type(MAC, '00:11:22:33:44:5')
        self.reject(M[R.IDS_NAME_EMPTY], NAME, enter=True)
        self.type(NAME, 'pc')
        self.reject(M[R.IDS_MAC_LENGTH], MAC, enter=True)
        length, separator, digit = R.IDS_MAC_LENGTH, R.IDS_MAC_SEPARATOR, R.IDS_MAC_DIGIT
        for mac, message in [('00112233445', length), ('00-11-22-33-44-5', length),
                             ('00-11-22-33-44-55 ', length), ('0G-11-22-33-44-55', digit),
                             # Full-width ones are read as their half-width forms.
                             ('０Ｇ-11-22-33-44-55', digit), ('00－11-22-33-44-5', length),
                             ('00：11-22-33-44-55', separator), ('0011.2233-4455', separator)]:
            with self.subTest(mac=mac):
                self.type(MAC, mac)
                self.reject(M[message], MAC, enter=True)
        self.assertEqual(self.text(NAME), 'pc')
        self.type(MAC, 'ａａ－ＢＢーｃｃ‐ｄｄ-ee－ＦＦ')
        self.ui.do('keys', self.dialog, 'enter')
        self.assertEqual(self.closed(), {'result': str(W.IDOK), 'name': ansi_hex('pc'),
                                         'mac': 'AA-BB-CC-DD-EE-FF'})

    def test_edit_mode_shows_the_entry_in_upper_case(self):
        self.open(('サーバ 1 ', 'aa-bb-cc-dd-ee-0f'))
        self.assertEqual(self.text(NAME), 'サーバ 1 ')
        self.assertEqual(self.text(MAC), 'AA-BB-CC-DD-EE-0F')
        self.ui.do('click', self.dialog, W.IDOK)
        self.assertEqual(self.closed(), {'result': str(W.IDOK), 'name': ansi_hex('サーバ 1 '),
                                         'mac': 'AA-BB-CC-DD-EE-0F'})

    def test_unchanged_name_keeps_bytes_the_code_page_cannot_show(self):
        # Written on a western system: no CP932 text holds these bytes.
        for raw in (b'B\xfcro', b'Caf\xe9 2', b'PC\x82'):
            with self.subTest(raw=raw):
                self.open((raw, '00-11-22-33-44-55'))
                self.type(MAC, '00-11-22-33-44-66')
                self.ui.do('click', self.dialog, W.IDOK)
                self.assertEqual(self.closed(), {'result': str(W.IDOK), 'name': raw.hex(),
                                                 'mac': '00-11-22-33-44-66'})

    def find_mac(self, text):
        self.type(ADDRESS, text)
        self.ui.do('click', self.dialog, FIND)

    def close_made_up_mac_warning(self):
        """The peer's MAC is a made-up one: it is kept, with a word on why it may not wake."""
        box, texts, _ = self.ui.message_box(timeout=30)
        self.assertEqual(texts, [M[R.IDS_LOOKUP_LOCAL_MAC]])
        self.ui.do('click', box, W.IDOK)

    def test_lans_finds_the_mac_by_address_or_name_and_says_why_not(self):
        ends = kivtest.lans()
        if not ends:
            self.skipTest('needs tests/harness/isolated --lans 1')
        lan, peer = ends[0][1], ends[0][0] + 'p'
        for step in (['link', 'set', peer, 'address', '02:00:5e:10:00:0a'],
                     ['addr', 'add', '192.0.2.10/24', 'dev', peer]):
            subprocess.run(['ip', '-n', lan, *step], check=True)
        # The harness's own mount namespace: the name is known here only.
        kivtest.known_names(self, {'study-pc': '192.0.2.10'})
        for text, name in (('192.0.2.10', ''), ('study-pc', 'study-pc')):
            with self.subTest(text=text):
                self.open()
                self.find_mac(text)
                self.ui.wait_text(self.dialog, MAC, '02-00-5E-10-00-0A', 30)
                self.close_made_up_mac_warning()
                kivtest.wait_until(lambda: self.ui('control', self.dialog, FIND)['enabled'], 10,
                                   'the button back')
                self.assertEqual(self.text(NAME), name)
                self.type(NAME, 'pc')
                self.ui.do('click', self.dialog, W.IDOK)
                self.assertEqual(self.closed(), {'result': str(W.IDOK), 'name': ansi_hex('pc'),
                                                 'mac': '02-00-5E-10-00-0A', 'address': text})
        # OK with an address and no MAC saves the one looked up.
        self.open()
        self.type(NAME, 'pc')
        self.type(ADDRESS, 'study-pc')
        self.ui.do('click', self.dialog, W.IDOK)
        self.close_made_up_mac_warning()
        self.assertEqual(self.closed(), {'result': str(W.IDOK), 'name': ansi_hex('pc'),
                                         'mac': '02-00-5E-10-00-0A', 'address': 'study-pc'})
        for text, message in (('10.20.30.40', R.IDS_LOOKUP_OFF_SUBNET),
                              ('192.0.2.77', R.IDS_LOOKUP_NO_ANSWER)):
            with self.subTest(text=text):
                self.open()
                self.find_mac(text)
                box, texts, _ = self.ui.message_box(timeout=30)
                self.assertEqual(texts, [M[message]])
                self.ui.do('click', box, W.IDOK)
                self.wait_focus(ADDRESS)
                self.assertEqual(self.text(MAC), '00-00-00-00-00-00')
                self.ui.do('keys', self.dialog, 'esc')
                self.assertEqual(self.closed(), {'result': str(W.IDCANCEL)})
        # Esc while it looks ends the dialog at once; the late result is dropped.
        self.open()
        self.find_mac('192.0.2.77')
        kivtest.wait_until(lambda: not self.ui('control', self.dialog, FIND)['enabled'], 10,
                           'the button disabled while it looks')
        self.ui.do('keys', self.dialog, 'esc')
        self.assertEqual(self.closed(), {'result': str(W.IDCANCEL)})

    def test_cancel_esc_and_close_box_end_silently(self):
        for how in ('cancel', 'esc', 'close'):
            with self.subTest(how=how):
                self.open(('pc', '00-11-22-33-44-55'))
                self.type(NAME, '')
                self.type(MAC, 'zz')
                if how == 'cancel':
                    # The button's command itself: a posted click can be lost
                    # while the dialog is still taking the activation.
                    self.ui.do('command', self.dialog, W.IDCANCEL)
                elif how == 'esc':
                    self.ui.do('keys', self.dialog, 'esc')
                else:
                    self.ui.do('close', self.dialog)
                # A message box would keep the host from ending.
                self.assertEqual(self.closed(), {'result': str(W.IDCANCEL)})


if __name__ == '__main__':
    kivtest.main()
