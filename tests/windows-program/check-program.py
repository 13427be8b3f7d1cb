#!/usr/bin/env python3
"""Checks of the Windows program that need no Windows CPU, run by CTest on the build's files.

  imports EXE         a GUI program of the word size (--machine) that imports only Windows
                      system DLLs, none of the compiler's
  entry-points EXE    every entry point of the link's list (--entry-points) is exported by the
                      Windows client (--def), named in EXE, and called as ibase.h declares it
                      (--header): on 32-bit x86 stdcall, decorated _name@N in --object
  package ZIP         the release zip: Duplora.exe (as imports checks it, stripped), the example
                      Duplora.ini and the guide LEIA-ME.txt, as Windows Notepad shows them
  message-table EXE   the event log's message table in EXE's resources: one entry "%1" for
                      each event number of SystemLog.h (--header), and no other
  msi MSI             the release Windows Installer package, read with msiinfo and msiextract:
                      its platform and language, version (--version), UpgradeCode
                      (--upgrade-code), the files it installs (those of --files, the exe of the
                      word size), per machine into C:\Duplora, the shortcuts' working folder, the
                      event source, how it keeps the settings and the folder's permissions

Each prints what it found wrong and exits 1, or exits 0.
"""

import argparse
import codecs
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

# objdump's names of the two formats and machines.
FORMATS = {"i386": "pei-i386", "x86-64": "pei-x86-64"}
WORD_BITS = {"i386": 32, "x86-64": 64}

# DLLs of Windows itself (System32) that a program may import. A DLL of the compiler's
# (libgcc_s_*.dll, libstdc++-6.dll, libwinpthread-1.dll) or of a runtime Windows does not have
# everywhere (api-ms-win-crt-*, vcruntime*) is not among them.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msimg32.dll",
    "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
    "uxtheme.dll", "version.dll", "winhttp.dll", "winmm.dll", "ws2_32.dll",
}

# The guide's subjects an operator needs, each as a text it must contain.
GUIDE_SUBJECTS = ("C:\\Duplora", "gds32.dll", "SYSDBA", "plumcider", "Iniciar em", "Duplora.bat",
                  "shell:startup", "msiexec /i", "/qn PASTA_BAT=", "INSTALLDIR")
SETTINGS_KEYS = {"BANCO": ("CAMINHO",), "SERVIDOR": ("NOME", "PASTA_SISTEMA"),
                 "CONFIG": ("diario", "horario")}


class Check:
    def __init__(self):
        self.faults = []

    def fault(self, text):
        self.faults.append(text)

    def finish(self, what):
        for fault in self.faults:
            print("FAULT: " + fault)
        print("%s: %s" % (what, "%d fault(s)" % len(self.faults) if self.faults else "ok"))
        return 1 if self.faults else 0


def check_imports(check, exe, machine, objdump):
    """The PE headers and import table, as objdump -p prints them."""
    dump = subprocess.run([objdump, "-p", exe], capture_output=True, text=True)
    if dump.returncode != 0:
        check.fault("%s -p %s failed: %s" % (objdump, exe, dump.stderr.strip()))
        return
    text = dump.stdout
    found = re.search(r"file format (\S+)", text)
    if not found or found.group(1) != FORMATS[machine]:
        check.fault("%s is %s, not a %s program (%s)" % (
            os.path.basename(exe), found.group(1) if found else "of no known format",
            machine, FORMATS[machine]))
    subsystem = re.search(r"^Subsystem\s+(\S+)\s*(.*)$", text, re.M)
    if not subsystem or int(subsystem.group(1), 16) != 2:
        check.fault("%s is not a Windows GUI program (subsystem %s)" % (
            os.path.basename(exe), subsystem.group(0).split(None, 1)[1] if subsystem else "?"))
    dlls = sorted({name.lower() for name in re.findall(r"DLL Name: (\S+)", text)})
    if not dlls:
        check.fault("%s imports no DLL at all: objdump found no import table" % exe)
    for dll in dlls:
        if dll not in SYSTEM_DLLS:
            check.fault("%s imports %s, which is not a Windows system DLL" % (
                os.path.basename(exe), dll))
    print("%s: %s, subsystem %s, imports %s" % (
        os.path.basename(exe), found.group(1) if found else "?",
        subsystem.group(2) if subsystem else "?", ", ".join(dlls)))


def check_stripped(check, exe, objdump):
    """No debug sections and no symbol table: the program as the packages ship it."""
    dump = subprocess.run([objdump, "-h", "-t", exe], capture_output=True, text=True)
    debug = re.findall(r"^\s*\d+\s+(\.debug\S*)", dump.stdout, re.M)
    if dump.returncode != 0 or debug:
        check.fault("%s is not stripped: %s" % (os.path.basename(exe), ", ".join(debug) or
                                                 dump.stderr.strip()))
    if re.search(r"^\[\s*\d+\]", dump.stdout, re.M):
        check.fault("%s keeps its symbol table" % os.path.basename(exe))


RT_MESSAGETABLE = 11


def message_tables(exe):
    """Every message table in the resources of a PE file: {(name, language): {id: text}}."""
    with open(exe, "rb") as f:
        data = f.read()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    if data[header:header + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    section_count, = struct.unpack_from("<H", data, header + 6)
    optional_size, = struct.unpack_from("<H", data, header + 20)
    optional = header + 24
    magic, = struct.unpack_from("<H", data, optional)
    # The data directories follow the optional header's fields: 96 bytes in PE32, 112 in PE32+.
    directories = optional + (96 if magic == 0x10B else 112)
    resources, _ = struct.unpack_from("<II", data, directories + 2 * 8)
    sections = []
    for i in range(section_count):
        entry = optional + optional_size + 40 * i
        virtual_size, address, raw_size, raw = struct.unpack_from("<IIII", data, entry + 8)
        sections.append((address, max(virtual_size, raw_size), raw))

    def offset(rva):
        for address, size, raw in sections:
            if address <= rva < address + size:
                return raw + rva - address
        raise ValueError("address %#x is in no section" % rva)

    root = offset(resources) if resources else None

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", data, root + directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, root + directory + 16 + 8 * i)
            yield name, target & 0x7FFFFFFF

    tables = {}
    if root is None:
        return tables
    for kind, names in entries(0):
        if kind != RT_MESSAGETABLE:
            continue
        for name, languages in entries(names):
            for language, leaf in entries(languages):
                address, size = struct.unpack_from("<II", data, root + leaf)
                table = data[offset(address):offset(address) + size]
                messages = {}
                block_count, = struct.unpack_from("<I", table, 0)
                for block in range(block_count):
                    low, high, at = struct.unpack_from("<III", table, 4 + 12 * block)
                    for message in range(low, high + 1):
                        length, flags = struct.unpack_from("<HH", table, at)
                        text = table[at + 4:at + length]
                        text = text.decode("utf-16-le" if flags & 1 else "cp1252")
                        messages[message] = text.rstrip("\0")
                        at += length
                tables[(name, language)] = messages
    return tables


def check_message_table(check, exe, header):
    """The event log's message table: Event Viewer formats each event's ID with it."""
    with open(header) as f:
        events = {int(number): name for name, number in
                  re.findall(r"^\s*(k\w+)\s*=\s*(\d+),", f.read(), re.M)}
    if not events:
        check.fault("%s lists no event" % header)
    try:
        tables = message_tables(exe)
    except (ValueError, struct.error) as error:
        check.fault("%s: cannot read its resources: %s" % (exe, error))
        return
    if len(tables) != 1:
        check.fault("%s holds %d message tables, not one: %s" % (
            os.path.basename(exe), len(tables), sorted(tables)))
    for (name, language), messages in tables.items():
        if sorted(messages) != sorted(events):
            check.fault("the message table %d (language %#x) has the ids %s, not the events' %s" %
                        (name, language, sorted(messages), sorted(events)))
        for number, text in sorted(messages.items()):
            # "%0" ends the message: what the compiler adds after it is never shown.
            if text.rstrip("\r\n") != "%1%0":
                check.fault("message %d (%s) is %r, not the event's text alone (%%1%%0)" % (
                    number, events.get(number, "no event"), text))
        print("%s: message table %d, language %#x: %s" % (
            os.path.basename(exe), name, language,
            ", ".join("%d %s" % (n, events.get(n, "?")) for n in sorted(messages))))


def entry_points(path):
    with open(path) as f:
        return re.findall(r"^DUPLORA_(?:OPTIONAL_)?ENTRY\((\w+)\)", f.read(), re.M)


def def_exports(path):
    """The names a module-definition file exports (an alias "a=b" exports a)."""
    names, inside = set(), False
    with open(path) as f:
        for line in f:
            line = line.split(";", 1)[0].strip()
            if not line:
                continue
            if re.fullmatch(r"[A-Z]+(\s.*)?", line) and line.split()[0] in (
                    "EXPORTS", "LIBRARY", "NAME", "SECTIONS", "STACKSIZE", "HEAPSIZE"):
                inside = line.split()[0] == "EXPORTS"
                continue
            if inside:
                names.add(re.split(r"[\s=@]", line, 1)[0])
    return names


def declared_parameters(header, name):
    """The parameter list of ibase.h's declaration of name: (calling convention macro, list)."""
    found = re.search(r"\b(\w+)\s+%s\s*\(([^;]*?)\)\s*(?:\w+\s*)?;" % re.escape(name), header)
    if not found:
        return None, None
    parameters = " ".join(found.group(2).split())
    if parameters in ("", "void"):
        return found.group(1), []
    return found.group(1), [p.strip() for p in parameters.split(",")]


# Parameter types of one 32-bit stack word besides pointers.
WORD_TYPES = {"short", "unsigned short", "int", "unsigned int", "unsigned", "long",
              "unsigned long", "ISC_SHORT", "ISC_USHORT", "ISC_LONG", "ISC_ULONG"}


def stack_bytes(parameters):
    """The bytes a stdcall function of these parameters takes off a 32-bit stack, or None."""
    for parameter in parameters:
        type_ = re.sub(r"\b(const|volatile)\b", "", parameter).strip()
        if "*" not in type_ and " ".join(type_.split()) not in WORD_TYPES:
            return None
    return 4 * len(parameters)


def undefined_symbols(nm, obj):
    out = subprocess.run([nm, "-u", obj], capture_output=True, text=True, check=True).stdout
    return {line.split()[-1] for line in out.splitlines() if line.strip()}


def check_entry_points(check, arguments):
    names = entry_points(arguments.entry_points)
    if not names:
        check.fault("%s lists no entry point" % arguments.entry_points)
    exports = def_exports(arguments.definitions)
    if len(exports) < 100:
        check.fault("%s gives only %d exports: not the client's list" % (
            arguments.definitions, len(exports)))
    with open(arguments.program, "rb") as f:
        program = f.read()
    with open(arguments.header, encoding="latin-1") as f:
        header = f.read()
    symbols = undefined_symbols(arguments.nm, arguments.object)
    for name in names:
        if name not in exports:
            check.fault("the program asks for %s, which the Windows client does not export" % name)
        if name.encode() + b"\0" not in program:
            check.fault("%s does not name %s" % (os.path.basename(arguments.program), name))
        convention, parameters = declared_parameters(header, name)
        if parameters is None:
            check.fault("ibase.h declares no %s" % name)
            continue
        if convention != "ISC_EXPORT":
            check.fault("ibase.h declares %s %s, not ISC_EXPORT (stdcall on Windows)" % (
                name, convention))
        if arguments.machine == "i386":
            size = stack_bytes(parameters)
            expected = "_%s@%s" % (name, size)
            if size is None:
                check.fault("cannot size the parameters of %s: %s" % (name, parameters))
            elif expected not in symbols:
                called = sorted(s for s in symbols if re.fullmatch(r"_?%s(@\d+)?" % name, s))
                check.fault("the program calls %s as %s, not stdcall %s (ibase.h: %d "
                            "parameters)" % (name, called[0] if called else "nothing",
                                             expected, len(parameters)))
        elif name not in symbols:
            check.fault("the program's call of %s is not to the client's %s (found %s)" % (
                name, name, sorted(s for s in symbols if name in s)))
    print("%d entry points, each exported by the Windows client (%d exports)%s" % (
        len(names), len(exports), ", stdcall as ibase.h declares them"
        if arguments.machine == "i386" else ""))


def check_text(check, name, data, encoding, subjects=()):
    """A text file as Windows Notepad reads it: CR LF line ends only, the given encoding."""
    if b"\n" in data.replace(b"\r\n", b"") or b"\r" in data.replace(b"\r\n", b""):
        check.fault("%s has line ends other than CR LF" % name)
    if not data.endswith(b"\r\n"):
        check.fault("%s does not end its last line" % name)
    try:
        text = data.decode(encoding)
    except UnicodeDecodeError as error:
        check.fault("%s is not %s: %s" % (name, encoding, error))
        return ""
    for subject in subjects:
        if subject not in text:
            check.fault("%s does not say %s" % (name, subject))
    return text


def check_package(check, arguments):
    zip_path, machine = arguments.program, arguments.machine
    if not os.path.exists(zip_path):
        check.fault("%s is missing: make it with cmake --preset win%d-release && cmake --build "
                    "--preset win%d-release --target package" % (
                        zip_path, WORD_BITS[machine], WORD_BITS[machine]))
        return
    with zipfile.ZipFile(zip_path) as package:
        names = sorted(package.namelist())
        expected = ["Duplora.exe", "Duplora.ini", "LEIA-ME.txt"]
        if names != expected:
            check.fault("%s holds %s, not %s" % (zip_path, names, expected))
        files = {name: package.read(name) for name in names}
    if "Duplora.exe" in files:
        with tempfile.TemporaryDirectory() as folder:
            exe = os.path.join(folder, "Duplora.exe")
            with open(exe, "wb") as f:
                f.write(files["Duplora.exe"])
            check_imports(check, exe, machine, arguments.objdump)
            check_stripped(check, exe, arguments.objdump)
    if "LEIA-ME.txt" in files:
        guide = files["LEIA-ME.txt"]
        # UTF-8 with its byte order mark: Notepad reads it as UTF-8 on every Windows version,
        # whatever the machine's ANSI code page.
        if not guide.startswith(codecs.BOM_UTF8):
            check.fault("LEIA-ME.txt does not start with the UTF-8 byte order mark")
        text = check_text(check, "LEIA-ME.txt", guide[len(codecs.BOM_UTF8):], "utf-8",
                          GUIDE_SUBJECTS + ("%d bits" % WORD_BITS[machine],))
        if text and not re.search(r"[ãçéí]", text):
            check.fault("LEIA-ME.txt has no Portuguese accented letter: not the guide")
    if "Duplora.ini" in files:
        text = check_text(check, "Duplora.ini", files["Duplora.ini"], "cp1252")
        section = None
        found = set()
        for line in text.split("\r\n"):
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1]
            elif "=" in line:
                found.add((section, line.split("=", 1)[0]))
        for section, keys in SETTINGS_KEYS.items():
            for key in keys:
                if (section, key) not in found:
                    check.fault("Duplora.ini has no [%s] %s" % (section, key))
    print("%s: %s" % (os.path.basename(zip_path), ", ".join(files)))


def msi_table(path, table):
    """A table of the package as rows of {column: text}, through msiinfo export."""
    out = subprocess.run(["msiinfo", "export", path, table], capture_output=True, text=True)
    if out.returncode != 0:
        return None
    lines = out.stdout.split("\n")
    columns = lines[0].rstrip("\r").split("\t")
    return [dict(zip(columns, line.rstrip("\r").split("\t"))) for line in lines[3:] if line]


# What a security descriptor's ACE grants, by the rights' bits.
FILE_WRITE_DATA, FILE_EXECUTE, DELETE = 0x2, 0x20, 0x10000
FULL_CONTROL = 0x1F01FF
SDDL_RIGHTS = {"FA": FULL_CONTROL, "GA": FULL_CONTROL}


def parse_sddl(text):
    """A DACL in SDDL: (flags, [(type, ace flags, rights, trustee)]), or None if it is not one."""
    found = re.fullmatch(r"D:([PAIR]*)((?:\([^()]*\))+)", text)
    if not found:
        return None
    aces = []
    for ace in re.findall(r"\(([^()]*)\)", found.group(2)):
        parts = ace.split(";")
        if len(parts) != 6 or parts[0] not in ("A", "D") or parts[3] or parts[4]:
            return None
        rights = SDDL_RIGHTS.get(parts[2])
        if rights is None:
            if not re.fullmatch(r"0x[0-9a-fA-F]+", parts[2]):
                return None
            rights = int(parts[2], 16)
        if not re.fullmatch(r"(OI|CI|IO|NP|ID)*", parts[1]) or parts[5] not in ("SY", "BA", "BU"):
            return None
        aces.append((parts[0], parts[1], rights, parts[5]))
    return found.group(1), aces


def granted(aces, trustee, applies):
    """The rights `trustee` gets on the object itself (applies "self") or on files made in it
    (applies "files")."""
    rights = 0
    for type_, flags, mask, who in aces:
        if who != trustee or type_ != "A":
            continue
        if (applies == "self" and "IO" not in flags) or (applies == "files" and "OI" in flags):
            rights |= mask
    return rights


def check_permissions(check, path, folder_components):
    rows = msi_table(path, "MsiLockPermissionsEx") or []
    locks = {(row["Table"], row["LockObject"]): row["SDDLText"] for row in rows}
    folder = locks.get(("CreateFolder", "INSTALLDIR"))
    program = locks.get(("File", "Duplora.exe"))
    if folder is None or program is None:
        check.fault("MsiLockPermissionsEx does not secure both the folder and Duplora.exe: %s" %
                    rows)
        return
    if "INSTALLDIR" not in folder_components:
        check.fault("no CreateFolder row for INSTALLDIR: its permissions would not be set")
    for what, sddl in (("the folder", folder), ("Duplora.exe", program)):
        parsed = parse_sddl(sddl)
        if parsed is None:
            check.fault("%s's security descriptor is not a DACL this check reads: %s" % (what, sddl))
            return
        flags, aces = parsed
        if "P" not in flags:
            check.fault("%s inherits from its parent (%s): C:\\ would add its own rights" %
                        (what, sddl))
        for admin in ("SY", "BA"):
            if granted(aces, admin, "self") != FULL_CONTROL:
                check.fault("%s: %s lacks full control (%s)" % (what, admin, sddl))
        if what == "the folder":
            users, files = granted(aces, "BU", "self"), granted(aces, "BU", "files")
            if not users & FILE_WRITE_DATA or users & DELETE:
                check.fault("Users must add files to the folder but not delete or rename it: %s" %
                            sddl)
            if files & (FILE_WRITE_DATA | DELETE) != FILE_WRITE_DATA | DELETE:
                check.fault("Users cannot write and replace the files made in the folder "
                            "(Duplora.ini, Duplora.log): %s" % sddl)
        else:
            users = granted(aces, "BU", "self")
            if not users & FILE_EXECUTE or users & (FILE_WRITE_DATA | DELETE | 0x40000 | 0x80000):
                check.fault("Users must run Duplora.exe and not change it: %s" % sddl)


def check_msi(check, arguments):
    path, machine = arguments.program, arguments.machine
    if not os.path.exists(path):
        check.fault("%s is missing: make it with cmake --preset win%d-release && cmake --build "
                    "--preset win%d-release" % (path, WORD_BITS[machine], WORD_BITS[machine]))
        return
    summary = subprocess.run(["msiinfo", "suminfo", path], capture_output=True, text=True).stdout
    template = re.search(r"^Template: (.*)$", summary, re.M)
    platform = {"i386": "Intel", "x86-64": "x64"}[machine]
    if not template or template.group(1) != platform + ";1046":
        check.fault("the summary's Template is %s, not %s;1046 (platform; Portuguese)" % (
            template.group(1) if template else "missing", platform))

    def table(name):
        rows = msi_table(path, name)
        if rows is None:
            check.fault("the package has no table %s" % name)
        return rows or []

    properties = {row["Property"]: row["Value"] for row in table("Property")}
    for name, value in (("ProductName", "Duplora"), ("ProductVersion", arguments.version),
                        ("UpgradeCode", arguments.upgrade_code), ("ALLUSERS", "1"),
                        ("ProductLanguage", "1046")):
        if properties.get(name) != value:
            check.fault("property %s is %r, not %r" % (name, properties.get(name), value))

    directories = {row["Directory"]: (row["Directory_Parent"], row["DefaultDir"])
                   for row in table("Directory")}
    for directory, place in (("WindowsVolume", ("TARGETDIR", ".")),
                             ("INSTALLDIR", ("WindowsVolume", "Duplora")),
                             ("PASTA_BAT", ("WindowsVolume", "Tavix"))):
        if directories.get(directory) != place:
            check.fault("directory %s is %s, not %s (C:\\%s by default)" % (
                directory, directories.get(directory), place, place[1]))

    components = {row["Component"]: row for row in table("Component")}
    bits64 = 256 if machine == "x86-64" else 0
    expected = {"Programa": bits64, "Guia": bits64, "Ajustes": bits64 | 16 | 128}
    for name, attributes in expected.items():
        row = components.get(name)
        if not row or row["Directory_"] != "INSTALLDIR" or int(row["Attributes"]) != attributes:
            check.fault("component %s is %s, not in INSTALLDIR with attributes %d%s" % (
                name, row, attributes, " (Permanent, NeverOverwrite: the operator's settings "
                "kept)" if name == "Ajustes" else ""))

    files = {row["FileName"].split("|")[-1]: row["Component_"] for row in table("File")}
    if files != {"Duplora.exe": "Programa", "LEIA-ME.txt": "Guia", "Duplora.ini": "Ajustes"}:
        check.fault("the package installs %s" % files)
    folder = tempfile.mkdtemp()
    try:
        extracted = subprocess.run(["msiextract", "-C", folder, path], capture_output=True,
                                   text=True)
        if extracted.returncode != 0:
            check.fault("msiextract failed: %s" % extracted.stderr.strip())
        for name in files:
            unpacked = os.path.join(folder, "Duplora", name)
            with open(unpacked, "rb") as f, open(os.path.join(arguments.files, name), "rb") as g:
                if f.read() != g.read():
                    check.fault("the package's %s is not %s" % (
                        name, os.path.join(arguments.files, name)))
            if name == "Duplora.exe":
                check_imports(check, unpacked, machine, arguments.objdump)
                check_stripped(check, unpacked, arguments.objdump)
    except OSError as error:
        check.fault("the package's files: %s" % error)
    finally:
        shutil.rmtree(folder)

    shortcuts = {row["Directory_"]: row for row in table("Shortcut")}
    if sorted(shortcuts) != ["ProgramMenuFolder", "StartupFolder"]:
        check.fault("the shortcuts are in %s, not the Startup and the Programs folder" %
                    sorted(shortcuts))
    for row in shortcuts.values():
        if (row["Target"], row["WkDir"], row["Component_"]) != ("[#Duplora.exe]", "PASTA_BAT",
                                                               "Programa"):
            check.fault("shortcut %s starts %s in %s (component %s), not Duplora.exe in the "
                        "folder PASTA_BAT" % (row["Shortcut"], row["Target"], row["WkDir"],
                                              row["Component_"]))
        if not re.search(r"[ãçéí]", row["Description"]):
            check.fault("shortcut %s has no Portuguese description: %r" % (
                row["Shortcut"], row["Description"]))

    source = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Duplora"
    registry = {row["Name"]: row for row in table("Registry")}
    for name, value in (("EventMessageFile", "#%[#Duplora.exe]"), ("TypesSupported", "#7")):
        row = registry.get(name)
        if (not row or row["Root"] != "2" or row["Key"].rstrip("\\") != source or
                row["Value"] != value or row["Component_"] != "Programa"):
            check.fault("the event source's %s is %s, not HKLM\\%s = %s" % (
                name, row, source, value))

    upgrades = table("Upgrade")
    older = [row for row in upgrades if row["ActionProperty"] == "WIX_UPGRADE_DETECTED"]
    if (len(older) != 1 or older[0]["VersionMax"] != arguments.version or
            not int(older[0]["Attributes"]) & 512 or int(older[0]["Attributes"]) & 2):
        check.fault("no Upgrade row removes the installed versions up to this one: %s" % upgrades)
    sequence = {row["Action"]: int(row["Sequence"]) for row in table("InstallExecuteSequence")}
    if not sequence.get("RemoveExistingProducts", 10**6) < sequence.get("InstallInitialize", 0):
        check.fault("RemoveExistingProducts does not come before InstallInitialize: %s" %
                    sequence)
    conditions = table("LaunchCondition")
    if not any(re.search(r"[ãçéí]", row["Description"]) for row in conditions):
        check.fault("no Portuguese text refuses a downgrade: %s" % conditions)

    check_permissions(check, path, {row["Directory_"] for row in table("CreateFolder")
                                    if row["Component_"] == "Programa"})
    print("%s: %s package %s of %s" % (os.path.basename(path), platform,
                                        properties.get("ProductVersion"), ", ".join(files)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("check", choices=("imports", "entry-points", "message-table", "package",
                                          "msi"))
    parser.add_argument("program", help="Duplora.exe, the zip for package, the .msi for msi")
    parser.add_argument("--machine", required=True, choices=sorted(FORMATS))
    parser.add_argument("--objdump", required=True, help="the MinGW-w64 objdump")
    parser.add_argument("--nm", help="the MinGW-w64 nm (entry-points)")
    parser.add_argument("--def", dest="definitions", help="the Windows client's .def file")
    parser.add_argument("--entry-points", help="src/database/EntryPoints.inc")
    parser.add_argument("--header", help="the client's ibase.h (entry-points); SystemLog.h "
                        "(message-table)")
    parser.add_argument("--object", help="the object file of ClientCalls.cpp")
    parser.add_argument("--version", help="the package's version, x.y.z (msi)")
    parser.add_argument("--upgrade-code", help="the package's UpgradeCode (msi)")
    parser.add_argument("--files", help="the folder of the files the package holds (msi)")
    arguments = parser.parse_args()
    check = Check()
    if arguments.check == "imports":
        check_imports(check, arguments.program, arguments.machine, arguments.objdump)
    elif arguments.check == "entry-points":
        check_entry_points(check, arguments)
    elif arguments.check == "message-table":
        check_message_table(check, arguments.program, arguments.header)
    elif arguments.check == "package":
        check_package(check, arguments)
    else:
        check_msi(check, arguments)
    return check.finish(arguments.check)


if __name__ == "__main__":
    sys.exit(main())
