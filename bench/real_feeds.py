#!/usr/bin/env python3
"""Real-shaped feed files in four families, written with a fixed seed.

    python3 real_feeds.py DIR [--files N] [--entries M] [--seed S]

writes DIR/atom, DIR/rdf, DIR/rss09 and DIR/rss20, N files of M entries each, with the variety
sites produce: namespaces and prefixes, xml:base and relative links, several links per entry,
Atom text/html/xhtml constructs, CDATA and references, Cyrillic, accented, CJK and emoji text,
the date forms in use (and none), missing titles and summaries, guid permalinks, UTF-8,
Windows-1251 and ISO-8859-1 files. Every file is well-formed XML: it is the mapping that is
compared, not the recovery from broken files.
"""
import argparse
import datetime
import os
import random
import re

from corpus import EN_WORDS, RU_WORDS, DAYS, MONTHS

ATOM = "http://www.w3.org/2005/Atom"
ATOM03 = "http://purl.org/atom/ns#"
XHTML = "http://www.w3.org/1999/xhtml"
RDF = "http://www.w3.org/1999/02/22-rdf-syntax-ns#"
RSS10 = "http://purl.org/rss/1.0/"
DC = "http://purl.org/dc/elements/1.1/"
CONTENT = "http://purl.org/rss/1.0/modules/content/"
WORLD = ["Café Müller öffnet wieder", "Zürich: Straßenbahn", "naïve façade à Paris",
         "東京の天気は晴れ", "北京新闻", "서울 뉴스", "Ελληνικά νέα", "Łódź i Kraków",
         "Emoji 🎉 и 😀 in titles", "São Paulo — ação", "Ålesund, Øresund", "Čeština ěščř"]
NAMED_ZONES = ("GMT", "UT", "EST", "EDT", "PST", "PDT", "CST", "MDT")
NUM_ZONES = ("+0300", "+0000", "-0500", "+0530", "+0900", "-0800", "+0100")


def esc(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def refs(s):
    """Characters beyond ASCII written as numeric references, as some generators do."""
    return "".join(c if ord(c) < 128 else f"&#{ord(c)};" for c in esc(s))


def attr(s):
    return esc(s).replace('"', "&quot;")


class Gen:
    def __init__(self, seed, entries):
        self.rng = random.Random(seed)
        self.serial = 0
        self.entries = entries  # per file

    def words(self, ru, n):
        pool = RU_WORDS if ru else EN_WORDS
        s = " ".join(self.rng.choice(pool) for _ in range(n))
        return s[0].upper() + s[1:]

    def title(self, ru):
        r = self.rng.random()
        t = self.words(ru, self.rng.randint(3, 9))
        if r < 0.15:
            return self.rng.choice(WORLD) + " — " + t
        if r < 0.25:
            return t + " & " + self.words(ru, 2) + ' "' + self.words(ru, 1) + '"'
        if r < 0.3:
            return t + " <3 > 2"
        if r < 0.35:
            return t + " — “" + self.words(ru, 2) + "” 😀"
        return t

    def wrapped(self, s):
        """Some sites indent their titles over several lines."""
        if self.rng.random() < 0.1 and " " in s:
            return "\n      " + s.replace(" ", "\n      ", 1) + "\n    "
        return s

    def html(self, ru, n):
        """An HTML fragment with the entry's serial number in its text."""
        rng = self.rng
        parts = [f"<p>{esc(self.words(ru, rng.randint(8, 20)))}. (#{n})</p>"]
        if rng.random() < 0.5:
            parts.append(f'<p><a href="https://ref.example.net/{n}">{esc(self.words(ru, 2))}</a>'
                         f" &amp; <b>{esc(self.rng.choice(WORLD))}</b></p>")
        if rng.random() < 0.2:
            parts.append(f'<img src="/img/{n}.jpg" alt="{attr(self.words(ru, 2))}"/>')
        return "".join(parts)

    def instant(self):
        rng = self.rng
        return (rng.randint(2003, 2026), rng.randint(1, 12), rng.randint(1, 28), rng.randint(0, 23),
                rng.randint(0, 59), rng.randint(0, 59))

    def rfc822(self):
        rng = self.rng
        y, mo, d, h, mi, s = self.instant()
        wd = DAYS[datetime.date(y, mo, d).weekday()]
        zone = rng.choice(NAMED_ZONES if rng.random() < 0.35 else NUM_ZONES)
        r = rng.random()
        if r < 0.1:
            return f"{d} {MONTHS[mo - 1]} {y} {h:02d}:{mi:02d}:{s:02d} {zone}"
        if r < 0.15:
            return f"{wd}, {d} {MONTHS[mo - 1]} {y} {h:02d}:{mi:02d} {zone}"
        return f"{wd}, {d:02d} {MONTHS[mo - 1]} {y} {h:02d}:{mi:02d}:{s:02d} {zone}"

    def w3c(self, short_ok=True):
        rng = self.rng
        y, mo, d, h, mi, s = self.instant()
        r = rng.random()
        zone = rng.choice(("Z", "+03:00", "-05:00", "+00:00", "+05:30", "+09:00", "-08:00"))
        if not short_ok and rng.random() < 0.1:
            zone = ""  # Atom 0.3 allowed a time without a zone
        if r < 0.15:
            return f"{y}-{mo:02d}-{d:02d}T{h:02d}:{mi:02d}:{s:02d}.{rng.randint(0, 999999):06d}{zone}"
        if r < 0.25:
            return f"{y}-{mo:02d}-{d:02d}T{h:02d}:{mi:02d}:{s:02d}.{rng.randint(0, 999):03d}{zone}"
        if short_ok and r < 0.3:
            return f"{y}-{mo:02d}-{d:02d}T{h:02d}:{mi:02d}{zone}"
        if short_ok and r < 0.33:
            return f"{y}-{mo:02d}-{d:02d}"
        return f"{y}-{mo:02d}-{d:02d}T{h:02d}:{mi:02d}:{s:02d}{zone}"

    def next_serial(self):
        self.serial += 1
        return self.serial


# ---------------------------------------------------------------------------------------- Atom

def atom_text(g, tag, text, ru, kind=None, p=""):
    """An Atom text construct: text, html (escaped or CDATA) or xhtml."""
    kind = kind or g.rng.choice(("plain", "plain", "text", "html", "html-cdata", "xhtml"))
    if kind == "plain":
        return f"<{p}{tag}>{esc(text)}</{p}{tag}>"
    if kind == "text":
        return f'<{p}{tag} type="text">{esc(text)}</{p}{tag}>'
    marked = esc(text).replace(" ", " <em>", 1) + "</em>" if " " in text else esc(text)
    if kind == "html":
        return f'<{p}{tag} type="html">{esc(marked)}</{p}{tag}>'
    if kind == "html03":
        return f'<{p}{tag} type="text/html" mode="escaped">{esc(marked)}</{p}{tag}>'
    if kind == "html-cdata":
        return f'<{p}{tag} type="html"><![CDATA[{marked}]]></{p}{tag}>'
    return (f'<{p}{tag} type="xhtml"><div xmlns="{XHTML}">{marked}</div></{p}{tag}>')


def atom_file(g, idx):
    rng = g.rng
    ru = idx % 3 == 0
    v03 = idx % 5 == 4
    prefixed = not v03 and idx % 7 == 3
    p = "atom:" if prefixed else ""
    ns = ATOM03 if v03 else ATOM
    host = f"https://{'blog' if idx % 2 else 'news'}{idx}.example.com"
    use_base = rng.random() < 0.5
    xmlns = f'xmlns:atom="{ns}"' if prefixed else f'xmlns="{ns}"'
    extra = f' xmlns:dc="{DC}"' + (f' xml:base="{host}/"' if use_base else "")
    out = ['<?xml version="1.0" encoding="utf-8"?>']
    if v03:
        out.append(f'<feed version="0.3" {xmlns}{extra} xml:lang="{"ru" if ru else "en"}">')
    else:
        out.append(f'<{p}feed {xmlns}{extra} xml:lang="{"ru" if ru else "en"}">')
    out.append(atom_text(g, "title", g.title(ru), ru, "plain", p))
    out.append(f'<{p}link rel="alternate" type="text/html" href="{host}/"/>')
    out.append(f'<{p}link rel="self" type="application/atom+xml" href="{host}/feed.atom"/>')
    out.append(f"<{p}id>{host}/</{p}id>")
    stamp = "modified" if v03 else "updated"
    out.append(f"<{p}{stamp}>{g.w3c(False)}</{p}{stamp}>")
    for _ in range(g.entries):
        n = g.next_serial()
        path = f"{rng.choice(('posts', 'archives/2026', 'news'))}/{n}-{rng.choice(EN_WORDS)}.html"
        if ru and rng.random() < 0.3:  # article names in the address, as written
            path = f"новости/{n}-{rng.choice(RU_WORDS)}.html"
        base_attr = ""
        if use_base:
            r = rng.random()
            if r < 0.2:
                base_attr = f' xml:base="{host}/section/"'
                href = f"../{path}"
            elif r < 0.5:
                href = path
            elif r < 0.7:
                href = "/" + path
            else:
                href = f"{host}/{path}"
        else:
            href = f"{host}/{path}"
        out.append(f"<{p}entry{base_attr}>")
        if not v03 and rng.random() < 0.1:  # an aggregator names the entry's own feed
            out.append(f"<{p}source><{p}title>{esc(g.title(ru))}</{p}title>"
                       f'<{p}link rel="alternate" href="https://origin{n}.example.net/"/>'
                       f"<{p}updated>{g.w3c(False)}</{p}updated></{p}source>")
        if rng.random() > 0.03:
            kind = None
            if v03:
                kind = "plain" if rng.random() < 0.7 else "html03"
            out.append(atom_text(g, "title", g.wrapped(g.title(ru)), ru, kind, p))
        links = []
        r = rng.random()
        alt = f'<{p}link rel="alternate" type="text/html" href="{attr(href)}"/>'
        if r < 0.3:
            alt = f'<{p}link href="{attr(href)}"/>'
        if v03:
            alt = f'<{p}link rel="alternate" type="text/html" href="{attr(href)}"/>'
        r = rng.random()
        if not v03 and r < 0.06:
            links.append(f'<{p}link rel="alternate" type="application/pdf" href="{attr(href)}.pdf"/>')
        elif not v03 and r < 0.09:
            links.append(f'<{p}link rel="alternate" type="text/html" hreflang="de" '
                         f'href="{host}/de/{n}.html"/>')
            alt = alt.replace("<" + p + "link ", f'<{p}link hreflang="en" ')
        if not v03 and r > 0.985:
            alt = f'<{p}link rel="related" href="{attr(href)}"/>'
        links.append(alt)
        if rng.random() < 0.3:
            links.append(f'<{p}link rel="enclosure" type="audio/mpeg" length="1234" '
                         f'href="{host}/media/{n}.mp3"/>')
        if rng.random() < 0.3:
            links.append(f'<{p}link rel="replies" type="application/atom+xml" '
                         f'href="{host}/comments/{n}.atom"/>')
        if rng.random() < 0.2:
            links.append(f'<{p}link rel="self" type="application/atom+xml" href="{host}/entry/{n}.atom"/>')
        rng.shuffle(links)
        out += links
        out.append(f"<{p}id>tag:{host[8:]},2026:{n}</{p}id>")
        # Dates: published and updated, one of them, dc:date, or none.
        r = rng.random()
        pub, upd = ("issued", "modified") if v03 else ("published", "updated")
        if r < 0.45:
            out.append(f"<{p}{pub}>{g.w3c(not v03)}</{p}{pub}>")
            out.append(f"<{p}{upd}>{g.w3c(not v03)}</{p}{upd}>")
        elif r < 0.8:
            out.append(f"<{p}{upd}>{g.w3c(not v03)}</{p}{upd}>")
        elif r < 0.85:
            out.append(f"<{p}{pub}>{g.w3c(not v03)}</{p}{pub}>")
        elif r < 0.93:
            out.append(f"<dc:date>{g.w3c()}</dc:date>")
        if rng.random() < 0.6:
            out.append(f"<{p}author><{p}name>{esc(g.words(ru, 2))}</{p}name></{p}author>")
        if not v03 and rng.random() < 0.4:
            out.append(f'<{p}category term="{attr(g.words(ru, 1))}"/>')
        # Content, summary, both, or neither.
        r = rng.random()
        body = g.html(ru, n)
        if v03:
            if r < 0.5:
                out.append(f'<{p}content type="text/html" mode="escaped">{esc(body)}</{p}content>')
            elif r < 0.7:
                out.append(f'<{p}content type="application/xhtml+xml" mode="xml">'
                           f'<div xmlns="{XHTML}">{body}</div></{p}content>')
            elif r < 0.95:
                out.append(f'<{p}summary type="text/plain">{esc(g.words(ru, 12))}. (#{n})</{p}summary>')
        else:
            if r < 0.3:
                out.append(f'<{p}content type="html">{esc(body)}</{p}content>')
            elif r < 0.45:
                out.append(f'<{p}content type="html"><![CDATA[{body}]]></{p}content>')
            elif r < 0.55:
                out.append(f'<{p}content type="xhtml"><div xmlns="{XHTML}">{body}</div></{p}content>')
            elif r < 0.65:
                out.append(f'<{p}summary>{esc(g.words(ru, 12))}. (#{n})</{p}summary>')
                out.append(f'<{p}content type="html">{esc(body)}</{p}content>')
            elif r < 0.92:
                out.append(atom_text(g, "summary", f"{g.words(ru, 12)}. (#{n})", ru, None, p))
        out.append(f"</{p}entry>")
    out.append(f"</{p}feed>")
    return "\n".join(out)


# ----------------------------------------------------------------------------------------- RDF

def rdf_file(g, idx):
    rng = g.rng
    ru = idx % 3 == 0
    host = f"https://site{idx}.example.jp" if idx % 4 == 1 else f"https://rdf{idx}.example.org"
    use_base = rng.random() < 0.3
    out = [f'<?xml version="1.0" encoding="{encoding_of(idx)}"?>',
           f'<rdf:RDF xmlns:rdf="{RDF}" xmlns="{RSS10}" xmlns:dc="{DC}" xmlns:content="{CONTENT}"'
           + (f' xml:base="{host}/"' if use_base else "") + ">",
           f'<channel rdf:about="{host}/index.rdf">', f"<title>{esc(g.title(ru))}</title>",
           f"<link>{host}/</link>", f"<description>{esc(g.words(ru, 6))}</description>",
           f"<dc:language>{'ru' if ru else 'ja' if idx % 4 == 1 else 'en'}</dc:language>",
           "<items><rdf:Seq>"]
    entries = []
    for _ in range(g.entries):
        n = g.next_serial()
        path = f"{rng.choice(('article', 'news/2026'))}/{n}.html"
        if idx % 4 == 1 and rng.random() < 0.4:
            path = f"記事/{n}.html"
        link = path if use_base and rng.random() < 0.5 else f"{host}/{path}"
        entries.append((n, link, path))
        out.append(f'<rdf:li rdf:resource="{attr(host + "/" + path)}"/>')
    out += ["</rdf:Seq></items>", "</channel>"]
    for n, link, path in entries:
        out.append(f'<item rdf:about="{attr(host + "/" + path)}">')
        r = rng.random()
        t = g.title(ru)
        if idx % 4 == 1 and rng.random() < 0.5:
            t = rng.choice(WORLD[3:6]) + "：" + t
        if r < 0.1:
            out.append(f"<title><![CDATA[{t}]]></title>")
        elif r < 0.2:
            out.append(f"<title>{refs(t)}</title>")
        elif r < 0.97:
            out.append(f"<title>{esc(g.wrapped(t))}</title>")
        out.append(f"<link>{esc(link)}</link>")
        r = rng.random()
        if r < 0.5:
            out.append(f"<description>{esc(g.words(ru, 14))}. (#{n})</description>")
        elif r < 0.7:
            out.append(f"<description>{esc(g.words(ru, 14))}. (#{n})</description>")
            out.append(f"<content:encoded><![CDATA[{g.html(ru, n)}]]></content:encoded>")
        elif r < 0.85:
            out.append(f"<description>{esc(g.html(ru, n))}</description>")
        if rng.random() < 0.6:
            out.append(f"<dc:creator>{esc(g.words(ru, 2))}</dc:creator>")
        if rng.random() < 0.4:
            out.append(f"<dc:subject>{esc(g.words(ru, 1))}</dc:subject>")
        if rng.random() < 0.92:
            out.append(f"<dc:date>{g.w3c()}</dc:date>")
        out.append("</item>")
    out.append("</rdf:RDF>")
    text = "\n".join(out)
    if idx % 8 == 7:  # some generators prefix every RSS 1.0 element
        text = text.replace(f'xmlns="{RSS10}"', f'xmlns:rss="{RSS10}"')
        text = re.sub(r"<(/?)(channel|title|link|description|items|item)\b", r"<\1rss:\2", text)
    return text


# --------------------------------------------------------------------------------- RSS 0.9x, 2.0

def rss_file(g, idx, version):
    rng = g.rng
    ru = idx % 3 == 0
    host = f"https://www{idx}.example.com"
    rss2 = version == "2.0"
    out = [f'<?xml version="1.0" encoding="{encoding_of(idx)}"?>']
    if version == "0.91" and rng.random() < 0.5:
        out.append('<!DOCTYPE rss PUBLIC "-//Netscape Communications//DTD RSS 0.91//EN" '
                   '"http://my.netscape.com/publish/formats/rss-0.91.dtd">')
    ns = ""
    if rss2:
        ns = (f' xmlns:content="{CONTENT}" xmlns:dc="{DC}" xmlns:atom="{ATOM}"'
              ' xmlns:media="http://search.yahoo.com/mrss/"')
    out += [f'<rss version="{version}"{ns}>', "<channel>", f"<title>{esc(g.title(ru))}</title>",
            f"<link>{host}/</link>", f"<description>{esc(g.words(ru, 6))}</description>",
            f"<language>{'ru' if ru else 'en-us'}</language>"]
    if rss2:
        out.append(f'<atom:link href="{host}/rss.xml" rel="self" type="application/rss+xml"/>')
        out.append(f"<lastBuildDate>{g.rfc822()}</lastBuildDate>")
    if rng.random() < 0.5:
        out += ["<image>", f"<title>{esc(g.words(ru, 2))}</title>", f"<url>{host}/logo.png</url>",
                f"<link>{host}/</link>", "</image>"]
    for _ in range(g.entries):
        n = g.next_serial()
        link = f"{host}/{rng.choice(('story', 'news', 'item'))}/{n}"
        fields = []
        t = g.title(ru)
        r = rng.random()
        if r < 0.2:
            fields.append(f"<title><![CDATA[{t}]]></title>")
        elif r < 0.25:
            fields.append(f"<title>{esc(t).replace(' ', ' &#8217;', 1)}</title>")
        elif r < 0.3:
            fields.append(f"<title>{refs(t)}</title>")
        elif r < 0.98 or not rss2:
            fields.append(f"<title>{esc(g.wrapped(t))}</title>")
        if not rss2 or rng.random() < 0.97:
            padded = rng.random() < 0.05
            fields.append(f"<link>\n      {link}\n    </link>" if padded else f"<link>{link}</link>")
        r = rng.random()
        if r < 0.5:
            fields.append(f"<description><![CDATA[{g.html(ru, n)}]]></description>")
        elif r < 0.96 or rss2:
            fields.append(f"<description>{esc(g.html(ru, n))}</description>")
        if rss2:
            if rng.random() < 0.8:
                permalink = rng.random() < 0.6
                guid = link if permalink else f"urn:uuid:{n:08d}-0000"
                fields.append(f'<guid isPermaLink="{"true" if permalink else "false"}">{guid}</guid>'
                              if rng.random() < 0.9 or not permalink else f"<guid>{guid}</guid>")
            if rng.random() < 0.97:
                fields.append(f"<pubDate>{g.rfc822()}</pubDate>")
            elif rng.random() < 0.5:
                fields.append(f"<dc:date>{g.w3c()}</dc:date>")
            if rng.random() < 0.5:
                fields.append(f"<dc:creator>{esc(g.words(ru, 2))}</dc:creator>")
            if rng.random() < 0.3:
                fields.append(f"<content:encoded><![CDATA[{g.html(ru, n)}]]></content:encoded>")
            if rng.random() < 0.2:
                fields.append(f'<enclosure url="{host}/media/{n}.mp3" length="1000" type="audio/mpeg"/>')
        elif version == "0.92":
            if rng.random() < 0.3:
                fields.append(f"<category>{esc(g.words(ru, 1))}</category>")
            if rng.random() < 0.2:
                fields.append(f'<source url="{host}/src.xml">{esc(g.words(ru, 2))}</source>')
        if rng.random() < 0.3:
            rng.shuffle(fields)
        out += ["<item>"] + fields + ["</item>"]
    out += ["</channel>", "</rss>"]
    return "\n".join(out)


def encoding_of(idx):
    return "windows-1251" if idx % 6 == 0 else "iso-8859-1" if idx % 10 == 5 else "utf-8"


def encode(text):
    """The file's bytes in its declared encoding; characters it lacks become references."""
    enc = text.split('encoding="', 1)[1].split('"', 1)[0]
    if enc != "utf-8":
        # A reference inside CDATA would be literal text: such sites write "?" there.
        def fit(m):
            return m.group(0).encode(enc, errors="replace").decode(enc)
        text = re.sub(r"<!\[CDATA\[.*?\]\]>", fit, text, flags=re.S)
    data = text.encode(enc, errors="xmlcharrefreplace")
    return (b"\xef\xbb\xbf" + data) if enc == "utf-8" and len(text) % 7 == 0 else data


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("dir")
    parser.add_argument("--files", type=int, default=40)
    parser.add_argument("--entries", type=int, default=20)
    parser.add_argument("--seed", type=int, default=18)
    args = parser.parse_args()
    g = Gen(args.seed, args.entries)
    makers = {"atom": atom_file, "rdf": rdf_file,
              "rss09": lambda g, i: rss_file(g, i, "0.91" if i % 2 else "0.92"),
              "rss20": lambda g, i: rss_file(g, i, "2.0")}
    for family, make in makers.items():
        folder = os.path.join(args.dir, family)
        os.makedirs(folder, exist_ok=True)
        for i in range(args.files):
            with open(os.path.join(folder, f"{family}-{i:03d}.xml"), "wb") as f:
                f.write(encode(make(g, i) + "\n"))


if __name__ == "__main__":
    main()
