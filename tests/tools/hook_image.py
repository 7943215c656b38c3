#!/usr/bin/env python3
"""Reads a built hook library and prints its footprint: file size, sections,
exports, imports and the instructions that HookProc executes on its common
path (a message it does not look at) up to the hand-off to CallNextHookEx.

With --check, also fails unless the image is what every GUI process can
afford to map: the expected export name and exports, imports from system
DLLs only, no TLS, one shared section TAVRIN_S holding exactly the three
zero-initialised variables, and the size and instruction goals.
"""
import argparse
import re
import struct
import subprocess
import sys

SHARED_CHARACTERISTICS = 0xD0000040
SHARED_VARIABLES = {"SharedHostWindow", "SharedHookHandle", "SharedCloseByMbtn"}
SYSTEM_DLLS = {"USER32.DLL", "KERNEL32.DLL"}
MAX_FILE_BYTES = 4096
MAX_COMMON_PATH = 16


class PeImage:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        count, opt_size = struct.unpack_from("<H12xH", data, pe + 6)
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        self.is64 = magic == 0x20B
        self.image_base = (struct.unpack_from("<Q", data, opt + 24)[0] if self.is64
                           else struct.unpack_from("<I", data, opt + 28)[0])
        dirs = opt + (112 if self.is64 else 96)
        self.directories = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(count):
            off = opt + opt_size + 40 * i
            name, vsize, rva, rawsize, rawptr = struct.unpack_from("<8sIIII", data, off)
            chars = struct.unpack_from("<I", data, off + 36)[0]
            self.sections.append(dict(name=name.rstrip(b"\0").decode(), vsize=vsize, rva=rva,
                                      rawsize=rawsize, rawptr=rawptr, chars=chars))

    def offset(self, rva):
        for s in self.sections:
            if s["rva"] <= rva < s["rva"] + max(s["vsize"], s["rawsize"]):
                return s["rawptr"] + rva - s["rva"]
        raise ValueError(f"rva {rva:#x} outside every section")

    def cstring(self, rva):
        off = self.offset(rva)
        return self.data[off:self.data.index(b"\0", off)].decode()

    def exports(self):
        rva, size = self.directories[0]
        if not size:
            return None, []
        name_rva, _, _, names, _, name_ptrs = struct.unpack_from("<12xIIIIII", self.data, self.offset(rva))
        ptrs = self.offset(name_ptrs)
        return self.cstring(name_rva), sorted(
            self.cstring(struct.unpack_from("<I", self.data, ptrs + 4 * i)[0]) for i in range(names))

    def imports(self):
        """{dll: {function: IAT slot address}}"""
        result = {}
        rva = self.directories[1][0]
        step = 8 if self.is64 else 4
        fmt = "<Q" if self.is64 else "<I"
        by_ordinal = 1 << (63 if self.is64 else 31)
        off = self.offset(rva) if rva else None
        while off is not None:
            lookup, _, _, name, iat = struct.unpack_from("<IIIII", self.data, off)
            if not name:
                break
            functions = {}
            thunk = lookup or iat
            i = 0
            while True:
                entry = struct.unpack_from(fmt, self.data, self.offset(thunk + i * step))[0]
                if not entry:
                    break
                fname = f"#{entry & 0xFFFF}" if entry & by_ordinal else self.cstring((entry & 0x7FFFFFFF) + 2)
                functions[fname] = self.image_base + iat + i * step
                i += 1
            result[self.cstring(name)] = functions
            off += 20
        return result


def map_symbols(map_path):
    """Global symbols of the linker map, {name without decoration: address}."""
    symbols = {}
    for line in open(map_path, encoding="latin-1"):
        m = re.match(r"^\s+0x([0-9a-f]+)\s+(\S+)\s*$", line)
        if m:
            name = re.sub(r"@\d+$", "", m.group(2)).lstrip("_")
            symbols.setdefault(name, int(m.group(1), 16))
    return symbols


def disassemble(objdump, dll, start, stop):
    out = subprocess.run([objdump, "-d", "--no-show-raw-insn", f"--start-address={start:#x}",
                          f"--stop-address={stop:#x}", dll], check=True, capture_output=True,
                         text=True).stdout
    code = {}
    lines = [l for l in out.splitlines() if re.match(r"^\s*[0-9a-f]+:\t", l)]
    for i, line in enumerate(lines):
        addr, text = line.split(":\t", 1)
        mnemonic, _, operands = text.strip().partition(" ")
        nxt = int(lines[i + 1].split(":")[0], 16) if i + 1 < len(lines) else None
        code[int(addr, 16)] = (mnemonic, operands.strip(), nxt)
    return code


def common_path_length(code, entry, slot, taken_over):
    """Instructions on the longest way from the entry to the jump (or call)
    through the CallNextHookEx import slot, not passing through the function
    that handles the messages taken over. HookProc holds only the three tests
    and the hand-off, so the longest such way is the one past all three."""
    def target(operands):
        m = re.search(r"#\s*0x([0-9a-f]+)", operands) or re.match(r"\*?(?:0x)?([0-9a-f]+)\b", operands)
        return int(m.group(1), 16) if m else None

    def walk(addr):
        mnemonic, operands, nxt = code[addr]
        if mnemonic in ("jmp", "call") and operands.startswith("*"):
            return 1 if target(operands) == slot else None
        if mnemonic.startswith("ret"):
            return None
        if mnemonic.startswith("j") and target(operands) == taken_over:
            return None if mnemonic == "jmp" else (
                1 + walk(nxt) if walk(nxt) is not None else None)
        if mnemonic == "jmp":
            dest = target(operands)
            return 1 + walk(dest) if dest in code and walk(dest) is not None else None
        ways = [nxt] + ([target(operands)] if mnemonic.startswith("j") else [])
        lengths = [walk(w) for w in ways if w in code]
        lengths = [n for n in lengths if n is not None]
        return 1 + max(lengths) if lengths else None

    return walk(entry)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("dll")
    parser.add_argument("--map", required=True, help="the linker map written beside the DLL")
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--name", required=True, help="the expected export-directory name")
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()

    data = open(args.dll, "rb").read()
    image = PeImage(data)
    symbols = map_symbols(args.map)
    dll_name, exports = image.exports()
    imports = image.imports()
    slot = imports.get("USER32.dll", {}).get("CallNextHookEx")
    text = next(s for s in image.sections if s["name"] == ".text")
    start = image.image_base + text["rva"]
    code = disassemble(args.objdump, args.dll, start, start + text["vsize"])
    common_path = common_path_length(code, symbols["HookProc"], slot, symbols["HandleCandidate"])

    print(f"{args.name}: {len(data)} bytes")
    for s in image.sections:
        print(f"  section {s['name']:<8} size {s['vsize']:#06x} characteristics {s['chars']:#010x}")
    print(f"  exports: {dll_name}: {', '.join(exports)}")
    for dll, functions in imports.items():
        print(f"  imports: {dll}: {', '.join(sorted(functions))}")
    print(f"  HookProc common path: {common_path} instructions to CallNextHookEx")

    if not args.check:
        return 0
    faults = []
    if len(data) > MAX_FILE_BYTES:
        faults.append(f"{len(data)} bytes, more than {MAX_FILE_BYTES}")
    if common_path is None or common_path > MAX_COMMON_PATH:
        faults.append(f"common path of {common_path} instructions, more than {MAX_COMMON_PATH}")
    if dll_name != args.name or exports != ["ResetHook", "SetHook"]:
        faults.append(f"exports {dll_name} {exports}")
    if not imports or {d.upper() for d in imports} - SYSTEM_DLLS:
        faults.append(f"imports {sorted(imports)}, not only {sorted(SYSTEM_DLLS)}")
    if image.directories[9][1]:
        faults.append("has a TLS directory")
    shared = [s for s in image.sections if s["name"] == "TAVRIN_S"]
    if len(shared) != 1:
        faults.append(f"{len(shared)} sections named TAVRIN_S")
    else:
        s = shared[0]
        inside = {n for n, a in symbols.items()
                  if image.image_base + s["rva"] <= a < image.image_base + s["rva"] + s["vsize"]}
        raw = data[s["rawptr"]:s["rawptr"] + s["vsize"]]
        if s["chars"] != SHARED_CHARACTERISTICS:
            faults.append(f"TAVRIN_S characteristics {s['chars']:#010x}")
        if inside != SHARED_VARIABLES:
            faults.append(f"TAVRIN_S holds {sorted(inside)}")
        if any(raw) or len(raw) < s["vsize"]:
            faults.append("TAVRIN_S is not all zero in the file")
    for f in faults:
        print(f"FAIL {args.name}: {f}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
