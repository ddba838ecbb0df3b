"""Shared pieces of the end-to-end tests: the isolation check, a listener on
UDP port 7 (here or beyond one of the harness's LANs), the program's texts and
data file, and Wine with the window probe."""
import contextlib
import ctypes
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


def lans():
    """The LANs of tests/harness/isolated --lans: (interface here, namespace
    of its other end) for each veth into a named namespace, as the kernel says."""
    links = subprocess.run(['ip', '-d', '-o', 'link', 'show'], capture_output=True, text=True,
                           check=True).stdout.splitlines()
    ends = [(line.split(': ')[1].split('@')[0], re.search(r' link-netns (\S+) .*\\ +veth ', line))
            for line in links]
    return sorted((name, end.group(1)) for name, end in ends if end)


def alone_with_lo(namespace):
    links = subprocess.run(['ip', '-n', namespace, '-o', 'link', 'show'], capture_output=True,
                           text=True).stdout.splitlines()
    return len(links) == 2 and any(line.split(': ')[1] == 'lo' for line in links)


def require_isolation():
    """Refuses to go on unless the network holds nothing but loopback and the
    harness's LANs: veths whose other ends are alone with lo in their
    namespaces, so nothing leads to the host. For Wine, the wineserver must
    run in this very namespace."""
    with open('/proc/self/net/dev') as dev:
        interfaces = sorted(line.split(':')[0].strip() for line in dev.readlines()[2:])
    if interfaces != ['lo']:
        isolated = {name for name, namespace in lans() if alone_with_lo(namespace)}
        if 'lo' not in interfaces or set(interfaces) - {'lo'} != isolated:
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


@contextlib.contextmanager
def network_namespace(name):
    """This thread in the named network namespace for the block; a socket made
    there stays there."""
    setns = ctypes.CDLL(None, use_errno=True).setns
    own = os.open('/proc/thread-self/ns/net', os.O_RDONLY)
    there = os.open(f'/run/netns/{name}', os.O_RDONLY)
    try:
        if setns(there, 0x40000000) != 0:  # CLONE_NEWNET
            raise OSError(ctypes.get_errno(), f'cannot enter {name}')
        yield
    finally:
        if setns(own, 0x40000000) != 0:
            raise SystemExit('cannot return to the test\'s own network namespace')
        os.close(own)
        os.close(there)


class UdpListener:
    """Receives on UDP port 7 and records each datagram's destination; with
    lan, a namespace from lans(), beyond that LAN's veth."""

    def __init__(self, port=7, lan=None):
        require_isolation()
        with network_namespace(lan) if lan else contextlib.nullcontext():
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


def check_wake_per_lan(case, wake, mac):
    """wake() makes one command-line wake for mac. With two LANs up it reaches
    each exactly once; with the second's adapter down, only the first."""
    ends = lans()
    if len(ends) != 2:
        case.skipTest('needs tests/harness/isolated --lans 2')
    listeners = [UdpListener(lan=namespace) for _, namespace in ends]
    for listener in listeners:
        case.addCleanup(listener.close)
    once = [(magic_packet(mac), '255.255.255.255')]
    wake()
    case.assertEqual([listener.receive_all() for listener in listeners], [once, once])
    subprocess.run(['ip', 'link', 'set', ends[1][0], 'down'], check=True)
    case.addCleanup(subprocess.run, ['ip', 'link', 'set', ends[1][0], 'up'], check=True)
    wake()
    case.assertEqual([listener.receive_all() for listener in listeners], [once, []])


def wine_command(exe, *args):
    """exe under the Wine loader the harness prepared the prefix with."""
    return [os.environ['KIVREL_WINE'], str(exe), *args]


DISPLAY_DPI = ['HKCU\\Control Panel\\Desktop', '/v', 'LogPixels']


def wine_reg(*args):
    subprocess.run([os.environ['KIVREL_WINE'], 'reg', *args], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True)


def display_dpi_left_set():
    """Whether the prefix's registry, as the wineserver loaded it, holds a
    display DPI: one a killed test could not take back."""
    section = None
    path = os.path.join(os.environ['WINEPREFIX'], 'user.reg')
    if not os.path.exists(path):
        return False  # a new prefix, not saved yet
    with open(path, errors='replace') as reg:
        for line in reg:
            if line.startswith('['):
                section = line.split(']')[0]
            elif section == '[Control Panel\\\\Desktop' and line.startswith('"LogPixels"='):
                return True
    return False


class Wine:
    """Starts Windows programs under the harness's wineserver, at 96 DPI
    unless a test asks for another display scale."""

    def __init__(self):
        if 'KIVREL_WINESERVER_PID' not in os.environ or 'KIVREL_WINE' not in os.environ:
            raise SystemExit('no private wineserver: run through tests/harness/isolated --wine')
        require_isolation()
        if display_dpi_left_set():
            wine_reg('delete', *DISPLAY_DPI, '/f')

    @staticmethod
    def start(exe, *args, cwd=None, locale=None):
        """locale, such as 'C.UTF-8', replaces the Japanese one for this program."""
        env = dict(os.environ, LC_ALL=locale) if locale else None
        return subprocess.Popen(wine_command(exe, *args), cwd=cwd, env=env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)


class Probe:
    """The Win32 window probe: one command a line in, one JSON answer a line out."""

    def __init__(self, probe_exe):
        self.proc = subprocess.Popen(wine_command(probe_exe), stdin=subprocess.PIPE,
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

    def display_dpi(self, dpi):
        """Programs started from now until the test ends see a display of dpi
        (Wine reads it as each starts)."""
        wine_reg('add', *DISPLAY_DPI, '/t', 'REG_DWORD', '/d', str(dpi), '/f')
        self.addCleanup(wine_reg, 'delete', *DISPLAY_DPI, '/f')

    def make_folder(self):
        """A working folder of the test's own, removed when the test ends."""
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder, True)
        return folder
