#!/usr/bin/env python3
"""Writes reference.html: a help page of exactly 128000 bytes used by the
benchmarks (headings, paragraphs with links and styles, lists, tables,
preformatted text, entities, images). Deterministic: the same bytes on every run.

    python3 bench/pages/make_reference.py [OUTPUT]
"""
import random
import sys
from pathlib import Path

PAGE_SIZE = 128000
EOL = "\r\n"

WORDS = (
    "the viewer shows each page of help with its pictures links and tables when you choose "
    "a topic from the contents list press the back button to return to the page you read "
    "before or use forward to go again to the later page font size changes the text of "
    "every page print sends the page to the printer copy puts all text on the clipboard "
    "settings are kept in the file beside the program and read again at the next start "
    "package index entry offset image bitmap anchor heading paragraph window toolbar"
).split()

TOPICS = ["contents", "using_viewer", "keyboard", "images", "packing", "troubleshooting",
          "startup_pages", "host_integration", "writing_pages", "glossary"]


def sentence(rng, lo=6, hi=18):
    words = [rng.choice(WORDS) for _ in range(rng.randint(lo, hi))]
    words[0] = words[0].capitalize()
    return " ".join(words) + rng.choice([".", ".", ".", ":", ";"])


def styled(rng, text):
    kind = rng.randrange(9)
    if kind == 0:
        return "<b>%s</b>" % text
    if kind == 1:
        return "<i>%s</i>" % text
    if kind == 2:
        return '<a href="%s.html#s%d">%s</a>' % (rng.choice(TOPICS), rng.randrange(40), text)
    if kind == 3:
        return "<tt>%s</tt>" % text
    if kind == 4:
        return '<font color="#%06X" size=+1>%s</font>' % (rng.randrange(1 << 24), text)
    if kind == 5:
        return "<em>%s</em> &amp; <strong>more</strong>" % text
    return text


def paragraph(rng):
    parts = []
    for _ in range(rng.randint(2, 5)):
        s = sentence(rng).split(" ")
        i = rng.randrange(len(s))
        j = min(len(s), i + rng.randint(1, 3))
        s[i:j] = [styled(rng, " ".join(s[i:j]))]
        parts.append(" ".join(s))
    text = " ".join(parts)
    # Wrap like a hand-written page.
    out, line = [], ""
    for word in text.split(" "):
        if len(line) + len(word) > 90:
            out.append(line)
            line = word
        else:
            line = (line + " " + word) if line else word
    out.append(line)
    return "<p>" + EOL.join(out) + EOL


def entities_line(rng):
    picks = ["&copy;", "&reg;", "&nbsp;", "&lt;tag&gt;", "&quot;quoted&quot;", "&eacute;",
             "&uuml;", "&#169;", "&#65;", "&frac12;", "&deg;", "&plusmn;", "&middot;"]
    return "<p>Symbols: " + " ".join(rng.choice(picks) for _ in range(10)) + EOL


def bullet_list(rng):
    tag = rng.choice(["ul", "ol"])
    lines = ["<%s>" % tag]
    for _ in range(rng.randint(3, 6)):
        lines.append("<li>" + styled(rng, sentence(rng, 4, 10)))
    lines.append("</%s>" % tag)
    return EOL.join(lines) + EOL


def table(rng):
    cols = rng.randint(2, 4)
    lines = ['<table border=1 cellpadding=4 cellspacing=0 width="90%">',
             "<caption>Table of " + rng.choice(WORDS) + " settings</caption>",
             "<tr>" + "".join('<th align=left bgcolor="#C0C0C0">%s</th>' % rng.choice(WORDS).title()
                              for _ in range(cols))]
    for _ in range(rng.randint(3, 6)):
        cells = "".join('<td valign=top>%s</td>' % styled(rng, sentence(rng, 2, 6))
                        for _ in range(cols))
        lines.append("<tr>" + cells)
    lines.append("</table>")
    return EOL.join(lines) + EOL


def option_table(rng):
    # Options and their meaning: percentage widths, alternating row colours.
    lines = ['<table border=1 cellpadding=3 cellspacing=0 width="100%">',
             '<tr><th width="25%" bgcolor="#DDE8F6">Option</th>'
             '<th width="15%" bgcolor="#DDE8F6">Default</th><th bgcolor="#DDE8F6">Meaning</th></tr>']
    for i in range(rng.randint(3, 7)):
        colour = ' bgcolor="#F4F4F4"' if i % 2 else ""
        lines.append('<tr><td%s><tt>%s</tt></td><td align=center%s>%d</td><td%s>%s</td></tr>'
                     % (colour, rng.choice(WORDS), colour, rng.randrange(100), colour,
                        styled(rng, sentence(rng, 4, 10))))
    lines.append("</table>")
    return EOL.join(lines) + EOL


def span_table(rng):
    # Header cells spanning rows and columns above a grid of values.
    lines = ['<table border=1 cellpadding=2 cellspacing=1 bordercolor="#808080">',
             '<tr><th rowspan=2>%s</th><th colspan=2>%s</th><th colspan=2>%s</th></tr>'
             % tuple(rng.choice(WORDS).title() for _ in range(3)),
             "<tr>" + "".join("<th>%s</th>" % rng.choice(WORDS) for _ in range(4)) + "</tr>"]
    for _ in range(rng.randint(2, 5)):
        lines.append("<tr><td>%s</td>" % rng.choice(TOPICS) +
                     "".join("<td align=right>%d</td>" % rng.randrange(1000) for _ in range(4)) +
                     "</tr>")
    lines.append("</table>")
    return EOL.join(lines) + EOL


def layout_table(rng):
    # A borderless layout table: icons beside their explanations.
    lines = ["<table border=0 cellpadding=4 cellspacing=0>"]
    for _ in range(rng.randint(2, 4)):
        icon = rng.choice(["images/back.gif", "images/print.gif", "images/toolbar.gif"])
        lines.append('<tr><td valign=top><img src="%s" width=16 height=16 alt="%s"></td>'
                     '<td>%s</td></tr>' % (icon, rng.choice(WORDS), styled(rng, sentence(rng))))
    lines.append("</table>")
    return EOL.join(lines) + EOL


def nested_table(rng):
    # A note box: a coloured one-cell table holding a small table of its own.
    inner = "".join("<tr><td><b>%s</b></td><td>%s</td></tr>" % (rng.choice(WORDS),
                                                               sentence(rng, 3, 7))
                    for _ in range(rng.randint(2, 3)))
    return ('<table width="80%%" align=center bgcolor="#FFFFE0" border=1 cellpadding=6>'
            "<tr><td><b>Note:</b> %s%s<table cellpadding=2>%s</table></td></tr></table>%s"
            % (sentence(rng), EOL, inner, EOL))


def pre_block(rng):
    lines = ["<pre>"]
    for i in range(rng.randint(4, 8)):
        lines.append("  %-12s,%6d   ; %s" % (rng.choice(TOPICS) + ".html", rng.randrange(99999),
                                             " ".join(rng.choice(WORDS) for _ in range(3))))
    lines.append("</pre>")
    return EOL.join(lines) + EOL


def image(rng):
    name = rng.choice(["images/toolbar.gif", "images/window.bmp", "images/photo.jpg",
                       "images/back.gif", "images/print.gif"])
    return ('<p><img src="%s" alt="%s" width=%d height=%d align=%s hspace=4> %s%s'
            % (name, rng.choice(WORDS), rng.randint(16, 300), rng.randint(16, 200),
               rng.choice(["left", "right", "middle"]), sentence(rng), EOL))


def build():
    rng = random.Random(128000)
    head = ("<html>" + EOL + "<head>" + EOL + "<title>KivHelp Reference Page</title>" + EOL +
            "<!-- generated by make_reference.py: a long help page for benchmarks -->" + EOL +
            "</head>" + EOL + '<body bgcolor="#FFFFFF" text=black link="#0000FF">' + EOL)
    tail = "</body>" + EOL + "</html>" + EOL
    body = []
    size = len(head) + len(tail)
    section = 0
    while True:
        section += 1
        chunk = ['<a name="s%d"></a><h%d align=left>%d. %s</h%d>%s'
                 % (section, 1 + section % 3, section, sentence(rng, 2, 5).rstrip(".:;"),
                    1 + section % 3, EOL)]
        for _ in range(rng.randint(3, 6)):
            chunk.append(rng.choice([paragraph, paragraph, paragraph, bullet_list, table,
                                     option_table, span_table, layout_table, nested_table,
                                     pre_block, image, entities_line])(rng))
        chunk.append("<hr size=1>" + EOL)
        text = "".join(chunk)
        if size + len(text) > PAGE_SIZE - 600:
            break
        body.append(text)
        size += len(text)
    # Fill the rest exactly with one last paragraph of words.
    room = PAGE_SIZE - size
    filler = "<p>"
    while len(filler) + len(EOL) < room:
        word = rng.choice(WORDS)
        filler += word + " "
    filler = filler[:room - len(EOL)] + EOL
    page = head + "".join(body) + filler + tail
    data = page.encode("latin-1")
    assert len(data) == PAGE_SIZE, len(data)
    return data


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("reference.html")
    out.write_bytes(build())


if __name__ == "__main__":
    main()
