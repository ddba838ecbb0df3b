"""The registration dialog under Wine, driven as a user would through the
window probe: typed fields, OK or Enter, the message boxes, the focus, and
what the caller reads once the dialog has closed."""
import os
import sys
import time
import unittest

import kivtest

HOST = sys.argv.pop(1)
PROBE = sys.argv.pop(1)

NAME, MAC, OK, CANCEL, NO_ID = 1000, 1002, 1, 2, 65535
IDOK, IDCANCEL = 1, 2
NEW_TITLE = '新規登録'
M = kivtest.MESSAGES

WS_TABSTOP, WS_BORDER, WS_SYSMENU, WS_CAPTION = 0x10000, 0x800000, 0x80000, 0xC00000
WS_EX_CLIENTEDGE = 0x200
DS_MODALFRAME, ES_AUTOHSCROLL, BS_DEFPUSHBUTTON = 0x80, 0x80, 0x1


def ansi_hex(text):
    return (text if isinstance(text, bytes) else text.encode('cp932')).hex()


class RegisterDialog(kivtest.WineTestCase):
    probe_exe = PROBE

    def open(self, entry=None):
        args = (ansi_hex(entry[0]), entry[1]) if entry else ()
        self.host = self.start_program(HOST, *args)
        found = self.probe('find', '#32770', M[61208] if entry else NEW_TITLE, 30000)
        self.assertNotIn('error', found)
        self.dialog = found['hwnd']
        # Keys go to the active window: wait until the dialog has settled,
        # with the focus on its first tab stop.
        self.assertEqual(self.wait_focus(NAME), NAME)
        return found

    def closed(self):
        """What the caller printed after the dialog ended."""
        # Wait for the host itself, not for the end of its output: Wine's
        # desktop process, started with the first window, keeps the pipe open.
        self.host.wait(timeout=30)
        os.set_blocking(self.host.stdout.fileno(), False)
        out = self.host.stdout.read() or b''
        return dict(line.split(' ', 1) for line in out.decode().splitlines())

    def text(self, control):
        return self.probe('control', self.dialog, control)['text']

    def type(self, control, text):
        self.assertEqual(self.probe('settext', self.dialog, control, text), {})

    def wait_focus(self, control):
        deadline = time.monotonic() + 5
        while True:
            info = self.probe('focus', self.dialog)
            focus = info['focus'] if info.get('active') == self.dialog else None
            if (focus and focus['id'] == control) or time.monotonic() > deadline:
                return focus and focus['id']
            time.sleep(0.05)

    def reject(self, message, field, enter=False):
        """OK (or Enter) is refused with one box; the focus returns to field."""
        if enter:
            self.assertEqual(self.probe('keys', self.dialog, 'enter'), {})
        else:
            self.probe('click', self.dialog, OK)
        box = self.probe('find', '#32770', 'Kivrel', 10000)
        self.assertNotIn('error', box, f'no message box for {message!r}')
        children = self.probe('children', box['hwnd'])['children']
        texts = [c['text'] for c in children if c['class'] == 'Static' and c['text']]
        self.assertEqual(texts, [message])
        buttons = [c['id'] for c in children if c['class'] == 'Button' and c['visible']]
        self.assertEqual(buttons, [IDOK])
        self.assertEqual(self.probe('owner', box['hwnd'])['owner'], self.dialog)
        self.probe('click', box['hwnd'], IDOK)
        self.assertEqual(self.wait_focus(field), field)
        self.assertIsNone(self.host.poll(), 'the dialog ended after a rejected OK')

    def test_template_and_new_mode(self):
        dialog = self.open()
        self.assertEqual(dialog['style'] & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
                         WS_CAPTION | WS_SYSMENU | DS_MODALFRAME)
        main = self.probe('find', '*', 'register host', 5000)
        self.assertEqual(self.probe('owner', self.dialog)['owner'], main['hwnd'])
        children = self.probe('children', self.dialog)['children']
        self.assertEqual([(c['class'], c['id'], c['text']) for c in children], [
            ('Edit', NAME, ''), ('Edit', MAC, '00-00-00-00-00-00'),
            ('Button', OK, 'OK'), ('Button', CANCEL, 'ｷｬﾝｾﾙ'),
            ('Static', NO_ID, '名称(memo)'), ('Static', NO_ID, 'MACアドレス'),
            ('Static', NO_ID, '※FF-FF-FF-FF-FF-FFの形式で入力してください。')])
        for c in children[:4]:
            self.assertTrue(c['style'] & WS_TABSTOP, c)
        for c in children[4:]:
            self.assertFalse(c['style'] & WS_TABSTOP, c)
        for c in children[:2]:
            # A dialog draws a bordered edit with the sunken 3-D edge instead.
            self.assertTrue(c['style'] & WS_BORDER or c['exstyle'] & WS_EX_CLIENTEDGE, c)
            self.assertTrue(c['style'] & ES_AUTOHSCROLL, c)
        self.assertEqual(children[2]['style'] & 0xF, BS_DEFPUSHBUTTON)
        # The name is tested first, although the shown address is valid.
        self.reject(M[61204], NAME)
        self.type(NAME, 'テスト機')
        self.probe('click', self.dialog, OK)
        self.assertEqual(self.closed(), {'result': str(IDOK), 'name': ansi_hex('テスト機'),
                                         'mac': '00-00-00-00-00-00'})

    def test_faults_one_at_a_time_with_enter(self):
        self.open()
        self.type(MAC, '00:11:22:33:44:55')
        self.reject(M[61204], NAME, enter=True)
        self.type(NAME, 'pc')
        self.reject(M[61206], MAC, enter=True)
        for mac, message in [('001122334455', 61205), ('00-11-22-33-44-5', 61205),
                             ('00-11-22-33-44-55 ', 61205), ('0G-11-22-33-44-55', 61207),
                             # Full-width characters count two bytes each.
                             ('００-11-22-33-44-55', 61205), ('０-11-22-33-44-55', 61207),
                             ('00－11-22-33-44-5', 61206)]:
            with self.subTest(mac=mac):
                self.type(MAC, mac)
                self.reject(M[message], MAC, enter=True)
        self.assertEqual(self.text(NAME), 'pc')
        self.type(MAC, 'aa-bb-cc-dd-ee-ff')
        self.assertEqual(self.probe('keys', self.dialog, 'enter'), {})
        self.assertEqual(self.closed(), {'result': str(IDOK), 'name': ansi_hex('pc'),
                                         'mac': 'AA-BB-CC-DD-EE-FF'})

    def test_edit_mode_shows_the_entry_in_upper_case(self):
        self.open(('サーバ 1 ', 'aa-bb-cc-dd-ee-0f'))
        self.assertEqual(self.text(NAME), 'サーバ 1 ')
        self.assertEqual(self.text(MAC), 'AA-BB-CC-DD-EE-0F')
        self.probe('click', self.dialog, OK)
        self.assertEqual(self.closed(), {'result': str(IDOK), 'name': ansi_hex('サーバ 1 '),
                                         'mac': 'AA-BB-CC-DD-EE-0F'})

    def test_unchanged_name_keeps_bytes_the_code_page_cannot_show(self):
        # Written on a western system: no CP932 text holds these bytes.
        for raw in (b'B\xfcro', b'Caf\xe9 2', b'PC\x82'):
            with self.subTest(raw=raw):
                self.open((raw, '00-11-22-33-44-55'))
                self.type(MAC, '00-11-22-33-44-66')
                self.probe('click', self.dialog, OK)
                self.assertEqual(self.closed(), {'result': str(IDOK), 'name': raw.hex(),
                                                 'mac': '00-11-22-33-44-66'})

    def test_cancel_esc_and_close_box_end_silently(self):
        for how in ('cancel', 'esc', 'close'):
            with self.subTest(how=how):
                self.open(('pc', '00-11-22-33-44-55'))
                self.type(NAME, '')
                self.type(MAC, 'zz')
                if how == 'cancel':
                    # The button's command itself: a posted click can be lost
                    # while the dialog is still taking the activation.
                    self.probe('command', self.dialog, CANCEL)
                elif how == 'esc':
                    self.assertEqual(self.probe('keys', self.dialog, 'esc'), {})
                else:
                    self.probe('close', self.dialog)
                # A message box would keep the host from ending.
                self.assertEqual(self.closed(), {'result': str(IDCANCEL)})


if __name__ == '__main__':
    unittest.main()
