#!/usr/bin/env python3
"""Writes a zip that depends on nothing but the files' bytes and names: one
folder, its files in name order, each with the same fixed time and mode, so
that the same build gives the same download, byte for byte.

    write_zip.py ZIP FOLDER FILE...
"""
import os
import sys
import zipfile

# The earliest time a zip can hold.
FIXED_TIME = (1980, 1, 1, 0, 0, 0)


def main():
    out, folder, files = sys.argv[1], sys.argv[2], sys.argv[3:]
    partial = out + '.partial'
    with zipfile.ZipFile(partial, 'w') as z:
        for path in sorted(files, key=os.path.basename):
            entry = zipfile.ZipInfo(f'{folder}/{os.path.basename(path)}', FIXED_TIME)
            entry.create_system = 0
            entry.external_attr = 0
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, 'rb') as f:
                z.writestr(entry, f.read(), compresslevel=9)
    os.replace(partial, out)


if __name__ == '__main__':
    main()
