"""Reading a package the way Windows does, from its bytes: the zip's central directory with each
entry's raw name, flags and local header, and the section names of a PE program."""
import struct
import zlib

UTF8_FLAG = 0x800


class Entry:
    def __init__(self, raw_name, flags, method, clock, date, crc, data, local_name,
                 local_flags):
        self.raw_name = raw_name
        self.flags = flags
        self.method = method
        self.clock = clock
        self.date = date
        self.crc = crc
        self.data = data
        self.local_name = local_name
        self.local_flags = local_flags


def central_directory(archive):
    """The entries in the order of the central directory, their data inflated from the local
    headers they point at."""
    end = archive.rfind(b"PK\x05\x06")
    if end < 0:
        raise ValueError("no end of central directory")
    count, size, start = struct.unpack_from("<HII", archive, end + 10)
    entries = []
    at = start
    for _ in range(count):
        if archive[at:at + 4] != b"PK\x01\x02":
            raise ValueError("bad central header at %d" % at)
        (flags, method, clock, date, crc, packed_size, size_, name_len, extra_len, comment_len,
         offset) = struct.unpack_from("<8xHHHHIIIHHH8xI", archive, at)
        raw_name = archive[at + 46:at + 46 + name_len]
        at += 46 + name_len + extra_len + comment_len
        if archive[offset:offset + 4] != b"PK\x03\x04":
            raise ValueError("bad local header at %d" % offset)
        local_flags, local_name_len, local_extra_len = struct.unpack_from("<2xH18xHH", archive,
                                                                          offset + 4)
        local_name = archive[offset + 30:offset + 30 + local_name_len]
        body = offset + 30 + local_name_len + local_extra_len
        packed = archive[body:body + packed_size]
        data = zlib.decompress(packed, -15) if method == 8 else packed
        if len(data) != size_:
            raise ValueError("size of %r" % raw_name)
        entries.append(Entry(raw_name, flags, method, clock, date, crc, data, local_name,
                             local_flags))
    return entries


def pe_link_time(program):
    """The TimeDateStamp field of a PE program's file header."""
    pe = struct.unpack_from("<I", program, 0x3C)[0]
    return struct.unpack_from("<I", program, pe + 8)[0]


def pe_sections(program):
    """Names of a PE program's sections; long names (/4 and the like) read from the string
    table, as the GNU tools write .debug_* sections."""
    pe = struct.unpack_from("<I", program, 0x3C)[0]
    if program[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE program")
    count, = struct.unpack_from("<H", program, pe + 6)
    symbols, symbol_count = struct.unpack_from("<II", program, pe + 12)
    optional_size, = struct.unpack_from("<H", program, pe + 20)
    table = pe + 24 + optional_size
    names = []
    for i in range(count):
        raw = program[table + 40 * i:table + 40 * i + 8].rstrip(b"\0")
        if raw.startswith(b"/") and symbols:
            strings = symbols + 18 * symbol_count
            at = strings + int(raw[1:])
            raw = program[at:program.index(b"\0", at)]
        names.append(raw.decode("latin-1"))
    return names
