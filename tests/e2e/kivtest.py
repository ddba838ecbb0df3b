"""Shared pieces of the end-to-end tests: the isolation check, a listener on
UDP port 7, the program's texts and data file, and Wine with the window probe."""
import json
import os
import re
import select
import shutil
import socket
import struct
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
IP_PKTINFO = getattr(socket, 'IP_PKTINFO', 8)


def require_isolation():
    """Refuses to go on unless the network holds nothing but loopback and, for
    Wine, the wineserver runs in this very namespace."""
    with open('/proc/self/net/dev') as dev:
        interfaces = sorted(line.split(':')[0].strip() for line in dev.readlines()[2:])
    if interfaces != ['lo']:
        raise SystemExit(f'refusing to send: interfaces {interfaces}; run through '
                         'tests/harness/isolated')
    server = os.environ.get('KIVREL_WINESERVER_PID')
    if server is not None:
        if os.stat(f'/proc/{server}/ns/net').st_ino != os.stat('/proc/self/ns/net').st_ino:
            raise SystemExit('refusing to send: the wineserver is outside this namespace')


def _load_messages():
    text = (ROOT / 'res' / 'strings.inc').read_text(encoding='utf-8')
    ids = {}
    for line in (ROOT / 'res' / 'resource.h').read_text().splitlines():
        m = re.match(r'#define (\w+) (\d+)', line)
        if m:
            ids[m.group(1)] = int(m.group(2))
    messages = {}
    for m in re.finditer(r'KIVREL_STRING\((\w+), "(.*)"\)', text):
        value = m.group(2).replace('\\x22', '"').replace('\\n', '\n')
        messages[ids[m.group(1)]] = value
    return messages


MESSAGES = _load_messages()


def data_file(entries):
    """Kivrel.dat for (name, MAC text) pairs, the names in code page 932."""
    out = struct.pack('<I', len(entries))
    for name, mac in entries:
        raw = name.encode('cp932')
        out += struct.pack('<i', len(raw)) + raw + bytes(int(g, 16) for g in mac.split('-'))
    return out


def magic_packet(mac_text):
    mac = bytes(int(g, 16) for g in mac_text.split('-'))
    return b'\xff' * 6 + mac * 16


class UdpListener:
    """Receives on UDP port 7 and records each datagram's destination."""

    def __init__(self, port=7):
        require_isolation()
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.setsockopt(socket.IPPROTO_IP, IP_PKTINFO, 1)
        self.sock.bind(('0.0.0.0', port))

    def receive(self, timeout):
        ready, _, _ = select.select([self.sock], [], [], timeout)
        if not ready:
            return None
        data, ancillary, _, _ = self.sock.recvmsg(2048, 256)
        destination = None
        for level, kind, value in ancillary:
            if level == socket.IPPROTO_IP and kind == IP_PKTINFO:
                destination = socket.inet_ntoa(value[8:12])
        return data, destination, time.monotonic()

    def receive_all(self, quiet=0.3):
        """Everything that arrives until nothing has come for `quiet` seconds."""
        got = []
        while True:
            item = self.receive(quiet)
            if item is None:
                return got
            got.append(item[:2])

    def close(self):
        self.sock.close()


class Wine:
    """Starts Windows programs under the harness's wineserver."""

    def __init__(self):
        if 'KIVREL_WINESERVER_PID' not in os.environ:
            raise SystemExit('no private wineserver: run through tests/harness/isolated --wine')
        require_isolation()

    @staticmethod
    def start(exe, *args, cwd=None, locale=None):
        """locale, such as 'C.UTF-8', replaces the Japanese one for this program."""
        env = dict(os.environ, LC_ALL=locale) if locale else None
        return subprocess.Popen(['wine', str(exe), *args], cwd=cwd, env=env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)


class Probe:
    """The Win32 window probe: one command a line in, one JSON answer a line out."""

    def __init__(self, probe_exe):
        self.proc = subprocess.Popen(['wine', str(probe_exe)], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def __call__(self, *words):
        line = '\t'.join(str(w) for w in words) + '\n'
        self.proc.stdin.write(line.encode('utf-8'))
        self.proc.stdin.flush()
        answer = self.proc.stdout.readline()
        if not answer:
            raise RuntimeError(f'the probe ended while answering {words}')
        return json.loads(answer.decode('utf-8'))

    def close(self):
        if self.proc.poll() is None:
            self.proc.stdin.close()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()


def stop(proc):
    """Ends a program from Wine.start if it still runs and releases its pipes.
    It waits for the process, not for its pipes: Wine's desktop process,
    started with the first window, may hold them."""
    if proc.poll() is None:
        proc.kill()
    proc.wait()
    proc.stdout.close()
    proc.stderr.close()


class WineTestCase(unittest.TestCase):
    """Cases that drive Windows programs: the private wineserver is checked
    once, and one probe (the class's probe_exe) serves them all."""

    probe_exe = None

    @classmethod
    def setUpClass(cls):
        cls.wine = Wine()
        cls.probe = Probe(cls.probe_exe)

    @classmethod
    def tearDownClass(cls):
        cls.probe.close()

    def start_program(self, exe, *args, cwd=None, locale=None):
        """Started under Wine; stopped when the test ends, however it ends."""
        proc = Wine.start(exe, *args, cwd=cwd, locale=locale)
        self.addCleanup(stop, proc)
        return proc

    def make_folder(self):
        """A working folder of the test's own, removed when the test ends."""
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder, True)
        return folder
