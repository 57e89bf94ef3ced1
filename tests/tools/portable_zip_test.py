#!/usr/bin/env python3
"""The Windows zip's packing and the installer's file lists, on a staged folder of the real
layout (fake program files, the real empty database, Chinese names), with the real packing step.

    portable_zip_test.py <tools/windows folder> <empty database folder> <sample database writer>

The writer is write_sample_database: it makes the "used" desk's chapter database.
"""
import filecmp
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

TOOLS, TEMPLATE, SAMPLE_WRITER = sys.argv[1:4]
STAGE_NAME = "inkstone-9.9.9-windows-x64"
UTF8_FLAG = 0x800
AUTHOR_FOLDERS = ("小说数据", "小说文件", "小说文件备份", "自动保存", "自动保存备份")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def read(path):
    with open(path, "rb") as source:
        return source.read()


def stage_folder(parent, program=b"new program"):
    """A staged desk as make_portable_zip.sh lays it out, with a Chinese-named file too."""
    stage = os.path.join(parent, STAGE_NAME)
    write(os.path.join(stage, "inkstone.exe"), program)
    write(os.path.join(stage, "inkstone-database-tool.exe"), b"tool")
    write(os.path.join(stage, "Qt6Core.dll"), b"qt")
    write(os.path.join(stage, "platforms", "qwindows.dll"), b"plugin")
    write(os.path.join(stage, "translations", "qtbase_zh_CN.qm"), b"translation")
    write(os.path.join(stage, "说明", "使用说明.txt"), "解压到可以写入的文件夹".encode("utf-8"))
    os.makedirs(os.path.join(stage, "empty-database"))
    for name in ("data.edb", "data.edt"):
        shutil.copy(os.path.join(TEMPLATE, name), os.path.join(stage, "empty-database", name))
    return stage


def pack(stage, zip_path):
    return subprocess.run([sys.executable, os.path.join(TOOLS, "pack_portable_zip.py"), stage,
                           zip_path], capture_output=True, text=True)


def central_directory(zip_bytes):
    """(name bytes, central flags, local header flags) of every entry, read from the bytes."""
    end = zip_bytes.rindex(b"PK\x05\x06")
    count, size, offset = struct.unpack("<HII", zip_bytes[end + 10:end + 20])
    entries = []
    position = offset
    for _ in range(count):
        assert zip_bytes[position:position + 4] == b"PK\x01\x02"
        flags = struct.unpack("<H", zip_bytes[position + 8:position + 10])[0]
        name_length, extra_length, comment_length = struct.unpack(
            "<HHH", zip_bytes[position + 28:position + 34])
        local = struct.unpack("<I", zip_bytes[position + 42:position + 46])[0]
        name = zip_bytes[position + 46:position + 46 + name_length]
        assert zip_bytes[local:local + 4] == b"PK\x03\x04"
        local_flags = struct.unpack("<H", zip_bytes[local + 6:local + 8])[0]
        entries.append((name, flags, local_flags))
        position += 46 + name_length + extra_length + comment_length
    return entries


class PortableZip(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="inkstone-zip-")
        self.addCleanup(shutil.rmtree, self.work)
        self.zip = os.path.join(self.work, STAGE_NAME + ".zip")

    def test_every_non_ascii_name_carries_the_utf8_flag_and_none_lies_in_an_authors_folder(self):
        stage = stage_folder(os.path.join(self.work, "stage"))
        result = pack(stage, self.zip)
        self.assertEqual(result.returncode, 0, result.stderr)
        entries = central_directory(read(self.zip))
        names = [name.decode("utf-8") for name, _, _ in entries]
        self.assertIn(STAGE_NAME + "/说明/使用说明.txt", names)
        self.assertIn(STAGE_NAME + "/empty-database/data.edb", names)
        for name, flags, local_flags in entries:
            if not name.isascii():
                self.assertTrue(flags & UTF8_FLAG, name.decode("utf-8"))
                self.assertTrue(local_flags & UTF8_FLAG, name.decode("utf-8"))
        for name in names:
            self.assertTrue(name.startswith(STAGE_NAME + "/"), name)
            for folder in AUTHOR_FOLDERS:
                self.assertNotIn(folder, name.split("/"), name)
        # The template is the real one, whole.
        with zipfile.ZipFile(self.zip) as archive:
            self.assertEqual(archive.read(STAGE_NAME + "/empty-database/data.edb"),
                             read(os.path.join(TEMPLATE, "data.edb")))

    def test_a_staged_folder_with_an_authors_folder_is_refused(self):
        for number, folder in enumerate(AUTHOR_FOLDERS):
            with self.subTest(folder=folder):
                stage = stage_folder(os.path.join(self.work, "stage-" + str(number)))
                write(os.path.join(stage, folder, "data.edb"), b"empty")
                result = pack(stage, self.zip)
                self.assertNotEqual(result.returncode, 0)
                self.assertFalse(os.path.exists(self.zip))

    def test_unpacking_a_newer_zip_over_a_used_folder_keeps_the_authors_files(self):
        # The older version's folder after months of writing: a chapter database with records,
        # the history, the autosave file, the chapter files.
        used_parent = os.path.join(self.work, "used")
        used = stage_folder(used_parent, program=b"old program")
        os.makedirs(os.path.join(used, "小说数据"))
        subprocess.run([SAMPLE_WRITER, os.path.join(used, "小说数据", "data.edb")], check=True)
        write(os.path.join(used, "小说数据", "写作记录.json"), b'{"date": "2026-12-01"}\n')
        write(os.path.join(used, "自动保存", "自动保存文件【勿删】.txt"), "第一章".encode("gbk"))
        write(os.path.join(used, "小说文件", "第一章.txt"), "正文".encode("gbk"))
        authors = {}
        for folder in AUTHOR_FOLDERS:
            for parent, _, files in os.walk(os.path.join(used, folder)):
                for name in files:
                    authors[os.path.join(parent, name)] = read(os.path.join(parent, name))
        self.assertIn(os.path.join(used, "小说数据", "data.edt"), authors)

        result = pack(stage_folder(os.path.join(self.work, "stage")), self.zip)
        self.assertEqual(result.returncode, 0, result.stderr)
        unpackers = [("zipfile", lambda: zipfile.ZipFile(self.zip).extractall(used_parent))]
        if shutil.which("unzip"):  # Info-ZIP's, replacing every file without asking
            unpackers.append(("unzip", lambda: subprocess.run(
                ["unzip", "-o", "-q", self.zip, "-d", used_parent], check=True)))
        for unpacker, unpack in unpackers:
            with self.subTest(unpacker=unpacker):
                write(os.path.join(used, "inkstone.exe"), b"old program")
                unpack()
                self.assertEqual(read(os.path.join(used, "inkstone.exe")), b"new program")
                self.assertTrue(filecmp.cmp(os.path.join(used, "empty-database", "data.edb"),
                                            os.path.join(TEMPLATE, "data.edb"), shallow=False))
                for path, data in authors.items():
                    self.assertEqual(read(path), data, path)


class InstallerLists(unittest.TestCase):
    def test_the_uninstaller_removes_exactly_what_the_installer_put_there(self):
        work = tempfile.mkdtemp(prefix="inkstone-installer-")
        self.addCleanup(shutil.rmtree, work)
        stage = stage_folder(work)
        lists = os.path.join(work, "lists")
        subprocess.run([sys.executable, os.path.join(TOOLS, "installer_files.py"), stage, lists],
                       check=True)
        installed, folders, deleted, removed = set(), set(), set(), []
        with open(os.path.join(lists, "install_files.nsh"), encoding="utf-8-sig") as lines:
            for line in lines:
                if line.startswith("SetOutPath "):
                    folder = line.split('"')[1]
                    folders.add(folder)
                elif line.startswith("File "):
                    installed.add(folder + "\\" + os.path.basename(line.split('"')[1]))
        with open(os.path.join(lists, "uninstall_files.nsh"), encoding="utf-8-sig") as lines:
            for line in lines:
                if line.startswith("Delete "):
                    deleted.add(line.split('"')[1])
                elif line.startswith("RMDir"):
                    self.assertNotIn("/r", line)
                    removed.append(line.split('"')[1])
        staged = sum(len(files) for _, _, files in os.walk(stage))
        self.assertEqual(len(installed), staged)
        self.assertEqual(deleted, installed)
        self.assertIn("$INSTDIR\\share\\inkstone\\empty-database\\data.edb", installed)
        self.assertIn("$INSTDIR\\bin\\说明\\使用说明.txt", installed)
        # Every folder made is removed (when empty), each after the folders inside it.
        for folder in folders:
            while folder != "$INSTDIR":
                self.assertIn(folder, removed)
                folder = folder.rsplit("\\", 1)[0]
        for inner in removed:
            for outer in removed:
                if inner.startswith(outer + "\\"):
                    self.assertLess(removed.index(inner), removed.index(outer))
        for path in installed | set(removed):
            for folder in AUTHOR_FOLDERS:
                self.assertNotIn(folder, path.split("\\"))

        # The installer script takes the lists (when NSIS is here to compile it).
        if shutil.which("makensis"):
            result = subprocess.run(
                ["makensis", "-V2", "-DVERSION=9.9.9", "-DLISTS=" + lists,
                 "-DOUTFILE=" + os.path.join(work, "inkstone-9.9.9-setup.exe"),
                 os.path.join(TOOLS, "installer.nsi")], capture_output=True, text=True)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[4:])
