#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (run from fuzz/)."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "agentlink_frame")


def frame(ftype, wparam, lparam, payload=b"", length=None):
    n = len(payload) if length is None else length
    return struct.pack("<IIII", n, ftype, wparam, lparam) + payload


def seed(name, seed_word, body):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(struct.pack("<I", seed_word) + body)


os.makedirs(OUT, exist_ok=True)
ip = struct.unpack("<I", bytes([192, 168, 1, 10]))[0]
seed("header_only_online", 1, frame(0, ip, 1529))
seed("three_small", 7, frame(2, 0, 1525, struct.pack("<II", 8001, 8002) + b"\0" * 44)
     + frame(2, 8, 1526, struct.pack("<II", ip, 1)) + frame(0, ip, 1530))
seed("inline_edge", 11, frame(1, ip, 1536, b"a" * 4096) + frame(1, ip, 1538, b"b" * 4097))
seed("heap_5000", 13, frame(0, 0, 1532, bytes(range(256)) * 19 + b"x" * 136))
seed("over_limit", 17, frame(2, 0, 1525, length=16 * 1024 * 1024 + 1) + b"zz")
seed("at_limit_header", 19, frame(3, 0, 1527, length=16 * 1024 * 1024) + b"partial")
seed("torn_tail", 23, frame(3, 0, 1547, "策略".encode("utf-16-le") + b"\0" * 124) + b"\x10\0\0")
seed("many_tiny", 29, b"".join(frame(i % 4, i, 1525 + i % 35) for i in range(64)))


# The other readers' seeds: real files and answers, as the tests and the service use them.
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def put(target, name, data):
    os.makedirs(os.path.join(ROOT, target), exist_ok=True)
    with open(os.path.join(ROOT, target, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("utf-8"))


def u16(text):
    return text.encode("utf-16-le")


def field16(text, units):
    return (u16(text) + b"\0" * (2 * units))[: 2 * units]


put("link_records", "run_state", struct.pack("<I", 1) + u16("每日完整性检查") + b"\0\0")
put("link_records", "run_log_failed", struct.pack("<I", 3) + field16("每日完整性检查", 64) + u16("磁盘已满") + b"\0\0")
put("link_records", "client_online", struct.pack("<II", ip, 1))
put("link_records", "server_settings", struct.pack("<II", 8001, 8002) + field16("secret", 22))
put("link_records", "short_name", b"\x01\0\0\0" + u16("a" * 70))

put("remote_listing", "drives", b"\0" + u16('<drives><drive mask="16"/></drives>'))
put("remote_listing", "directories",
    b"\1" + u16('<dir><item name="Windows" sub="1"/><item name="数据 &amp; &lt;日志&gt;" sub="0"/></dir>'))
put("remote_listing", "entries",
    b"\2" + '<files><item name="说明.txt" file="1" sub="0"/><item name="系统" file="0" sub="1"/></files>'.encode())
put("remote_listing", "entries_unclosed", b"\2" + b'<dir><item name="x" sub="1"></dir>')

NAMES = ["strategyname", "strategydescriptor", "strategytype", "selecteditem", "itemattribute",
         "devicetype", "logintype", "userid", "loginid", "manageid", "selectedfolder", "filtertype",
         "selectedfiletype", "taskmode", "starttime", "numofday", "numofweek", "whichweek",
         "whichmonth", "mode", "dayofmonth", "weekofmonth", "dayofweek", "overtime", "isautodelete",
         "isstoptask", "numofhours", "numofmunites", "isstarthips", "ishistorycopy", "issaveplave",
         "isreport", "isjixiandata", "filterbehavior", "defaultrule", "numofhistorycopy", "saveplace",
         "reportplace", "ip", "status", "id", "ignorefolder"]


def strategy(name, count=42):
    values = [name, "描述 & 说明", "1", "C:\\Windows", "7"] + [str(i) for i in range(5, 42)]
    return "<strategy " + " ".join('%s="%s"' % (NAMES[i], values[i].replace("&", "&amp;"))
                                   for i in range(count)) + " />"


put("strategy_xml", "export_gbk", ("<strategys>\n    " + strategy("测试") + "\n    " + strategy("每日")
                                   + "\n</strategys>\n").encode("gbk"))
put("strategy_xml", "empty", "<strategys />\n")
put("strategy_xml", "short_row", "<strategys>" + strategy("a") + strategy("b", 41) + "</strategys>")

ROW = '    <report ReportName="%s" StrategyName="%s" ProduceTime="%s" CreaterName="%s" DetailContent="%s" />\r\n'
put("report_list", "empty", "<reports />\r\n")
put("report_list", "rows_gbk", ("<reports>\r\n" + ROW % ("周报", "每日检查", "2024-05-06 07:08:09.123", "3", "a &amp; b&#x0A;")
                                + ROW % ("月报", "", "", "", "") + "</reports>\r\n").encode("gbk"))
put("report_list", "rows_utf8_bom", b"\xef\xbb\xbf" + ("<reports>\r\n" + ROW % ("报告", "策略", "2024-01-01 00:00:00", "-2147483648", "内容")
                                                      + "</reports>\r\n").encode())
put("report_list", "declared_utf8", '<?xml version="1.0" encoding="UTF-8"?><reports><report a="x" b="y" c="" d="1" e=""/></reports>')

CONFIG = ('<config>\n  <port DSN="Quorvane" Database="Quorvane" Description="Quorvane monitoring database"\n'
          '        IP="127.0.0.1" SqlName="sa" SqlPass=""%s/>\n</config>\n')
put("sysserver_config", "readme", CONFIG % "")
put("sysserver_config", "update_url", CONFIG % ' UpdateUrl="http://updates.example/quorvane/"')
put("sysserver_config", "utf8_bom", b"\xef\xbb\xbf" + '<c><port DSN="监测" SqlPass="密码"/></c>'.encode())
put("sysserver_config", "gbk", '<c><port DSN="监测" IP="服务器"/></c>'.encode("gbk"))
put("sysserver_config", "bang", "<r><port DSN='a!b'/><port DSN='b'/></r>")
# Character references in files read in the code page: its character there, or refused.
for head, name in (("", "none"), ('<?xml version="1.0" encoding="GBK"?>', "gbk"),
                   ('<?xml version="1.0" encoding="ISO-8859-1"?>', "latin1")):
    put("report_list", "references_code_page_" + name, (head + "<!-- &# --><?pi &#?><reports><report a=\"&#x5F20;V0报告\" "
        "b=\"&#24352;\" c=\"\" d=\"Caf&#233;\" e=\"&amp;#x5F20;" + ("&#128512;" if name == "none" else "") +
        "\"/></reports>").encode("gbk"))
put("strategy_xml", "references_code_page", ("<?pi &#?><strategys>" + strategy("&#x5F20;报告&#233;") +
                                             "</strategys>").encode("gbk"))
put("sysserver_config", "references_code_page", '<c><port DSN="&#x76D1;测" Description="Caf&#xE9;"/></c>'.encode("gbk"))

put("update_version", "newer", b"\x01" + b"1.0.0.2")
put("update_version", "short_form", b"\x02" + b"2.0")
put("update_version", "line_end", b"\x03" + b"1.0.0.1\r\n")
put("update_version", "broken_read", b"\x85" + b"3.1.4.1")
put("update_version", "over_limit", b"\x07" + b"9" * 4097)

put("file_diff", "changed_gbk", b"\x00\x20\x00" + ("a\r\nb\r\n变更前\r\nc\n").encode("gbk")[:32].ljust(32, b"x")
    + "a\r\nb\r\n变更后\r\nd\r\nc\n".encode("gbk"))
put("file_diff", "indent_case", b"\x03\x0c\x00" + b"\tAbc\n  x\nY\n" + b"abc\nx\n  y\nz")
put("file_diff", "markup", b"\x00\x10\x00" + b"<b>&amp;</b>\n\t\tq\n" + b"<b>&</b>\n\t\tq\n")
put("link_records", "checklist_mask", '<checklist><options mask="4294967295"/></checklist>')

# Markup the nesting guard and the parser once read apart, each a few bytes that go
# deeper than a small limit: a UTF-8 lead byte that swallows the "<" of a comment behind
# it (every lead byte), a character reference whose digits run over markup, and a
# declaration whose quoted version holds the ">" the guard stopped at.
DEEP = b"<a><a><a>"
LEADS = [bytes([b]) for b in range(0xC2, 0xF5)]
READ_APART = {
    "reference_hex_over_comment": b"<r>&#x<!--x;" + DEEP,
    "reference_dec_over_comment": b"<r>&#<!--#;" + DEEP,
    "reference_over_quote": b'<r a="&#x"x;">' + DEEP,
    "declaration_quote_over_comment": b'<?xml version="><!--"?><r>' + DEEP,
    "inner_declaration_quote": b'<r><?xml version="><!--"?>' + DEEP,
    "lead_f0_past_limit": b"<r>\xf0<!--" + b"<a>" * 40,
}
for lead in LEADS:
    put("remote_listing", "lead_%02x_over_comment" % lead[0], b"\2<r>" + lead + b"<!--" + DEEP)
for name, text in READ_APART.items():
    put("remote_listing", name, b"\2" + text)
    put("strategy_xml", name, text)
    put("report_list", name, text)
    put("sysserver_config", name, text)
    put("link_records", "mask_" + name, text)
put("remote_listing", "directories_reference_over_comment", b"\1" + u16("<r>&#x<!--x;<a><a><a>"))
for lead in (b"\xc2", b"\xdf", b"\xe0", b"\xed", b"\xef", b"\xf0", b"\xf4"):
    put("report_list", "bom_lead_%02x_over_comment" % lead[0], b"\xef\xbb\xbf<r>" + lead + b"<!--" + DEEP)
    put("report_list", "declared_lead_%02x_over_comment" % lead[0],
        b'<?xml version="1.0" encoding="UTF-8"?><r>' + lead + b"<!--" + DEEP)
    put("sysserver_config", "bom_lead_%02x_over_comment" % lead[0], b"\xef\xbb\xbf<r>" + lead + b"<!--" + DEEP)
    put("link_records", "mask_lead_%02x_over_comment" % lead[0], b"<r>" + lead + b"<!--" + DEEP)


# A small executable's headers: one section whose data lies inside the file, and the
# symbol table with its string table behind it; the same cut inside the section.
def executable(cut=None):
    dos = b"MZ" + b"\0" * 58 + struct.pack("<I", 64)
    optional = struct.pack("<H", 0x10B) + b"\0" * 90 + struct.pack("<I", 16) + b"\0" * 128
    coff = struct.pack("<HHIIIHH", 0x14C, 1, 0, 512, 1, len(optional), 0x102)
    section = b".text\0\0\0" + struct.pack("<IIIIIIHHI", 16, 0x1000, 256, 256, 0, 0, 0, 0, 0x60000020)
    head = (dos + b"PE\0\0" + coff + optional + section).ljust(256, b"\0")
    body = head + b"\xc3" * 256 + b"\0" * 18 + struct.pack("<I", 4)
    return body[:cut] if cut else body


put("update_version", "executable_whole", b"\x04" + executable())
put("update_version", "executable_cut", b"\x04" + executable(400))


# Texts of a few hundred kilobytes in the shapes that make the checks before the parse
# (or the parser) work hardest: one reference open from the first of many "&#" to the one
# ";" (the checks once took the square of its length), nesting and attributes up to what
# is let through, an element with far more attributes than that, long runs of multi-byte
# characters, many declarations and comments. Each must run within the replay's time
# limit per input.
HOSTILE_BYTES = 192 * 1024


def repeat(head, unit, tail, size=HOSTILE_BYTES):
    head, unit, tail = head.encode(), unit.encode(), tail.encode()
    return head + unit * ((size - len(head) - len(tail)) // len(unit)) + tail


def many_attributes(count):
    return "<a" + "".join(' a%d=""' % i for i in range(count)) + "/>"


HOSTILE = {
    "references": repeat("<r>", "&#", ";</r>"),
    "hex_references": repeat("<r>", "&#x", ";</r>"),
    "nesting": repeat("<r>", "<a>" * 31 + "</a>" * 31, "</r>"),
    "multibyte": repeat("<r>", "é中😀", "</r>"),
    "declarations_comments": repeat('<?xml version="1.0"?><r>', "<!-- c --><?xml version='1.0'?>", "</r>"),
    # The parser itself looks up each attribute among those before it: half the size.
    "attributes": repeat("<r>", many_attributes(256), "</r>", HOSTILE_BYTES // 2),
    "one_element_attributes": ("<r>" + many_attributes(20000) + "</r>").encode(),
}
for name, data in HOSTILE.items():
    put("strategy_xml", "hostile_" + name, data)
    put("report_list", "hostile_" + name, data)
    put("sysserver_config", "hostile_" + name, data)
for name in ("references", "nesting", "multibyte", "one_element_attributes"):
    put("remote_listing", "hostile_" + name, b"\2" + HOSTILE[name])
for name in ("references", "multibyte"):
    put("remote_listing", "hostile_utf16_" + name, b"\1" + u16(HOSTILE[name].decode()))
for name in ("references", "one_element_attributes"):
    put("link_records", "mask_hostile_" + name, HOSTILE[name])
