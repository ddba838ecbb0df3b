"""The download a Windows user gets: checks what the zip that the build packed,
Kivrel-<version>-<build>.zip, holds, unpacks it and runs the program from the
unpacked folder under Wine, as a user would after "Extract All". Arguments:
the zip, the toolchain's objdump, the window probe.

With --reproducible instead (no Wine needed): the sources, copied into two
folders of different names, must build the same Kivrel.exe byte for byte.
Arguments: the source folder, the preset.

With --manifests ZIP ADDRESS: the winget and Scoop manifests for that zip at
that release address. With --deb PACKAGE: lintian, and the unpacked kivrel."""
import hashlib
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
import zipfile
from pathlib import Path

import yaml

import kivtest

if sys.argv[1] == '--reproducible':
    SOURCE, PRESET = Path(sys.argv[2]), sys.argv[3]
    sys.argv[1:] = ['Reproducible']
elif sys.argv[1] == '--deb':
    DEB = Path(sys.argv[2])
    sys.argv[1:] = ['DebianPackage']
else:
    if sys.argv[1] == '--manifests':
        ZIP, ADDRESS = Path(sys.argv[2]), sys.argv[3]
        sys.argv[1:] = ['Manifests']
    else:
        ZIP, OBJDUMP, PROBE = Path(sys.argv[1]), sys.argv[2], sys.argv[3]
        sys.argv[1:] = ['ReleaseZip']
    FOLDER = ZIP.stem
    VERSION, BUILD = FOLDER.split('-')[1:]
MAC = '00-11-22-33-44-55'
# One target "AB", 00-11-22-33-44-55, in the data file's layout.
DATA = bytes.fromhex('01000000' '02000000' '4142' '001122334455')

# Windows' known DLLs, lower case: Windows loads these from the system folder
# whatever lies beside the exe. Any other DLL, even one of Windows' own, would
# be looked for in the exe's folder first, so the exe imports those lazily,
# after start-up has limited DLL search to the system folder.
KNOWN_DLLS = {
    'advapi32.dll', 'comdlg32.dll', 'gdi32.dll', 'kernel32.dll', 'msvcrt.dll', 'ole32.dll',
    'oleaut32.dll', 'shell32.dll', 'shlwapi.dll', 'user32.dll', 'ws2_32.dll'
}
WINDOWS_10 = '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'


def objdump(*args):
    # Its words are translated; the harness runs everything in Japanese.
    return subprocess.run([OBJDUMP, *args], check=True, capture_output=True, text=True,
                          env=dict(os.environ, LC_ALL='C')).stdout


def resource_of(exe, kind):
    """The bytes of the first resource of a type, found through the resource
    directory: 0x18 the manifest, 0x10 the version."""
    listing = objdump('-p', str(exe))
    found = re.search(rf'Entry: ID: 0x{kind:06x},.*?Leaf: Addr: 0x(\w+), Size: 0x(\w+)', listing,
                      re.S)
    if found is None:
        return None
    rva, size = int(found.group(1), 16), int(found.group(2), 16)
    base = int(re.search(r'^ImageBase\s+(\w+)', listing, re.M).group(1), 16)
    section = re.search(r'\.rsrc\s+\w+\s+(\w+)\s+\w+\s+(\w+)', objdump('-h', str(exe)))
    vma, offset = int(section.group(1), 16) - base, int(section.group(2), 16)
    with open(exe, 'rb') as f:
        f.seek(offset + rva - vma)
        return f.read(size)


class Reproducible(unittest.TestCase):
    def test_exe_is_the_same_built_in_two_folders(self):
        exes = []
        with tempfile.TemporaryDirectory() as work:
            for folder in ('a', 'another/folder'):
                copy = Path(work, folder, 'kivrel')
                shutil.copytree(SOURCE, copy, ignore=shutil.ignore_patterns('build', '.git'))
                for step in (['cmake', '--preset', PRESET, '-DBUILD_TESTING=OFF'],
                             ['cmake', '--build', '--preset', PRESET, '-j2', '--target', 'Kivrel']):
                    subprocess.run(step, cwd=copy, check=True, stdout=subprocess.DEVNULL)
                exes.append((copy / 'build' / PRESET / 'app' / 'Kivrel.exe').read_bytes())
        self.assertTrue(exes[0] == exes[1], 'Kivrel.exe differs between the two folders')


class Manifests(unittest.TestCase):
    def test_winget_and_scoop_carry_their_fields_and_this_zip(self):
        folder = Path(self.enterContext(tempfile.TemporaryDirectory()))
        shutil.copy(ZIP, folder)
        subprocess.run([sys.executable, kivtest.ROOT / 'cmake' / 'write_manifests.py', folder,
                        VERSION, ADDRESS], check=True)
        sha256 = hashlib.sha256(ZIP.read_bytes()).hexdigest()
        url = f'{ADDRESS}/download/v{VERSION}/{ZIP.name}'
        with zipfile.ZipFile(ZIP) as z:
            names = z.namelist()
        files = {p.name: yaml.safe_load(p.read_text('utf-8'))
                 for p in (folder / 'winget').iterdir()}
        # Each file's type and locale; a locale's fields, the others' below.
        for name, kind, locale in (('', 'version', None), ('.installer', 'installer', None),
                                   ('.locale.ja-JP', 'defaultLocale', 'ja-JP'),
                                   ('.locale.en-US', 'locale', 'en-US')):
            m = files[f'Kivrel.Kivrel{name}.yaml']
            self.assertEqual([m.get(k) for k in ('PackageIdentifier', 'PackageVersion',
                              'ManifestVersion', 'ManifestType', 'PackageLocale')],
                             ['Kivrel.Kivrel', VERSION, '1.12.0', kind, locale], name)
            self.assertLessEqual({'Publisher', 'PackageName', 'License', 'ShortDescription',
                                  'Tags'} if locale else set(), m.keys(), name)
        self.assertEqual(files['Kivrel.Kivrel.yaml']['DefaultLocale'], 'ja-JP')
        self.assertEqual(files['Kivrel.Kivrel.installer.yaml']['Installers'], [{
            'Architecture': {'win32': 'x86', 'win64': 'x64'}[BUILD], 'InstallerType': 'zip',
            'NestedInstallerType': 'portable',
            'NestedInstallerFiles': [{'RelativeFilePath': f'{FOLDER}\\Kivrel.exe',
                                      'PortableCommandAlias': 'kivrel'}],
            'InstallerUrl': url, 'InstallerSha256': sha256.upper()}])
        scoop = json.loads((folder / 'scoop' / 'kivrel.json').read_text('utf-8'))
        # The fields not checked below, and the version.
        self.assertLessEqual({'description', 'homepage', 'license'}, scoop.keys())
        self.assertEqual(scoop['version'], VERSION)
        arch = {'win32': '32bit', 'win64': '64bit'}[BUILD]
        entry = {'url': url, 'hash': sha256, 'extract_dir': FOLDER}
        self.assertEqual(scoop['architecture'], {arch: entry})
        for program in ('Kivrel.exe', scoop['bin'], scoop['shortcuts'][0][0]):
            self.assertIn(f'{FOLDER}/{program}', names)
        # The next version's entry is this one's with its number.
        update = scoop['autoupdate']
        self.assertEqual({k: v.replace('$version', VERSION)
                          for k, v in update['architecture'][arch].items()},
                         {k: entry[k] for k in ('url', 'extract_dir')})
        self.assertEqual(update['hash']['url'], '$baseurl/SHA256SUMS')
        # GitHub's newest release page names its tag.
        self.assertEqual(scoop['checkver']['url'], f'{ADDRESS}/latest')
        found = re.search(scoop['checkver']['regex'], f'{ADDRESS}/tag/v{VERSION}"')
        self.assertEqual(found and found.group(1), VERSION)


class DebianPackage(unittest.TestCase):
    def test_lintian_reports_no_error_or_warning(self):
        run = subprocess.run(['lintian', '--fail-on', 'error,warning', DEB], capture_output=True,
                             text=True, timeout=100)
        self.assertEqual((run.returncode, run.stdout), (0, ''), run.stderr)

    def test_unpacked_kivrel_wakes_one_pc_and_its_manual_pages_give_its_usage(self):
        root = Path(self.enterContext(tempfile.TemporaryDirectory()))
        subprocess.run(['dpkg-deb', '-x', DEB, root], check=True)
        listener = kivtest.UdpListener()
        self.addCleanup(listener.close)
        usage, run = (subprocess.run([root / 'usr/bin/kivrel', *args], capture_output=True,
                                     text=True, timeout=10) for args in ([], [MAC]))
        self.assertEqual((usage.returncode, usage.stderr, run.returncode, run.stderr), (
            1, 'usage: kivrel XX-XX-XX-XX-XX-XX [DESTINATION[:PORT]] | NAME\n', 0, ''))
        self.assertEqual(listener.receive_all(), [(kivtest.magic_packet(MAC), '255.255.255.255')])
        program, _, forms = usage.stderr.removeprefix('usage: ').strip().partition(' ')
        env = dict(os.environ, LC_ALL='C.UTF-8', MANWIDTH='80')
        words = {'NAME': '名称', 'DESTINATION': '送信先', 'PORT': 'ポート'}
        for page, heading, names in (('man1', 'SYNOPSIS', {}), ('ja/man1', '書式', words)):
            run = subprocess.run(['man', '--warnings', '-l', root / 'usr/share/man' / page /
                                  'kivrel.1.gz'], capture_output=True, text=True, env=env)
            self.assertEqual((run.returncode, run.stderr), (0, ''), page)
            synopsis = run.stdout.split(f'\n{heading}\n')[1].split('\n\n')[0]
            self.assertEqual(synopsis.split('\n'),
                             [f'       {program} {re.sub("[A-Z]{4,}", lambda w: names.get(w[0], w[0]), form)}'
                              for form in forms.split(' | ')], page)


class ReleaseZip(kivtest.WineTestCase):
    @classmethod
    def setUpClass(cls):
        cls.probe_exe = PROBE
        super().setUpClass()
        cls.work = Path(tempfile.mkdtemp())
        with zipfile.ZipFile(ZIP) as z:
            cls.names = sorted(z.namelist())
            z.extractall(cls.work / 'unpacked')
        cls.folder = cls.work / 'unpacked' / FOLDER
        cls.exe = cls.folder / 'Kivrel.exe'

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        shutil.rmtree(cls.work, True)

    def test_zip_holds_one_folder_with_the_program_guides_and_licence(self):
        self.assertEqual(self.names, [
            f'{FOLDER}/{name}'
            for name in ['Kivrel.exe', 'LICENSE.txt', 'guide-en.txt', 'guide-ja.txt']
        ])

    def test_texts_open_in_any_notepad(self):
        for name in ['guide-ja.txt', 'guide-en.txt', 'LICENSE.txt']:
            with self.subTest(name=name):
                raw = (self.folder / name).read_bytes()
                self.assertTrue(raw.startswith(b'\xef\xbb\xbf'))
                self.assertNotIn(b'\n', raw.replace(b'\r\n', b''))
                text = raw[3:].decode('utf-8')
                self.assertNotIn('.png', text)
        self.assertIn('作業フォルダー', (self.folder / 'guide-ja.txt').read_text('utf-8-sig'))
        self.assertIn('Copyright (c) 2026 Kivrel developers',
                      (self.folder / 'LICENSE.txt').read_text('utf-8-sig'))

    def test_exe_is_stripped_and_imports_only_known_dlls(self):
        headers = objdump('-p', str(self.exe))
        self.assertIn('symbols stripped', headers)
        self.assertNotIn('.debug', objdump('-h', str(self.exe)))
        imports = {m.lower() for m in re.findall(r'DLL Name: (\S+)', headers)}
        self.assertIn('kernel32.dll', imports)
        self.assertLessEqual(imports, KNOWN_DLLS)

    def test_exe_is_built_for_its_download(self):
        machine = {'win32': 'pei-i386', 'win64': 'pei-x86-64'}[BUILD]
        self.assertIn(f'file format {machine}', objdump('-f', str(self.exe)))

    def test_version_resource_numbers_match_its_text(self):
        # "1.01" is version 1.0.1.0.
        info = resource_of(self.exe, 0x10)
        fixed = info[info.index(struct.pack('<I', 0xFEEF04BD)):]
        ms, ls = struct.unpack_from('<II', fixed, 8)
        numbers = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        self.assertEqual(numbers, tuple(int(d) for d in VERSION.replace('.', '')) + (0,))
        self.assertIn(f'{VERSION}\0'.encode('utf-16-le'), info)

    def test_exe_carries_its_manifest(self):
        text = resource_of(self.exe, 0x18)
        self.assertIsNotNone(text)
        root = ET.fromstring(text)
        ns = {'v1': 'urn:schemas-microsoft-com:asm.v1',
              'v3': 'urn:schemas-microsoft-com:asm.v3',
              'c': 'urn:schemas-microsoft-com:compatibility.v1'}
        oses = [e.get('Id') for e in root.findall('c:compatibility/c:application/c:supportedOS', ns)]
        self.assertIn(WINDOWS_10, oses)
        level = root.find('v3:trustInfo/v3:security/v3:requestedPrivileges/'
                          'v3:requestedExecutionLevel', ns)
        self.assertEqual(level.get('level'), 'asInvoker')
        controls = root.find('v1:dependency/v1:dependentAssembly/v1:assemblyIdentity', ns)
        self.assertEqual(controls.get('name'), 'Microsoft.Windows.Common-Controls')
        # Per-monitor DPI awareness (v2), and system awareness before Windows 10.
        settings = 'v3:application/v3:windowsSettings/'
        ns.update(s05='http://schemas.microsoft.com/SMI/2005/WindowsSettings',
                  s16='http://schemas.microsoft.com/SMI/2016/WindowsSettings')
        self.assertEqual(root.find(settings + 's16:dpiAwareness', ns).text,
                         'PerMonitorV2, PerMonitor')
        self.assertEqual(root.find(settings + 's05:dpiAware', ns).text, 'true/pm')
        self.assertEqual(root.find(settings + 's16:longPathAware', ns).text, 'true')

    def test_unpacked_exe_wakes_one_pc(self):
        listener = kivtest.UdpListener()
        self.addCleanup(listener.close)
        with tempfile.TemporaryDirectory() as cwd:
            self.assertEqual(self.ui.exit_status(self.start_program(self.exe, MAC, cwd=cwd), 60), 0)
            self.assertEqual(listener.receive_all(), [(kivtest.magic_packet(MAC),
                                                       '255.255.255.255')])
            self.assertEqual(list(Path(cwd).iterdir()), [])

    def test_unpacked_exe_opens_its_window_over_the_list_beside_it(self):
        # Started from Explorer, the working folder is the exe's own.
        data = self.folder / 'Kivrel.dat'
        data.write_bytes(DATA)
        self.addCleanup(data.unlink)
        proc = self.start_program(self.exe, cwd=self.folder)
        self.ui.do('close', self.ui.find('*', 'Kivrel', 30)['hwnd'])
        self.assertEqual(self.ui.exit_status(proc), 0)
        self.assertEqual(data.read_bytes(), DATA)


if __name__ == '__main__':
    kivtest.main()
