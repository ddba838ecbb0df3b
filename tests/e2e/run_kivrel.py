"""scripts/run's inner half: starts Kivrel.exe in the isolated namespace and
reports every wake packet that it sends, with Kivrel's exit status."""
import subprocess
import sys
import threading

import kivtest


def main():
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
    status = subprocess.run(kivtest.wine_command(exe, *args)).returncode
    done.set()
    thread.join()
    print(f'Kivrel.exe exited with status {status}')
    sys.exit(status)


if __name__ == '__main__':
    main()
