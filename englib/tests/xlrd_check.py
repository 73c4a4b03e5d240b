#!/usr/bin/python3
"""Reads back every sheet the writer's tests produced with xlrd and compares it with the description
the test left beside it (same name, .json). Exit status 0 only when every sheet matches."""
import json
import os
import struct
import sys

import xlrd
from xlrd.book import Book

DEFAULT_FORMATS = [
    'General', '0', '0.00', '#,##0', '#,##0.00',
    '#,##0\\ "$";\\-#,##0\\ "$"', '#,##0\\ "$";[Red]\\-#,##0\\ "$"',
    '#,##0.00\\ "$";\\-#,##0.00\\ "$"', '#,##0.00\\ "$";[Red]\\-#,##0.00\\ "$"',
    '0%', '0.00%', '0.00E+00', 'dd/mm/yy', 'dd/\\ mmm\\ yy', 'dd/\\ mmm', 'mmm\\ yy',
    'h:mm\\ AM/PM', 'h:mm:ss\\ AM/PM', 'hh:mm', 'hh:mm:ss', 'dd/mm/yy\\ hh:mm', '##0.0E+0', 'mm:ss', '@',
]


class Mismatch(Exception):
    pass


def expect(cond, what):
    if not cond:
        raise Mismatch(what)


def raw_records(data):
    """The record stream as xlrd's own reader walks it."""
    devnull = open(os.devnull, 'w')
    bk = Book()
    bk.biff2_8_load(file_contents=data, logfile=devnull, formatting_info=True)
    records = []
    while bk._position < len(bk.mem):
        expect(bk._position + 4 <= len(bk.mem), 'truncated record header')
        code, length, body = bk.get_record_parts()
        expect(len(body) == length, 'record 0x%04x runs past the end' % code)
        records.append((code, body))
        if code == 0x000A:
            break
    expect(records and records[0][0] == 0x0009, 'no BOF first')
    expect(records[-1][0] == 0x000A, 'no EOF last')
    expect(bk._position == len(bk.mem), 'bytes after EOF')
    return records


def check(folder, desc):
    path = os.path.join(folder, desc['file'])
    if desc['absent']:
        expect(not os.path.exists(path), 'file exists but should not')
        return
    with open(path, 'rb') as f:
        data = f.read()
    records = raw_records(data)
    codes = [c for c, _ in records]
    expect(0x002F not in codes, 'FILEPASS record present')
    expect(records[1] == (0x001F, struct.pack('<H', 23)), 'FORMATCOUNT 23 expected after BOF')

    book = xlrd.open_workbook(file_contents=data, formatting_info=True, logfile=open(os.devnull, 'w'))
    expect(book.biff_version in (20, 21), 'not read as BIFF2: %r' % book.biff_version)
    expect(book.nsheets == 1, 'sheet count %d' % book.nsheets)
    sh = book.sheet_by_index(0)

    # Formats: the 24 built-ins in index order.
    for i, fmt in enumerate(DEFAULT_FORMATS):
        expect(book.format_map[i].format_str == fmt, 'format %d is %r' % (i, book.format_map[i].format_str))

    # Cells: value, type, font, format, alignment and borders, protection; nothing else present.
    seen = 0
    for r in range(sh.nrows):
        for c in range(sh.row_len(r)):
            if sh.cell_type(r, c) != xlrd.XL_CELL_EMPTY:
                seen += 1
    expect(seen == len(desc['cells']), '%d cells in the sheet, %d written' % (seen, len(desc['cells'])))
    for row, col, kind, value, font, fmt, align, protection in desc['cells']:
        where = 'cell (%d,%d)' % (row, col)
        cell = sh.cell(row, col)
        if kind == 'number':
            expect(cell.ctype == xlrd.XL_CELL_NUMBER, '%s type %d' % (where, cell.ctype))
            expect(cell.value == value, '%s value %r, expected %r' % (where, cell.value, value))
        else:
            expect(cell.ctype == xlrd.XL_CELL_TEXT, '%s type %d' % (where, cell.ctype))
            expect(cell.value == value, '%s text %r, expected %r' % (where, cell.value, value))
        xf = book.xf_list[sh.cell_xf_index(row, col)]
        expect(xf.font_index == font, '%s font %d' % (where, xf.font_index))
        expect(xf.format_key == fmt, '%s format %d' % (where, xf.format_key))
        expect(xf.alignment.hor_align == align & 7, '%s alignment %d' % (where, xf.alignment.hor_align))
        for bit, side in ((8, 'left'), (16, 'right'), (32, 'top'), (64, 'bottom')):
            has = getattr(xf.border, side + '_line_style') != 0
            expect(has == bool(align & bit), '%s %s border' % (where, side))
        expect(bool(xf.background.fill_pattern) == bool(align & 128), '%s shading' % where)
        expect(xf.protection.cell_locked == bool(protection & 64), '%s locked' % where)
        expect(xf.protection.formula_hidden == bool(protection & 128), '%s hidden' % where)

    # Fonts in order of writing (xlrd slots a dummy in at index 4, as the format reserves it).
    fonts = [f for i, f in enumerate(book.font_list) if not (i == 4 and f.name == 'Dummy Font')]
    expect(len(fonts) == len(desc['fonts']), '%d fonts, %d written' % (len(fonts), len(desc['fonts'])))
    for f, (name, twips, bits) in zip(fonts, desc['fonts']):
        expect(f.name == name and f.height == twips, 'font %r %d' % (f.name, f.height))
        got = f.bold | f.italic << 1 | f.underlined << 2 | f.struck_out << 3
        expect(got == bits, 'font %r attributes %d, expected %d' % (name, got, bits))

    widths = {c: info.width for c, info in sh.colinfo_map.items()}
    expect(widths == {c: w for c, w in desc['widths']}, 'column widths %r' % widths)
    heights = {r: info.height for r, info in sh.rowinfo_map.items()}
    expect(heights == {r: h for r, h in desc['heights']}, 'row heights %r' % heights)
    # xlrd knows only the later DEFAULTROWHEIGHT (0x0225); the BIFF2 one is read from the records.
    default_heights = [struct.unpack('<H', b)[0] for c, b in records if c == 0x0025]
    expect(default_heights[-1:] == ([desc['default_height']] if desc['default_height'] is not None else []),
           'default row height %r' % default_heights)
    breaks = [b[0] for b in sh.horizontal_page_breaks]
    expect(breaks == desc['breaks'], 'page breaks %r' % breaks)
    if not desc['breaks']:
        expect(0x001B not in codes, 'HORIZONTALPAGEBREAKS without breaks')

    # Settings xlrd keeps no attribute for, read from the records its reader returns.
    margins = {c: struct.unpack('<d', b)[0] for c, b in records if 0x26 <= c <= 0x29}
    expect(margins == {o: v for o, v in desc['margins']}, 'margins %r' % margins)

    def counted(code):
        found = [b for c, b in records if c == code]
        if not found:
            return None
        body = found[-1]
        expect(len(body) == body[0] + 1, 'length byte of 0x%04x' % code)
        return body[1:].decode('latin-1')
    expect(counted(0x0014) == desc['header'], 'header %r' % counted(0x0014))
    expect(counted(0x0015) == desc['footer'], 'footer %r' % counted(0x0015))
    flags = [[c, struct.unpack('<H', b)[0]] for c, b in records if c in (0x002B, 0x0012)]
    expect(flags == desc['flags'], 'grid/protect flags %r' % flags)


def main():
    folder = sys.argv[1]
    descriptions = sorted(n for n in os.listdir(folder) if n.endswith('.json'))
    if not descriptions:
        print('no sheets to check in', folder)
        return 1
    failed = 0
    for name in descriptions:
        with open(os.path.join(folder, name), encoding='utf-8') as f:
            desc = json.load(f)
        try:
            check(folder, desc)
            print('ok  ', desc['file'])
        except Mismatch as e:
            failed += 1
            print('FAIL', desc['file'], '-', e)
        except Exception as e:  # a reader that cannot open the file at all
            failed += 1
            print('FAIL', desc['file'], '- unreadable:', repr(e))
    print('%d sheets checked, %d failed' % (len(descriptions), failed))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
