#!/usr/bin/env python3
"""Packs the Linux command-line waker as a Debian package with Debian's own
tools, the same bytes in any folder: every file's time is the changelog's
(SOURCE_DATE_EPOCH), its mode fixed, its owner root, the gzip headers
without time or name.

    write_deb.py DEB KIVREL PACKAGING LICENSE HOMEPAGE MAN_PAGE...

PACKAGING is the folder of the Debian changelog and the lintian overrides. A
MAN_PAGE named kivrel.1 is the English page, kivrel.LANG.1 that language's.
"""
import gzip
import hashlib
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

DESCRIPTION = '''\
wake PCs on the local network by Wake-on-LAN
 kivrel sends the Wake-on-LAN magic packet to wake a PC by its MAC address,
 or every PC of a name registered in the list of Kivrel for Windows
 (Kivrel.dat). The packet is broadcast once through each network interface
 that is up, so that it reaches the LAN of the PC to wake whichever route is
 preferred.'''


def changelog_field(changelog, name):
    return subprocess.run(['dpkg-parsechangelog', '-l', changelog, '-S', name], check=True,
                          capture_output=True, text=True).stdout.strip()


def copyright_text(license_path, homepage):
    """The machine-readable copyright file, its licence text from LICENSE."""
    text = Path(license_path).read_text()
    holder = re.search(r'^Copyright \(c\) (.+)$', text, re.M)
    body = text[holder.end():].strip('\n')
    indented = '\n'.join(' ' + line if line else ' .' for line in body.split('\n'))
    return ('Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n'
            f'Upstream-Name: Kivrel\nSource: {homepage}\n\n'
            f'Files: *\nCopyright: {holder.group(1)}\nLicense: Expat\n{indented}\n')


def write_gzip(source_bytes, target):
    target.parent.mkdir(parents=True, exist_ok=True)
    with open(target, 'wb') as raw, gzip.GzipFile('', 'wb', 9, raw, mtime=0) as z:
        z.write(source_bytes)


def main():
    deb, kivrel, packaging, license_path, homepage, *man_pages = sys.argv[1:]
    changelog = Path(packaging, 'changelog')
    work = Path(deb + '.d')
    shutil.rmtree(work, ignore_errors=True)
    # dpkg-shlibdeps finds the package's files under debian/<package>.
    root = work / 'debian' / 'kivrel'
    (root / 'usr' / 'bin').mkdir(parents=True)
    subprocess.run(['strip', '--remove-section=.comment', '--remove-section=.note', '-o',
                    root / 'usr' / 'bin' / 'kivrel', kivrel], check=True)
    for page in map(Path, man_pages):
        lang = page.suffixes[0][1:] if len(page.suffixes) > 1 else ''
        write_gzip(page.read_bytes(), root / 'usr/share/man' / lang / 'man1' / 'kivrel.1.gz')
    doc = root / 'usr/share/doc/kivrel'
    doc.mkdir(parents=True)
    (doc / 'copyright').write_text(copyright_text(license_path, homepage))
    write_gzip(changelog.read_bytes(), doc / 'changelog.Debian.gz')
    overrides = root / 'usr/share/lintian/overrides'
    overrides.mkdir(parents=True)
    shutil.copyfile(Path(packaging, 'lintian-overrides'), overrides / 'kivrel')

    (work / 'debian' / 'control').touch()
    depends = subprocess.run(['dpkg-shlibdeps', '-O', '-edebian/kivrel/usr/bin/kivrel'], cwd=work,
                             check=True, capture_output=True, text=True).stdout
    files = sorted(p for p in root.rglob('*') if p.is_file())
    size = sum(-(-p.stat().st_size // 1024) for p in files)
    arch = subprocess.run(['dpkg', '--print-architecture'], check=True, capture_output=True,
                          text=True).stdout.strip()
    control = root / 'DEBIAN'
    control.mkdir()
    (control / 'control').write_text(
        f'Package: kivrel\nVersion: {changelog_field(changelog, "Version")}\n'
        f'Architecture: {arch}\nMaintainer: {changelog_field(changelog, "Maintainer")}\n'
        f'Installed-Size: {size}\nDepends: {depends.strip().partition("=")[2]}\n'
        f'Section: net\nPriority: optional\nHomepage: {homepage}\nDescription: {DESCRIPTION}\n')
    (control / 'md5sums').write_text(''.join(
        f'{hashlib.md5(p.read_bytes()).hexdigest()}  {p.relative_to(root)}\n' for p in files))

    epoch = int(changelog_field(changelog, 'Timestamp'))
    for path in [root, *root.rglob('*')]:
        path.chmod(0o755 if path.is_dir() or path.parent.name == 'bin' else 0o644)
        os.utime(path, (epoch, epoch))
    subprocess.run(['dpkg-deb', '--root-owner-group', '-Zxz', '--threads-max=1', '--build', root,
                    deb + '.partial'], check=True, stdout=subprocess.DEVNULL,
                   env=dict(os.environ, SOURCE_DATE_EPOCH=str(epoch)))
    os.replace(deb + '.partial', deb)


if __name__ == '__main__':
    main()
