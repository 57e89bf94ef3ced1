#!/usr/bin/env python3
"""Writes the installer's two file lists from the staged portable folder (make_installer.sh).

    installer_files.py <staged folder> <output folder>

install_files.nsh puts every staged file in place: the empty chapter database (the staged
empty-database folder) in $INSTDIR\\share\\inkstone\\empty-database, everything else in
$INSTDIR\\bin, keeping its subfolder. uninstall_files.nsh deletes exactly those files, then
removes each folder they lie in with RMDir without /r, deepest first: Windows removes a folder
so only when it is empty, so a folder that also holds the author's own files (the install
folder is the author's choice, perhaps one already in use) stays with them.
"""
import os
import sys

TEMPLATE_FOLDER = "empty-database"


def installed_files(stage):
    """(staged path, install folder relative to $INSTDIR, file name) for every staged file."""
    files = []
    for folder, subfolders, names in os.walk(stage):
        subfolders.sort()
        relative = os.path.relpath(folder, stage)
        parts = [] if relative == "." else relative.split(os.sep)
        if parts and parts[0] == TEMPLATE_FOLDER:
            target = ["share", "inkstone"] + parts
        else:
            target = ["bin"] + parts
        for name in sorted(names):
            files.append((os.path.join(folder, name), "\\".join(target), name))
    return files


def folders_made(files):
    """Every folder under $INSTDIR the files lie in, with their parents, deepest first."""
    folders = set()
    for _, target, _ in files:
        parts = target.split("\\")
        for depth in range(1, len(parts) + 1):
            folders.add("\\".join(parts[:depth]))
    return sorted(folders, key=lambda folder: (-folder.count("\\"), folder))


def write_lists(stage, output):
    files = installed_files(stage)
    install = []
    current = None
    for path, target, _ in files:
        if target != current:
            install.append(f'SetOutPath "$INSTDIR\\{target}"')
            current = target
        install.append(f'File "{os.path.abspath(path)}"')
    uninstall = [f'Delete "$INSTDIR\\{target}\\{name}"' for _, target, name in files]
    uninstall += [f'RMDir "$INSTDIR\\{folder}"' for folder in folders_made(files)]
    os.makedirs(output, exist_ok=True)
    # NSIS reads a script with a byte-order mark as UTF-8.
    for name, lines in (("install_files.nsh", install), ("uninstall_files.nsh", uninstall)):
        with open(os.path.join(output, name), "w", encoding="utf-8-sig", newline="\r\n") as out:
            out.write("; Written by installer_files.py from the staged folder.\n")
            out.write("\n".join(lines) + "\n")


def main(arguments):
    if len(arguments) != 2 or not os.path.isdir(arguments[0]):
        sys.stderr.write(__doc__)
        return 2
    write_lists(arguments[0], arguments[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
