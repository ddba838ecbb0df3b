#!/usr/bin/env python3
"""Writes the winget and Scoop manifests of the Windows downloads of one
version that lie in a folder (Kivrel-<version>-win32.zip and -win64.zip),
beside them: winget/ with the version, installer and locale files (ja-JP the
default, en-US beside it) and scoop/kivrel.json. Each names its zip at the
release address, as GitHub lays releases out: <address>/download/v<version>/.

    write_manifests.py FOLDER VERSION ADDRESS
"""
import hashlib
import json
import re
import sys
import zipfile
from pathlib import Path

import yaml

PACKAGE = 'Kivrel.Kivrel'
MANIFEST_VERSION = '1.12.0'
# The zips by build: winget's and Scoop's names for their machines.
BUILDS = {'win32': ('x86', '32bit'), 'win64': ('x64', '64bit')}
TAGS = ['wake-on-lan', 'wol', 'magic-packet', 'lan', 'network']
LOCALES = {
    'ja-JP': ('defaultLocale', 'LAN の PC を Wake-on-LAN で起動する、小さな Windows のツールです。',
              'PC の一覧から選んだ PC や全ての PC を起動します。コマンドラインから MAC アドレスか'
              '登録した名称で起動することもできるので、バッチ ファイルやタスク スケジューラで使えます。'),
    'en-US': ('locale', 'A small Windows tool that wakes PCs on the LAN by Wake-on-LAN.',
              'Wakes the PCs selected in its list, or all of them. Given a MAC address or a '
              'registered name on the command line, it wakes those PCs without a window, for batch '
              'files and the Task Scheduler. Its user interface is in Japanese.'),
}
SCOOP_DESCRIPTION = 'Wakes PCs on the LAN by Wake-on-LAN (Japanese user interface)'
# The Start menu's Kivrel keeps its list in its working folder, the program's
# own, which each version has anew: the list comes along from the version
# that saved last.
CARRY_LIST = [
    '# Bring the list from the version that saved last: each version has a folder of its own.',
    '$last = Get-ChildItem "$dir\\.." -Directory | Where-Object Name -NotIn $version, \'current\' |'
    ' Where-Object { Test-Path "$($_.FullName)\\Kivrel.dat*" } | Sort-Object LastWriteTime |'
    ' Select-Object -Last 1',
    'if ($last) { Copy-Item "$($last.FullName)\\Kivrel.dat*", '
    '"$($last.FullName)\\Kivrel.addresses.txt*" $dir }',
]


def write_yaml(path, kind, fields):
    schema = f'https://aka.ms/winget-manifest.{kind.lower()}.{MANIFEST_VERSION}.schema.json'
    fields = dict(fields, ManifestType=kind, ManifestVersion=MANIFEST_VERSION)
    text = yaml.safe_dump(fields, sort_keys=False, allow_unicode=True, width=1000)
    path.write_text(f'# yaml-language-server: $schema={schema}\n{text}', encoding='utf-8')


def main():
    folder, version, address = Path(sys.argv[1]), sys.argv[2], sys.argv[3]
    download = f'{address}/download/v{version}'
    zips = {}
    for build in BUILDS:
        path = folder / f'Kivrel-{version}-{build}.zip'
        if path.exists():
            with zipfile.ZipFile(path) as z:
                inner = z.namelist()[0].split('/')[0]
            zips[build] = (path.name, inner, hashlib.sha256(path.read_bytes()).hexdigest().upper())
    if not zips:
        sys.exit(f'no Kivrel-{version}-win32.zip or -win64.zip in {folder}')
    package = {'PackageIdentifier': PACKAGE, 'PackageVersion': version}
    licence = re.search(r'^Copyright .+$', (Path(__file__).parents[1] / 'LICENSE').read_text(),
                        re.M).group(0)

    winget = folder / 'winget'
    winget.mkdir(exist_ok=True)
    write_yaml(winget / f'{PACKAGE}.yaml', 'version', dict(package, DefaultLocale='ja-JP'))
    write_yaml(winget / f'{PACKAGE}.installer.yaml', 'installer', dict(package, Installers=[{
        'Architecture': BUILDS[build][0],
        'InstallerType': 'zip',
        'NestedInstallerType': 'portable',
        'NestedInstallerFiles': [{'RelativeFilePath': f'{inner}\\Kivrel.exe',
                                  'PortableCommandAlias': 'kivrel'}],
        'InstallerUrl': f'{download}/{name}',
        'InstallerSha256': sha,
    } for build, (name, inner, sha) in zips.items()]))
    for locale, (kind, short, description) in LOCALES.items():
        write_yaml(winget / f'{PACKAGE}.locale.{locale}.yaml', kind, dict(
            package, PackageLocale=locale, Publisher='Kivrel developers', PackageName='Kivrel',
            PackageUrl=address, License='MIT', Copyright=licence, ShortDescription=short,
            Description=description, Moniker='kivrel', Tags=TAGS))

    scoop = folder / 'scoop'
    scoop.mkdir(exist_ok=True)
    manifest = {
        'version': version,
        'description': SCOOP_DESCRIPTION,
        'homepage': address,
        'license': 'MIT',
        'architecture': {BUILDS[build][1]: {'url': f'{download}/{name}', 'hash': sha.lower(),
                                            'extract_dir': inner}
                         for build, (name, inner, sha) in zips.items()},
        'pre_install': CARRY_LIST,
        'bin': 'Kivrel.exe',
        'shortcuts': [['Kivrel.exe', 'Kivrel']],
        'checkver': {'url': f'{address}/latest', 'regex': 'tag/v([\\d.]+)'},
        'autoupdate': {
            'architecture': {BUILDS[build][1]: {
                'url': f'{address}/download/v$version/Kivrel-$version-{build}.zip',
                'extract_dir': f'Kivrel-$version-{build}'} for build in zips},
            'hash': {'url': '$baseurl/SHA256SUMS'},
        },
    }
    (scoop / 'kivrel.json').write_text(json.dumps(manifest, indent=4, ensure_ascii=False) + '\n',
                                       encoding='utf-8')


if __name__ == '__main__':
    main()
