#!/usr/bin/env python3
"""Takes the README's pictures of Kivrel.exe under Wine: the main window with
a few targets, the send dialog after a run and the registration dialog at 96,
144 and 192 DPI (main.png, main-144.png, main-192.png, ...), and the about box
at 96.

    WINEPREFIX=~/.cache/kivrel/shots-prefix KIVREL_SCREEN=1600x1200x24 \\
        tests/harness/isolated --wine python3 tools/screenshots.py KIVREL.EXE PROBE.EXE

Run it only through the harness: the send dialog really sends. It wants a Wine
prefix of its own, where it lets Wine draw the window frames itself (Xvfb has
no window manager), so that the tests' prefix keeps its settings, and a screen
that holds the window at 192 DPI."""
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / 'tests' / 'e2e'))
import kivtest  # noqa: E402

TARGETS = [('会議室のPC', '00-1A-2B-3C-4D-5E'), ('経理部 サーバー', '00-1A-2B-3C-4D-5F'),
           ('開発機（田中）', '08-00-27-AB-CD-EF'), ('受付端末', '52-54-00-12-34-56')]
SCALES = ((96, ''), (144, '-144'), (192, '-192'))


def shoot(window, path):
    left, top, right, bottom = window['rect']
    subprocess.run(['import', '-window', 'root', '-crop',
                    f'{right - left}x{bottom - top}+{left}+{top}', '+repage', str(path)],
                   check=True)


def shoot_program(exe, probe, out, suffix):
    work = tempfile.mkdtemp()
    Path(work, 'Kivrel.dat').write_bytes(kivtest.data_file(TARGETS))
    proc = kivtest.Wine.start(exe, cwd=work)
    try:
        frame = probe('find', '*', 'Kivrel', 30000)
        time.sleep(1)
        probe('select', frame['hwnd'], 59648, 1)
        time.sleep(0.5)
        shoot(probe('window', frame['hwnd']), out / f'main{suffix}.png')

        probe('keys', frame['hwnd'], 'ctrl+a')
        send = probe('find', '#32770', '送信ﾀﾞｲｱﾛｸﾞ', 10000)
        while probe('control', send['hwnd'], 1)['text'] != kivtest.MESSAGES[61213]:
            time.sleep(0.1)
        time.sleep(0.5)
        shoot(probe('window', send['hwnd']), out / f'send{suffix}.png')
        probe('click', send['hwnd'], 1)
        time.sleep(0.5)

        if not suffix:
            probe('command', frame['hwnd'], 57664)
            about = probe('find', '#32770', 'Kivrelのﾊﾞｰｼﾞｮﾝ情報', 10000)
            time.sleep(0.5)
            shoot(probe('window', about['hwnd']), out / 'about.png')
            probe('keys', about['hwnd'], 'esc')
            time.sleep(0.3)

        probe('keys', frame['hwnd'], 'ctrl+n')
        title = kivtest.MESSAGES[32774].split('\n')[1]
        register = probe('find', '#32770', title, 10000)
        probe('settext', register['hwnd'], 1000, TARGETS[0][0])
        time.sleep(0.5)
        shoot(probe('window', register['hwnd']), out / f'register{suffix}.png')
        probe('keys', register['hwnd'], 'esc')
        time.sleep(0.3)
        probe('close', frame['hwnd'])
        proc.wait(timeout=20)
    finally:
        kivtest.stop(proc)


def main():
    exe, probe_exe = sys.argv[1], sys.argv[2]
    out = ROOT / 'docs' / 'screenshots'
    out.mkdir(parents=True, exist_ok=True)
    kivtest.Wine()
    if os.path.basename(os.environ['WINEPREFIX']) in ('wineprefix', 'wineprefix64'):
        sys.exit('give the pictures a Wine prefix of their own (WINEPREFIX=...)')
    listener = kivtest.UdpListener()
    # No window manager: Wine draws captions and borders itself.
    kivtest.wine_reg('add', r'HKCU\Software\Wine\X11 Driver', '/v', 'Managed', '/d', 'N', '/f')
    probe = kivtest.Probe(probe_exe)
    try:
        for dpi, suffix in SCALES:
            if dpi != 96:
                kivtest.wine_reg('add', *kivtest.DISPLAY_DPI, '/t', 'REG_DWORD', '/d', str(dpi),
                                 '/f')
            shoot_program(exe, probe, out, suffix)
        print(f'{len(listener.receive_all())} wake packets looped back')
    finally:
        subprocess.run([os.environ['KIVREL_WINE'], 'reg', 'delete', *kivtest.DISPLAY_DPI, '/f'],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        probe.close()
        listener.close()


if __name__ == '__main__':
    main()
