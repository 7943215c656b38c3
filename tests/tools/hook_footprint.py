#!/usr/bin/env python3
"""Prints a built hook library's footprint and fails unless every GUI process
can afford to map it: at most 4 KiB; imports from USER32 and KERNEL32 only;
exactly SetHook, ResetHook and SetModernWheel exported under the library's
own name (and, in the 32-bit library, the companion's SetHostWindow,
ReleaseHostWindow and HookThread); one shared, writable section TAVRIN_S holding the four shared
variables, all
zero in the file; and HookProc's common path (a message it does not look
at) at most 13 instructions up to the jump into CallNextHookEx.

    hook_footprint.py DLL NAME OBJDUMP   (the linker map is the build's
                                          hook/NAME.map)
"""
import os
import re
import subprocess
import sys

dll, name, objdump = sys.argv[1:4]
map_path = os.path.join(os.path.dirname(dll), "..", "hook", name.replace(".dll", ".map"))


def dump(*args):
    return subprocess.run([objdump, *args, dll], check=True, capture_output=True,
                          text=True).stdout


symbols = {m.group(2).lstrip("_").split("@")[0]: int(m.group(1), 16) for m in
           re.finditer(r"^\s+0x([0-9a-f]+)\s+(\S+)\s*$", open(map_path).read(), re.M)}
sections = {m.group(1): (int(m.group(2), 16), int(m.group(3), 16), m.group(4)) for m in
            re.finditer(r"^\s*\d+ (\S+)\s+([0-9a-f]+)\s+([0-9a-f]+)\s.*\n\s+(.*)$",
                        dump("-h"), re.M)}
private = dump("-p")
imports = re.findall(r"DLL Name: (\S+)", private)
functions = re.findall(r"^\t[0-9a-f]+\t\s+\d+\s+(\w+)$", private, re.M)
export_name = re.search(r"^Name\s+[0-9a-f]+ (\S+)", private, re.M).group(1)
exports = sorted(re.findall(r"^\t\[\s*\d+\] (\w+)$", private, re.M))

# From HookProc's entry to its first jump through an import slot, leaving
# out the jump that hands the messages it takes over to HandleCandidate.
start = symbols["HookProc"]
code = dump("-d", "--no-show-raw-insn", f"--start-address={start:#x}",
            f"--stop-address={start + 64:#x}")
path = 0
for line in re.findall(r"^\s*[0-9a-f]+:\t(.*)$", code, re.M):
    if line.startswith("jmp") and f"{symbols['HandleCandidate']:x}" in line:
        continue
    path += 1
    if re.match(r"jmp\s+\*", line):
        break

size = os.path.getsize(dll)
shared_size, shared_vma, shared_flags = sections.get("TAVRIN_S", (0, 0, ""))
inside = {s for s, a in symbols.items() if shared_vma <= a < shared_vma + shared_size}
contents = "".join(re.findall(r"^ [0-9a-f]+ ((?:[0-9a-f]{2,8} )+)", dump("-s", "-j", "TAVRIN_S"),
                              re.M)) if shared_size else ""
print(f"{name}: {size} bytes; sections {', '.join(sections)}; exports {export_name}: "
      f"{', '.join(exports)}; imports {', '.join(imports)}: {', '.join(functions)}; "
      f"TAVRIN_S {shared_size} bytes [{shared_flags}]; common path {path} instructions")
faults = [text for bad, text in [
    (size > 4096, "more than 4 KiB"),
    ({d.upper() for d in imports} - {"USER32.DLL", "KERNEL32.DLL"}, "imports beyond the system"),
    (export_name != name or exports != sorted(
        ["ResetHook", "SetHook", "SetModernWheel"] +
        (["HookThread", "ReleaseHostWindow", "SetHostWindow"] if name == "TV_Hook.dll" else [])),
     "exports"),
    ("SHARED" not in shared_flags or "READONLY" in shared_flags, "TAVRIN_S not shared and writable"),
    (inside != {"SharedHostWindow", "SharedHookHandle", "SharedCloseByMbtn",
               "SharedModernWheel"},
     f"TAVRIN_S holds {sorted(inside)}"),
    (set(contents) - {"0", " "}, "TAVRIN_S is not all zero in the file"),
    (path > 13, "common path longer than 13 instructions"),
] if bad]
for fault in faults:
    print(f"FAIL {name}: {fault}")
sys.exit(1 if faults else 0)
