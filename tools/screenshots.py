#!/usr/bin/env python3
"""Takes the README's pictures of Kivrel.exe under Wine: the main window with
a few targets, the send dialog after a run and the registration dialog, its
MAC just found from a host name on the harness's LAN and a destination and
port typed, at 96, 144 and 192 DPI
(main.png, main-144.png, main-192.png, ...), and the about box and the open
操作 and 表示 menus at 96; with the stand-in peers also, at 96, the list once
the watch after the wake has ended (3 minutes) and the diagnosis of the PC
that never answered.

    WINEPREFIX=~/.cache/kivrel/shots-prefix KIVREL_SCREEN=1600x1200x24 \\
        tests/harness/isolated --lans 3 --wine python3 tools/screenshots.py KIVREL.EXE PROBE.EXE

The first LAN holds the PC whose MAC the registration dialog finds; the
other two stand in for the first two targets, the first answering echoes and
the second not, so the status column shows both of its texts; the fourth is
given the first's address, where the first answers as another device.

Run it only through the harness: the send dialog really sends. It wants a Wine
prefix of its own, where it changes the display's DPI, so that the tests'
prefix keeps its settings, and a screen that holds the window at 192 DPI."""
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / 'tests' / 'e2e'))
import kivtest  # noqa: E402
from kivtest import CAPTIONS, MESSAGES as M, R, W  # noqa: E402

TARGETS = [('会議室のPC', '00-1A-2B-3C-4D-5E'), ('経理部 サーバー', '00-1A-2B-3C-4D-5F'),
           ('開発機（田中）', '08-00-27-AB-CD-EF'), ('受付端末', '52-54-00-12-34-56')]
SCALES = ((96, ''), (144, '-144'), (192, '-192'))
PEER_NAME, PEER_MAC = 'study-pc', '02-00-5E-10-00-0A'


def put_peer_on_lan():
    """A PC at 192.0.2.10, named in a hosts file of this mount namespace only."""
    lan, peer = kivtest.lans()[0][1], kivtest.lans()[0][0] + 'p'
    for step in (['link', 'set', peer, 'address', PEER_MAC.replace('-', ':').lower()],
                 ['addr', 'add', '192.0.2.10/24', 'dev', peer]):
        subprocess.run(['ip', '-n', lan, *step], check=True)
    hosts = Path(tempfile.mkdtemp(), 'hosts')
    hosts.write_text(f'127.0.0.1 localhost\n192.0.2.10 {PEER_NAME}\n')
    subprocess.run(['mount', '--bind', str(hosts), '/etc/hosts'], check=True)


def shoot(ui, hwnd, path):
    # Wine shows what a window painted in the X display some time after the
    # painting, and nothing tells when: a short pause lets the picture settle.
    time.sleep(0.5)
    left, top, right, bottom = ui('window', hwnd)['rect']
    subprocess.run(['import', '-window', 'root', '-crop',
                    f'{right - left}x{bottom - top}+{left}+{top}', '+repage', str(path)],
                   check=True)


def shoot_menu(ui, frame, keys, path):
    """The window with the menu its keys open, which is closed again."""
    ui.do('keys', frame, keys)
    menu = ui.find('#32768', '*')['hwnd']
    shoot(ui, frame, path)
    ui.do('keys', frame, 'esc')
    ui.do('keys', frame, 'esc')
    ui.wait_gone(menu)


def stand_in_peers():
    """The first two targets become the second and third LANs' peers: their
    MACs, known here. The second ignores echoes. False without those LANs."""
    ends = kivtest.lans()[1:]
    if len(ends) != 2:
        return False
    for (here, namespace), (_, mac), address, ignore in zip(
            ends, TARGETS, ('198.51.100.2', '203.0.113.2'), (0, 1)):
        mac = mac.replace('-', ':').lower()
        subprocess.run(['ip', '-n', namespace, 'link', 'set', here + 'p', 'address', mac],
                       check=True)
        subprocess.run(['ip', 'netns', 'exec', namespace, 'sysctl', '-qw',
                        f'net.ipv4.icmp_echo_ignore_all={ignore}'], check=True)
        subprocess.run(['ip', 'neigh', 'replace', address, 'lladdr', mac, 'dev', here, 'nud',
                        'permanent'], check=True)
    return True


def shoot_program(exe, ui, out, suffix, statuses):
    work = tempfile.mkdtemp()
    Path(work, 'Kivrel.dat').write_bytes(kivtest.data_file(TARGETS))
    if statuses:
        Path(work, 'Kivrel.addresses.txt').write_text(f'{TARGETS[3][1]} 198.51.100.2\n')
    proc = ui.start(exe, cwd=work)
    try:
        frame = ui.find('*', 'Kivrel', 30)['hwnd']
        pane = ui('control', frame, R.AFX_IDW_PANE_FIRST)['hwnd']
        ui.do('select', frame, R.AFX_IDW_PANE_FIRST, 1)
        kivtest.wait_until(lambda: ui('listwindow', pane)['selected'], 10, 'the selection', [1])
        if statuses:
            kivtest.wait_until(lambda: [r[2] for r in ui('listwindow', pane)['rows']], 20,
                               'the statuses', [M[R.IDS_STATUS_UP], M[R.IDS_STATUS_DOWN], '',
                                                M[R.IDS_STATUS_OTHER]])
        shoot(ui, frame, out / f'main{suffix}.png')

        ui.do('keys', frame, 'ctrl+a')
        send = ui.dialog(CAPTIONS[R.IDD_SEND])
        ui.wait_text(send, W.IDOK, M[R.IDS_SEND_CLOSE], 30)
        shoot(ui, send, out / f'send{suffix}.png')
        ui.do('click', send, W.IDOK)
        ui.wait_gone(send)

        if not suffix:
            # The 操作 menu, open over the window, with its import and export items.
            shoot_menu(ui, frame, 'alt+c', out / 'menu-csv.png')

            ui.do('command', frame, R.ID_APP_ABOUT)
            about = ui.dialog(CAPTIONS[R.IDD_ABOUTBOX])
            shoot(ui, about, out / 'about.png')
            ui.do('keys', about, 'esc')
            ui.wait_gone(about)

            shoot_menu(ui, frame, 'alt+v', out / 'menu-view.png')

        if statuses and not suffix:
            # The wake's outcome once its 3-minute watch has ended.
            not_woken = M[R.IDS_STATUS_NOT_WOKEN]
            kivtest.wait_until(lambda: [r[2] for r in ui('listwindow', pane)['rows']], 200,
                               'the watch to end', [M[R.IDS_STATUS_UP], not_woken, not_woken,
                                                    M[R.IDS_STATUS_OTHER]])
            shoot(ui, frame, out / 'wake-status.png')
            ui.do('command', frame, R.ID_TARGET_DIAGNOSE)
            diagnosis = ui.dialog(CAPTIONS[R.IDD_DIAGNOSE])
            shoot(ui, diagnosis, out / 'diagnose.png')
            ui.do('keys', diagnosis, 'esc')
            ui.wait_gone(diagnosis)

        ui.do('keys', frame, 'ctrl+n')
        register = ui.dialog(CAPTIONS[R.IDD_REGISTER])
        ui.do('settext', register, R.IDC_ADDRESS_EDIT, PEER_NAME)
        ui.do('click', register, R.IDC_FIND_MAC)
        ui.wait_text(register, R.IDC_MAC_EDIT, PEER_MAC, 30)
        # The documentation range's MAC is a made-up one: its warning is closed first.
        box, _, _ = ui.message_box()
        ui.do('click', box, W.IDOK)
        ui.wait_gone(box)
        ui.wait_text(register, R.IDC_NAME_EDIT, PEER_NAME)
        # Its wakes go to its subnet's broadcast address, port 9.
        ui.do('settext', register, R.IDC_DEST_EDIT, '192.0.2.255')
        ui.do('settext', register, R.IDC_PORT_EDIT, '9')
        shoot(ui, register, out / f'register{suffix}.png')
        ui.do('keys', register, 'esc')
        ui.wait_gone(register)
        ui.do('close', frame)
        proc.wait(timeout=20)
    finally:
        kivtest.stop(proc)


def main():
    exe, probe_exe = sys.argv[1], sys.argv[2]
    out = ROOT / 'docs' / 'screenshots'
    out.mkdir(parents=True, exist_ok=True)
    prefix = os.path.basename(os.environ.get('WINEPREFIX', 'wineprefix'))
    if prefix in ('wineprefix', 'wineprefix64'):
        sys.exit('give the pictures a Wine prefix of their own (WINEPREFIX=...)')
    put_peer_on_lan()
    ui = kivtest.Driver(probe_exe)
    listener = kivtest.UdpListener()
    statuses = stand_in_peers()
    try:
        for dpi, suffix in SCALES:
            if dpi != 96:
                kivtest.wine_reg('add', *kivtest.DISPLAY_DPI, '/t', 'REG_DWORD', '/d', str(dpi),
                                 '/f')
            shoot_program(exe, ui, out, suffix, statuses)
        print(f'{len(listener.receive_all())} wake packets looped back')
    finally:
        subprocess.run([os.environ['KIVREL_WINE'], 'reg', 'delete', *kivtest.DISPLAY_DPI, '/f'],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        ui.close()
        listener.close()


if __name__ == '__main__':
    main()
