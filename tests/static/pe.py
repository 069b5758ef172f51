"""Just enough of the PE format to check what a built program or library carries:
headers, exports, imports and resources."""

import struct

RT_BITMAP, RT_DIALOG, RT_STRING, RT_VERSION, RT_MANIFEST = 2, 5, 6, 16, 24


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.blob = f.read()
        b = self.blob
        assert b[:2] == b"MZ", "not an MZ file"
        pe = struct.unpack_from("<I", b, 0x3C)[0]
        assert b[pe:pe + 4] == b"PE\0\0", "no PE signature"
        self.machine, sections, _, _, _, optional_size, self.characteristics = struct.unpack_from("<HHIIIHH", b, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", b, optional)[0]
        self.subsystem = struct.unpack_from("<H", b, optional + 68)[0]
        directories = optional + (96 if self.magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", b, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, vaddr, rsize, raw = struct.unpack_from("<8sIIII", b, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raw))

    def offset(self, rva):
        for vaddr, size, raw in self.sections:
            if vaddr <= rva < vaddr + size:
                return raw + rva - vaddr
        raise ValueError("RVA %#x outside every section" % rva)

    def cstring(self, rva):
        start = self.offset(rva)
        return self.blob[start:self.blob.index(b"\0", start)].decode("latin-1")

    @property
    def is_dll(self):
        return bool(self.characteristics & 0x2000)

    def exports(self):
        """{name: ordinal}"""
        rva, size = self.directories[0]
        if not size:
            return {}
        d = self.offset(rva)
        base, _, names, _, name_table, ordinal_table = struct.unpack_from("<IIIIII", self.blob, d + 16)
        result = {}
        for i in range(names):
            name_rva = struct.unpack_from("<I", self.blob, self.offset(name_table) + 4 * i)[0]
            index = struct.unpack_from("<H", self.blob, self.offset(ordinal_table) + 2 * i)[0]
            result[self.cstring(name_rva)] = base + index
        return result

    def export_ordinals(self):
        rva, size = self.directories[0]
        d = self.offset(rva)
        base, functions = struct.unpack_from("<II", self.blob, d + 16)
        return list(range(base, base + functions))

    def imports(self):
        """{dll name (lower case): [name or ordinal number, ...]}"""
        rva, size = self.directories[1]
        result = {}
        entry = self.offset(rva)
        wide = self.magic == 0x20B
        while True:
            lookup, _, _, name_rva, thunks = struct.unpack_from("<IIIII", self.blob, entry)
            if not name_rva:
                break
            items = []
            at = self.offset(lookup or thunks)
            while True:
                value = struct.unpack_from("<Q" if wide else "<I", self.blob, at)[0]
                if not value:
                    break
                if value >> (63 if wide else 31):
                    items.append(value & 0xFFFF)
                else:
                    items.append(self._hint_name(value & 0x7FFFFFFF))
                at += 8 if wide else 4
            result[self.cstring(name_rva).lower()] = items
            entry += 20
        return result

    def _hint_name(self, rva):
        start = self.offset(rva) + 2
        return self.blob[start:self.blob.index(b"\0", start)].decode("latin-1")

    def resources(self):
        """{(type, id): data bytes}, first language of each."""
        rva, size = self.directories[2]
        if not size:
            return {}
        root = self.offset(rva)
        found = {}

        def entries(table):
            named, numbered = struct.unpack_from("<HH", self.blob, table + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.blob, table + 16 + 8 * i)
                yield ident, target

        for type_id, type_target in entries(root):
            for name_id, name_target in entries(root + (type_target & 0x7FFFFFFF)):
                language_table = root + (name_target & 0x7FFFFFFF)
                _, leaf = next(entries(language_table))
                data_rva, data_size = struct.unpack_from("<II", self.blob, root + leaf)
                start = self.offset(data_rva)
                found[(type_id, name_id)] = self.blob[start:start + data_size]
        return found

    def resource_entries(self):
        """[(type, name, language, data bytes)] of every resource; a type or name given as
        a string is returned as that string, a number as the number."""
        rva, size = self.directories[2]
        if not size:
            return []
        root = self.offset(rva)

        def entries(table):
            named, numbered = struct.unpack_from("<HH", self.blob, table + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.blob, table + 16 + 8 * i)
                if ident & 0x80000000:
                    at = root + (ident & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.blob, at)[0]
                    ident = self.blob[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield ident, root + (target & 0x7FFFFFFF)

        found = []
        for kind, names in entries(root):
            for name, languages in entries(names):
                for language, leaf in entries(languages):
                    data_rva, data_size = struct.unpack_from("<II", self.blob, leaf)
                    start = self.offset(data_rva)
                    found.append((kind, name, language, self.blob[start:start + data_size]))
        return found

    def string(self, ident):
        block = self.resources().get((RT_STRING, ident // 16 + 1))
        if block is None:
            return None
        at = 0
        for index in range(16):
            length = struct.unpack_from("<H", block, at)[0]
            text = block[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            if index == ident % 16:
                return text if length else None
            at += 2 + 2 * length
        return None

    def bitmap(self, ident):
        """(width, height, bits per pixel, colour table entries) of an RT_BITMAP."""
        data = self.resources().get((RT_BITMAP, ident))
        if data is None:
            return None
        size, width, height, _, bits, _, _, _, _, used = struct.unpack_from("<IiiHHIIiiI", data, 0)
        colours = used or (1 << bits if bits <= 8 else 0)
        return width, abs(height), bits, colours

    def version_string(self, table, key):
        data = self.resources().get((RT_VERSION, 1))
        if data is None:
            return None
        text = data.decode("utf-16-le", errors="replace")
        at = text.find(table)
        if at < 0:
            return None
        at = text.find(key + "\0", at)
        if at < 0:
            return None
        value = text[at + len(key):].lstrip("\0")
        return value[:value.index("\0")]

    def dialog(self, ident):
        """A DIALOG template: (style, (x, y, cx, cy), caption, (points, face), controls), each
        control (id, class, text, style, (x, y, cx, cy)); a class or text given by number is
        that number."""
        data = self.resources().get((RT_DIALOG, ident))
        if data is None:
            return None

        def name(at):
            if struct.unpack_from("<H", data, at)[0] == 0xFFFF:
                return struct.unpack_from("<H", data, at + 2)[0], at + 4
            end = at
            while struct.unpack_from("<H", data, end)[0]:
                end += 2
            return data[at:end].decode("utf-16-le"), end + 2

        style, _, count, *box = struct.unpack_from("<IIHhhhh", data, 0)
        _, at = name(18)            # menu
        _, at = name(at)            # class
        caption, at = name(at)
        font = None
        if style & 0x40:            # DS_SETFONT
            points = struct.unpack_from("<H", data, at)[0]
            face, at = name(at + 2)
            font = (points, face)
        controls = []
        for _ in range(count):
            at = (at + 3) & ~3
            control_style, _, x, y, cx, cy, ident_ = struct.unpack_from("<IIhhhhH", data, at)
            kind, at = name(at + 18)
            text, at = name(at)
            extra = struct.unpack_from("<H", data, at)[0]
            at += 2 + extra
            controls.append((ident_ if ident_ != 0xFFFF else -1, kind, text, control_style, (x, y, cx, cy)))
        return style, tuple(box), caption, font, controls
