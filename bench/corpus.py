#!/usr/bin/env python3
"""Realistic news corpus for benchmarks: stores and RSS feeds in Russian and English.

Used as a module (import corpus) or from the shell:
    python3 corpus.py store PATH N [--channels C] [--seed S]
writes a store of N messages (item blocks, Windows-1251, CR LF) spread over C channels.
"""
import argparse
import random

RU_WORDS = ("новости правительство экономика рынок нефть рубль доллар президент министр "
            "заявил сообщает источник город область компания банк курс рост снижение год "
            "погода спорт матч команда победа выборы закон суд дело проект развитие "
            "технологии наука университет исследование здоровье больница школа москва "
            "россия мир страна регион власти решение встреча переговоры цены бензин "
            "транспорт метро строительство дом жители праздник культура театр кино").split()
EN_WORDS = ("news government economy market oil price dollar president minister said "
            "reports source city region company bank rate growth decline year weather "
            "sport match team victory election law court case project development "
            "technology science university research health hospital school london world "
            "country authorities decision meeting talks prices fuel transport building "
            "residents holiday culture theatre film energy climate trade budget").split()
TAGS = ("p", "b", "i", "em", "strong")
MONTHS = ("Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec")
DAYS = ("Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun")


def sentence(rng, words, n):
    s = " ".join(rng.choice(words) for _ in range(n))
    return s[0].upper() + s[1:] + "."


def paragraph(rng, words):
    text = " ".join(sentence(rng, words, rng.randint(6, 14)) for _ in range(rng.randint(2, 5)))
    tag = rng.choice(TAGS)
    return f"<{tag}>{text}</{tag}>"


class Corpus:
    """Pools of paragraphs and titles; messages are combinations made unique by a number."""

    def __init__(self, seed=1, channels=300):
        rng = random.Random(seed)
        self.rng = rng
        self.ru = [paragraph(rng, RU_WORDS) for _ in range(600)]
        self.en = [paragraph(rng, EN_WORDS) for _ in range(600)]
        self.channels = []
        for i in range(channels):
            if i % 2 == 0:
                self.channels.append(f"Лента {rng.choice(RU_WORDS).capitalize()} {i}")
            else:
                self.channels.append(f"{rng.choice(EN_WORDS).capitalize()} Daily {i}")
        self.counter = 0

    def is_russian(self, channel):
        return channel.startswith("Лента")

    def item(self, channel):
        """One item: dict of title, link, description (HTML, 0.3 to 3 KB) and pubDate."""
        rng = self.rng
        self.counter += 1
        ru = self.is_russian(channel)
        pool, words = (self.ru, RU_WORDS) if ru else (self.en, EN_WORDS)
        target = rng.randint(300, 3000)
        parts = [f'<p><a href="https://example.org/{self.counter}">#{self.counter}</a></p>']
        size = len(parts[0])
        while size < target:
            p = rng.choice(pool)
            parts.append(p)
            size += len(p)
        desc = "".join(parts)[:target]
        day = rng.randint(1, 28)
        date = (f"{rng.choice(DAYS)}, {day:02d} {rng.choice(MONTHS)} {rng.randint(2005, 2026)} "
                f"{rng.randint(0, 23):02d}:{rng.randint(0, 59):02d}:{rng.randint(0, 59):02d} "
                f"{rng.choice(('+0300', 'GMT', '-0500', '+0000'))}")
        return {
            "title": sentence(rng, words, rng.randint(4, 10)),
            "link": f"https://news.example.org/{self.counter}.html",
            "description": desc,
            "pubDate": date,
        }


def cdata(value):
    return "<![CDATA[" + value.replace("]]>", "&#093;&#093;>") + "]]>"


def store_block(channel, item):
    """The item block of the store for one message, as Windows-1251 bytes."""
    text = ("<item>\r\n"
            f"<titleRss>{cdata(channel)}</titleRss>\r\n"
            f"<title>{cdata(item['title'])}</title>\r\n"
            f"<link>{cdata(item['link'])}</link>\r\n"
            f"<description>{cdata(item['description'])}</description>\r\n"
            f"<pubDate>{cdata(item['pubDate'])}</pubDate>\r\n"
            "</item>\r\n")
    return text.encode("cp1251", errors="replace")


def write_store(path, count, channels=300, seed=1):
    corpus = Corpus(seed, channels)
    with open(path, "wb") as out:
        for _ in range(count):
            channel = corpus.rng.choice(corpus.channels)
            out.write(store_block(channel, corpus.item(channel)))
    return corpus


def feed_xml(channel, items, encoding="utf-8"):
    """An RSS 2.0 feed with the given items, encoded as `encoding`."""
    def esc(s):
        return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    lines = [f'<?xml version="1.0" encoding="{encoding}"?>', '<rss version="2.0">', "<channel>",
             f"<title>{esc(channel)}</title>", "<link>https://news.example.org/</link>",
             "<description>Feed</description>"]
    for it in items:
        lines += ["<item>", f"<title>{esc(it['title'])}</title>", f"<link>{esc(it['link'])}</link>",
                  f"<description>{cdata(it['description'])}</description>",
                  f"<pubDate>{it['pubDate']}</pubDate>", "</item>"]
    lines += ["</channel>", "</rss>", ""]
    return "\n".join(lines).encode(encoding, errors="replace")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = parser.add_subparsers(dest="command", required=True)
    s = sub.add_parser("store", help="write a store file")
    s.add_argument("path")
    s.add_argument("count", type=int)
    s.add_argument("--channels", type=int, default=300)
    s.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    if args.command == "store":
        write_store(args.path, args.count, args.channels, args.seed)


if __name__ == "__main__":
    main()
