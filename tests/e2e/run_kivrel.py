"""scripts/run's inner half: starts Kivrel.exe in the isolated namespace and
reports every wake packet that it sends, with Kivrel's exit status.
--screenshot PATH keeps a picture of the screen there while Kivrel runs."""
import os
import subprocess
import sys
import threading

import kivtest


SCREENSHOT_SECONDS = 2


def main():
    shot = None
    if sys.argv[1:2] == ['--screenshot']:
        shot = sys.argv[2]
        del sys.argv[1:3]
    exe, args = sys.argv[1], sys.argv[2:]
    listener = kivtest.UdpListener()
    done = threading.Event()

    def report():
        while not done.is_set():
            item = listener.receive(0.2)
            if item is not None:
                payload, destination, _ = item
                mac = '-'.join(f'{b:02X}' for b in payload[6:12])
                print(f'received {len(payload)} bytes for {mac} at {destination}:7', flush=True)

    thread = threading.Thread(target=report)
    thread.start()
    kivrel = subprocess.Popen(kivtest.wine_command(exe, *args))
    while shot:
        # Written beside, then renamed, so a viewer never opens half a picture.
        subprocess.run(['import', '-window', 'root', shot + '.part.png'],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if os.path.exists(shot + '.part.png'):
            os.replace(shot + '.part.png', shot)
        try:
            kivrel.wait(SCREENSHOT_SECONDS)
            break
        except subprocess.TimeoutExpired:
            pass
    status = kivrel.wait()
    done.set()
    thread.join()
    print(f'Kivrel.exe exited with status {status}')
    sys.exit(status)


if __name__ == '__main__':
    main()
