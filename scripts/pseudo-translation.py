#!/usr/bin/env python3
"""Writes a pseudo translation of an English Qt Linguist file: every text wrapped in
the markers ⟦ ⟧, its letters accented and the whole about 40 % longer, so that a run
of the program in it shows any text that is not translated (no markers) and any text
its window cuts off (the closing marker missing).

The parts a program relies on stay as they are: printf conversions (%d, %-8.2f, %%),
Qt's %1 ... %99, '&' mnemonics, line breaks and leading blanks.

    pseudo-translation.py translations/veltrix_en.ts build/veltrix_en_XA.ts
"""
import re
import sys
import xml.etree.ElementTree as ElementTree

OPEN, CLOSE = '\u27e6', '\u27e7'
ACCENTS = str.maketrans('aeiouyAEIOUYcnCN', 'áéíóúýÁÉÍÓÚÝçñÇÑ')
# Kept whole: a printf conversion, a Qt place marker, a mnemonic, a line break.
KEPT = re.compile(r'%[-+ #0]*(?:\d+|\*)?(?:\.(?:\d+|\*))?(?:hh|h|ll|l|L|q|j|z|t|I64|I32|I)?'
                  r'[diouxXcsfFeEgGaAn%]|%\d{1,2}|&.|\n')
GROWTH = 0.4


def pseudo_line(line):
    """One line: accented, padded by 40 % of its length."""
    out, pos = [], 0
    for kept in KEPT.finditer(line):
        out.append(line[pos:kept.start()].translate(ACCENTS))
        out.append(kept.group(0))
        pos = kept.end()
    out.append(line[pos:].translate(ACCENTS))
    padding = '·' * max(1, round(len(line.strip()) * GROWTH))
    return ''.join(out) + padding if line.strip() else line


def pseudo(text):
    lines = text.split('\n')
    body = '\n'.join(pseudo_line(line) for line in lines)
    indent = len(body) - len(body.lstrip(' '))
    return body[:indent] + OPEN + body[indent:] + CLOSE


def main(source, target):
    tree = ElementTree.parse(source)
    root = tree.getroot()
    root.set('language', 'en_XA')
    for message in root.iter('message'):
        translation = message.find('translation')
        translation.text = pseudo(message.findtext('source', ''))
        translation.attrib.pop('type', None)
    tree.write(target, encoding='utf-8', xml_declaration=True)


if __name__ == '__main__':
    main(*sys.argv[1:])
