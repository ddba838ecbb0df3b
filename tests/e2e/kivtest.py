"""Shared pieces of the end-to-end tests: the isolation check, a listener on
UDP port 7 (here or beyond one of the harness's LANs), the program's texts,
ids and data file, the one wait on a condition, and the driver through which
the tests start and work Windows programs under Wine."""
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
import sys
import tempfile
import time
import types
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
IP_PKTINFO = getattr(socket, 'IP_PKTINFO', 8)
SO_TIMESTAMPNS = getattr(socket, 'SO_TIMESTAMPNS', 35)


def lans():
    """The LANs of tests/harness/isolated --lans: (interface here, namespace
    of its other end) for each veth into a named namespace, as the kernel says."""
    links = subprocess.run(['ip', '-d', '-o', 'link', 'show'], capture_output=True, text=True,
                           check=True).stdout.splitlines()
    ends = [(line.split(': ')[1].split('@')[0], re.search(r' link-netns (\S+) .*\\ +veth ', line))
            for line in links]
    return sorted((name, end.group(1)) for name, end in ends if end)


def alone_with_lo(namespace, router=True):
    """The namespace holds lo and its LAN's veth end; or, as the harness's
    router to a far LAN (--far), also one veth into a namespace alone with lo."""
    links = subprocess.run(['ip', '-n', namespace, '-d', '-o', 'link', 'show'],
                           capture_output=True, text=True).stdout.splitlines()
    legs = [m.group(1) for m in (re.search(r' link-netns (\S+) .*\\ +veth ', line)
                                 for line in links) if m]
    return any(line.split(': ')[1] == 'lo' for line in links) and (len(links) == 2 or (
        router and len(links) == 3 and len(legs) == 1 and alone_with_lo(legs[0], False)))


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


def _defines(path):
    return {m.group(1): int(m.group(2))
            for m in re.finditer(r'^#define (\w+) (\d+)$', path.read_text(), re.M)}


# The program's resource, control and command ids by their names in res/resource.h.
R = types.SimpleNamespace(**_defines(ROOT / 'res' / 'resource.h'))


def _load_messages():
    text = (ROOT / 'res' / 'strings.inc').read_text(encoding='utf-8')
    messages = {}
    for m in re.finditer(r'KIVREL_STRING\((\w+), "(.*)"\)', text):
        value = m.group(2).replace('\\x22', '"').replace('\\n', '\n')
        messages[getattr(R, m.group(1))] = value
    return messages


# Every text of the string table, by id.
MESSAGES = _load_messages()
# The dialog templates' captions, by id.
CAPTIONS = {getattr(R, m.group(1)): m.group(2)
            for rc in sorted((ROOT / 'res').glob('*.rc'))
            for m in re.finditer(r'^(\w+) DIALOG\b[^\n]*\n(?:\w[^\n]*\n)*?CAPTION "([^"]*)"',
                                 rc.read_text(encoding='utf-8'), re.M)}


class W:
    """The numbers of Windows' own messages, ids and styles that the tests
    use, by their SDK names."""
    IDOK, IDCANCEL = 1, 2
    DIALOG_CLASS, MENU_CLASS = '#32770', '#32768'
    WM_QUERYENDSESSION, WM_ENDSESSION, WM_COMMAND, WM_MENUSELECT = 0x11, 0x16, 0x111, 0x11F
    WM_LBUTTONDBLCLK, MK_LBUTTON = 0x203, 0x1
    TB_GETBUTTONSIZE, TB_SETHOTITEM, TBSTATE_ENABLED = 0x43A, 0x448, 0x4
    WM_SETTINGCHANGE, WM_SYSCOLORCHANGE, TB_GETIMAGELIST = 0x1A, 0x15, 0x431
    MF_SYSMENU, SC_MOVE, SC_CLOSE = 0x2000, 0xF010, 0xF060
    FVIRTKEY, FNOINVERT, FCONTROL = 0x1, 0x2, 0x8
    WS_POPUP, WS_CHILD, WS_VISIBLE, WS_CAPTION = 0x80000000, 0x40000000, 0x10000000, 0xC00000
    WS_BORDER, WS_VSCROLL, WS_SYSMENU, WS_TABSTOP = 0x800000, 0x200000, 0x80000, 0x10000
    WS_EX_CLIENTEDGE = 0x200
    DS_SETFONT, DS_MODALFRAME, ES_AUTOHSCROLL = 0x40, 0x80, 0x80
    BS_DEFPUSHBUTTON, SS_ICON = 0x1, 0x3
    LVS_REPORT, LVS_SINGLESEL, LVS_SHOWSELALWAYS, LVS_SORTASCENDING = 0x1, 0x4, 0x8, 0x10
    LVS_SORTDESCENDING, LVS_EDITLABELS, LVS_NOSORTHEADER = 0x20, 0x200, 0x8000
    LVS_EX_GRIDLINES, LVS_EX_FULLROWSELECT = 0x1, 0x20


def data_file(entries, encoding='cp932'):
    """Kivrel.dat for (name, MAC text) pairs, the names in code page 932."""
    out = struct.pack('<I', len(entries))
    for name, mac in entries:
        raw = name.encode(encoding)
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
    """Receives on UDP port 7 and records each datagram's destination and the
    kernel's time of its arrival; with lan, a harness's namespace, beyond
    that LAN's veth."""

    def __init__(self, port=7, lan=None):
        require_isolation()
        with network_namespace(lan) if lan else contextlib.nullcontext():
            self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.setsockopt(socket.IPPROTO_IP, IP_PKTINFO, 1)
        self.sock.setsockopt(socket.SOL_SOCKET, SO_TIMESTAMPNS, 1)
        self.sock.bind(('0.0.0.0', port))
        self.got = []

    def receive(self, timeout):
        """(payload, destination, arrival on the time.time() clock), or None.
        The kernel stamps the arrival, so a busy test cannot delay it."""
        ready, _, _ = select.select([self.sock], [], [], timeout)
        if not ready:
            return None
        data, ancillary, _, _ = self.sock.recvmsg(2048, 256)
        destination = arrival = None
        for level, kind, value in ancillary:
            if level == socket.IPPROTO_IP and kind == IP_PKTINFO:
                destination = socket.inet_ntoa(value[8:12])
            elif level == socket.SOL_SOCKET and kind == SO_TIMESTAMPNS:
                seconds, nanoseconds = struct.unpack_from('qq', value)
                arrival = seconds + nanoseconds / 1e9
        return data, destination, arrival

    def receive_all(self, quiet=0.3):
        """Everything that arrives until nothing has come for `quiet` seconds."""
        got = []
        while True:
            item = self.receive(quiet)
            if item is None:
                return got
            got.append(item[:2])

    def wait_for(self, count, timeout):
        """Everything received since the last clear(), once that is count
        datagrams or timeout seconds have passed."""
        deadline = time.monotonic() + timeout
        while len(self.got) < count:
            item = self.receive(max(0, deadline - time.monotonic()))
            if item is None:
                break
            self.got.append(item)
        return list(self.got)

    def clear(self):
        self.receive_all(quiet=0)
        self.got = []

    def close(self):
        self.sock.close()


def known_names(case, names):
    """Until the case ends, only the names ({name: address}) are known, from a
    hosts file bind-mounted in the harness's own mount namespace; the resolver
    asks 127.0.0.1, where none answers, so another name fails at once."""
    folder = tempfile.mkdtemp()
    case.addCleanup(shutil.rmtree, folder, True)
    hosts = '127.0.0.1 localhost\n' + ''.join(f'{a} {n}\n' for n, a in names.items())
    for target, text in (('/etc/hosts', hosts), ('/etc/resolv.conf', 'nameserver 127.0.0.1\n')):
        path = Path(folder, os.path.basename(target))
        path.write_text(text)
        subprocess.run(['mount', '--bind', path, target], check=True)
        case.addCleanup(subprocess.run, ['umount', target], check=True)


FAR_PCS = [('遠くのPC', '00-11-22-33-44-A1'), ('名前で呼ぶPC', '00-11-22-33-44-A2')]


class FarLan:
    """A folder listing two PCs on the far LAN of tests/harness/isolated --far,
    one woken by its subnet's broadcast, one by name (far-pc) on port 9; and
    listeners on ports 7 and 9 at its peer, 198.18.0.2. Skips without it."""

    def __init__(self, case, encoding='cp932'):
        if not os.path.exists('/run/netns/kivrel-far'):
            case.skipTest('needs tests/harness/isolated --lans N --far')
        self.ports = [UdpListener(port=port, lan='kivrel-far') for port in (7, 9)]
        for listener in self.ports:
            case.addCleanup(listener.close)
        known_names(case, {'far-pc': '198.18.0.2'})
        self.folder = tempfile.mkdtemp()
        case.addCleanup(shutil.rmtree, self.folder, True)
        Path(self.folder, 'Kivrel.dat').write_bytes(data_file(FAR_PCS, encoding))
        Path(self.folder, 'Kivrel.addresses.txt').write_bytes(
            b'00-11-22-33-44-A1 \t198.18.0.255\r\n00-11-22-33-44-A2 \tfar-pc\t9\r\n')

    def check_woken(self, case, args=None):
        case.assertEqual([listener.receive_all() for listener in self.ports],
                         [[(magic_packet(FAR_PCS[0][1]), '198.18.0.255')],
                          [(magic_packet(FAR_PCS[1][1]), '198.18.0.2')]], args)

    def check_command_line(self, case, wake):
        """wake(*args), run in the folder, gives (exit status, lines on standard
        error). A name that does not resolve fails with one line."""
        for runs in ([(FAR_PCS[0][1], '198.18.0.255'), (FAR_PCS[1][1], 'far-pc:9')],
                     [(name,) for name, _ in FAR_PCS]):
            for args in runs:
                case.assertEqual(wake(*args), (0, []), args)
            self.check_woken(case, runs)
        line = MESSAGES[R.IDS_CLI_NO_DESTINATION].replace('%1', 'no-such-pc.invalid')
        case.assertEqual(wake('00-11-22-33-44-A3', 'no-such-pc.invalid:9'),
                         (2, [f'Kivrel: {line}']))
        case.assertEqual([listener.receive_all() for listener in self.ports], [[], []])


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


def main():
    """unittest.main, failing a run in which no test ran or other than
    KIVREL_SKIPS tests (0 unless the run declares more) were skipped."""
    result = unittest.main(verbosity=2, exit=False).result
    skips = int(os.environ.get('KIVREL_SKIPS', '0'))
    if result.testsRun == 0 or len(result.skipped) != skips:
        sys.exit(f'{result.testsRun} tests ran, {len(result.skipped)} skipped, {skips} allowed')
    sys.exit(0 if result.wasSuccessful() else 1)


def wait_until(read, timeout, what, expect=None):
    """Calls read() until what it gives is awaited, and returns that: equal to
    expect, or passing it when expect is a test, or true when there is none.
    After timeout seconds the test fails, naming what it awaited and what it
    last read. Tests pause nowhere else."""
    if expect is None or callable(expect):
        awaited, wanted = expect or bool, ''
    else:
        awaited, wanted = (lambda got: got == expect), f', not {expect!r}'
    deadline = time.monotonic() + timeout
    while True:
        got = read()
        if awaited(got):
            return got
        if time.monotonic() > deadline:
            raise AssertionError(f'waited {timeout} s for {what}: still {got!r}{wanted}')
        time.sleep(0.02)


def wine_command(exe, *args):
    """exe under the Wine loader the harness prepared the prefix with."""
    return [os.environ['KIVREL_WINE'], str(exe), *args]


DISPLAY_DPI = ['HKCU\\Control Panel\\Desktop', '/v', 'LogPixels']


def wine_reg(*args):
    subprocess.run([os.environ['KIVREL_WINE'], 'reg', *args], stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)


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


class Driver:
    """Starts Windows programs under the harness's Wine loader, at 96 DPI
    unless a test asks for another display scale, and works them from outside
    through the window probe: driver(COMMAND, ...) is one line of the probe's
    protocol and its JSON answer; the methods add the checks and the waits."""

    def __init__(self, probe_exe):
        if 'KIVREL_WINESERVER_PID' not in os.environ or 'KIVREL_WINE' not in os.environ:
            raise SystemExit('no private wineserver: run through tests/harness/isolated --wine')
        require_isolation()
        if display_dpi_left_set():
            wine_reg('delete', *DISPLAY_DPI, '/f')
        self.probe = subprocess.Popen(wine_command(probe_exe), stdin=subprocess.PIPE,
                                      stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def __call__(self, *words):
        line = '\t'.join(str(w) for w in words) + '\n'
        self.probe.stdin.write(line.encode('utf-8'))
        self.probe.stdin.flush()
        answer = self.probe.stdout.readline()
        if not answer:
            raise RuntimeError(f'the probe ended while answering {words}')
        return json.loads(answer.decode('utf-8'))

    def do(self, *words):
        """A command that answers nothing when it worked."""
        answer = self(*words)
        if answer != {}:
            raise AssertionError(f'{words}: {answer}')

    def send(self, hwnd, message, wparam=0, lparam=0):
        """SendMessage's result, once the window has handled the message."""
        answer = self('send', hwnd, message, wparam, lparam)
        if 'error' in answer:
            raise AssertionError(f'message {message:#x} to {hwnd}: {answer}')
        return answer['result']

    @staticmethod
    def start(exe, *args, cwd=None, env=None, stderr=subprocess.PIPE):
        """env holds variables to change, such as LC_ALL='C.UTF-8' for a
        western system."""
        return subprocess.Popen(wine_command(exe, *args), cwd=cwd,
                                env=dict(os.environ, **env) if env else None,
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=stderr)

    @staticmethod
    def exit_status(proc, timeout=30):
        """A program's exit status, once it has ended."""
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f'the program still runs after {timeout} s') from None

    def find(self, window_class, title, timeout=10, pid=0):
        """A visible top-level window ('*' for any class or title)."""
        found = self('find', window_class, title, int(timeout * 1000), pid)
        if 'error' in found:
            raise AssertionError(f'no window {window_class} {title!r} within {timeout} s')
        return found

    def dialog(self, caption, timeout=10, pid=0):
        return self.find(W.DIALOG_CLASS, caption, timeout, pid)['hwnd']

    def no_window(self, pid, window_class=W.DIALOG_CLASS, within=0.5):
        """None of pid's windows of that class shows within the time."""
        found = self('find', window_class, '*', int(within * 1000), pid)
        if found != {'error': 'timeout'}:
            raise AssertionError(f'unexpected window {found}')

    def wait_gone(self, hwnd, timeout=10):
        wait_until(lambda: 'error' in self('window', hwnd), timeout, f'window {hwnd} to close')

    def wait_text(self, hwnd, control_id, text, timeout=10):
        """The control once it reads text."""
        return wait_until(lambda: self('control', hwnd, control_id), timeout,
                          f'control {control_id} to read {text!r}',
                          expect=lambda c: c.get('text') == text)

    def wait_focus(self, window, hwnd, timeout=10):
        """Until the focus of window's thread is on hwnd."""
        def focus():
            info = self('focus', window)['focus']
            return info and info['hwnd']
        wait_until(focus, timeout, 'the focus', expect=hwnd)

    def finish_send(self, send):
        """Presses the send dialog's button once the run is over."""
        self.wait_text(send, W.IDOK, MESSAGES[R.IDS_SEND_CLOSE], 30)
        self.do('click', send, W.IDOK)
        self.wait_gone(send)

    def message_box(self, caption='Kivrel', timeout=10, pid=0):
        """A message box: its handle, texts and the ids of its visible buttons."""
        box = self.dialog(caption, timeout, pid)
        children = self('children', box)['children']
        return (box, [c['text'] for c in children if c['class'] == 'Static' and c['text']],
                sorted(c['id'] for c in children if c['class'] == 'Button' and c['visible']))

    def close(self):
        if self.probe.poll() is None:
            self.probe.stdin.close()
            try:
                self.probe.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.probe.kill()


def stop(proc):
    """Ends a program from Driver.start if it still runs and releases its
    pipes. It waits for the process, not for its pipes: Wine's desktop
    process, started with the first window, may hold them."""
    if proc.poll() is None:
        proc.kill()
    proc.wait()
    for pipe in (proc.stdout, proc.stderr):
        if pipe is not None:
            pipe.close()


class WineTestCase(unittest.TestCase):
    """Cases that drive Windows programs: one driver (with the class's
    probe_exe) serves them all."""

    probe_exe = None

    @classmethod
    def setUpClass(cls):
        cls.ui = Driver(cls.probe_exe)

    @classmethod
    def tearDownClass(cls):
        cls.ui.close()

    def start_program(self, exe, *args, **how):
        """Started as Driver.start does; stopped when the test ends, however it ends."""
        proc = self.ui.start(exe, *args, **how)
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
