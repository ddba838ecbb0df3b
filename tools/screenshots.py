#!/usr/bin/env python3
"""Takes the README's pictures of Kivrel.exe under Wine: the main window with
a few targets, the send dialog after a run, the about box and the
registration dialog.

    WINEPREFIX=~/.cache/kivrel/shots-prefix tests/harness/isolated --wine \
        python3 tools/screenshots.py KIVREL.EXE PROBE.EXE

Run it only through the harness: the send dialog really sends. It wants a Wine
prefix of its own, where it lets Wine draw the window frames itself (Xvfb has
no window manager), so that the tests' prefix keeps its settings."""
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


def shoot(window, path):
    left, top, right, bottom = window['rect']
    subprocess.run(['import', '-window', 'root', '-crop',
                    f'{right - left}x{bottom - top}+{left}+{top}', '+repage', str(path)],
                   check=True)


def main():
    exe, probe_exe = sys.argv[1], sys.argv[2]
    out = ROOT / 'docs' / 'screenshots'
    out.mkdir(parents=True, exist_ok=True)
    kivtest.Wine()
    if os.environ['WINEPREFIX'].endswith(os.path.join('kivrel', 'wineprefix')):
        sys.exit('give the pictures a Wine prefix of their own (WINEPREFIX=...)')
    listener = kivtest.UdpListener()
    # No window manager: Wine draws captions and borders itself.
    subprocess.run([os.environ['KIVREL_WINE'], 'reg', 'add', r'HKCU\Software\Wine\X11 Driver', '/v', 'Managed',
                    '/d', 'N', '/f'], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    probe = kivtest.Probe(probe_exe)
    work = tempfile.mkdtemp()
    Path(work, 'Kivrel.dat').write_bytes(kivtest.data_file(TARGETS))
    proc = kivtest.Wine.start(exe, cwd=work)
    try:
        frame = probe('find', '*', 'Kivrel', 30000)
        time.sleep(1)
        probe('select', frame['hwnd'], 59648, 1)
        time.sleep(0.5)
        shoot(probe('window', frame['hwnd']), out / 'main.png')

        probe('keys', frame['hwnd'], 'ctrl+a')
        send = probe('find', '#32770', '送信ﾀﾞｲｱﾛｸﾞ', 10000)
        while probe('control', send['hwnd'], 1)['text'] != kivtest.MESSAGES[61213]:
            time.sleep(0.1)
        time.sleep(0.5)
        shoot(probe('window', send['hwnd']), out / 'send.png')
        probe('click', send['hwnd'], 1)
        time.sleep(0.5)

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
        shoot(probe('window', register['hwnd']), out / 'register.png')
        probe('keys', register['hwnd'], 'esc')
        time.sleep(0.3)
        probe('close', frame['hwnd'])
        proc.wait(timeout=20)
        print(f'{len(listener.receive_all())} wake packets looped back')
    finally:
        kivtest.stop(proc)
        probe.close()
        listener.close()


if __name__ == '__main__':
    main()
