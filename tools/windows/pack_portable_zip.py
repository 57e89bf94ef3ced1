#!/usr/bin/env python3
"""Packs a staged portable desk into its zip (the packing half of make_portable_zip.sh).

    pack_portable_zip.py <staged folder> <zip file>

The zip holds the staged folder itself: its name is the zip's top folder.

Every name that is not ASCII is stored as UTF-8 with the zip's UTF-8 flag (general purpose
bit 11) set. Without the flag, Windows' own unpacking reads a name in the system's code page
(GBK on a Chinese system) and makes a garbled folder beside the desk.

The staged folder must hold nothing of an author's: no file in 小说数据 or in the desk's other
folders. Unpacked over an older version's folder with "replace all", such a file would replace
the author's own (an empty chapter database over the novel). The empty chapter database goes
in empty-database, a folder no desk writes in; a desk's first start copies it into 小说数据.
"""
import os
import sys
import zipfile

# The folders a desk writes the author's files in, beside the program (app/desk_texts.h).
AUTHOR_FOLDERS = {"小说数据", "小说文件", "小说文件备份", "自动保存", "自动保存备份"}
UTF8_FLAG = 0x800


def staged_entries(stage):
    """Every folder and file under `stage` as (path, name in the zip), in a fixed order."""
    top = os.path.basename(os.path.normpath(stage))
    entries = [(stage, top + "/")]
    for folder, subfolders, files in os.walk(stage):
        subfolders.sort()
        relative = os.path.relpath(folder, stage)
        prefix = top + "/" if relative == "." else top + "/" + relative.replace(os.sep, "/") + "/"
        for name in subfolders:
            entries.append((os.path.join(folder, name), prefix + name + "/"))
        for name in sorted(files):
            entries.append((os.path.join(folder, name), prefix + name))
    return entries


def author_folder_in(name):
    """The author's folder a zip name lies in (or is), else None."""
    for part in name.rstrip("/").split("/")[1:]:
        if part in AUTHOR_FOLDERS:
            return part
    return None


def pack(stage, zip_path):
    entries = staged_entries(stage)
    for _, name in entries:
        if author_folder_in(name):
            raise SystemExit(f"{stage}: {name} lies in an author's folder; "
                             "unpacked over an older desk it would replace the author's files")
    temporary = zip_path + ".part"
    with zipfile.ZipFile(temporary, "w", compression=zipfile.ZIP_DEFLATED) as archive:
        for path, name in entries:
            info = zipfile.ZipInfo.from_file(path, name, strict_timestamps=False)
            if not name.isascii():
                info.flag_bits |= UTF8_FLAG
            if info.is_dir():
                archive.writestr(info, b"")
            else:
                info.compress_type = zipfile.ZIP_DEFLATED
                with open(path, "rb") as source:
                    archive.writestr(info, source.read())
    os.replace(temporary, zip_path)


def main(arguments):
    if len(arguments) != 2 or not os.path.isdir(arguments[0]):
        sys.stderr.write(__doc__)
        return 2
    pack(arguments[0], arguments[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
