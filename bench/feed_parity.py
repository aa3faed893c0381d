#!/usr/bin/env python3
"""Ingestion judged against feedparser on real-shaped feeds (see real_feeds.py).

    python3 feed_parity.py BUILD [--files N] [--entries M] [--seed S] [--show K] [--strict]

For each family (Atom 1.0/0.3, RSS 1.0, RSS 0.91/0.92, RSS 2.0) the files are read by one
`vorlin-cli ingest` run into a store of their own (undated items kept, no key filter, nothing
deleted), the store is dumped, and every entry feedparser finds is looked up among our messages:
by the serial number "(#N)" that the generator writes into every summary and content, else by the
link. Per family it prints the share of feedparser's entries that we have, of those with the same
title, the same link, and, of the entries feedparser dates, the same instant.

Comparison rules:
- Titles are compared as text: on both sides tags are removed, references decoded and runs of
  white space made one space. RSS titles are stored as given (markup included) and feedparser
  gives HTML titles as sanitised HTML, so only the text can be compared fairly.
- Links are compared exactly (feedparser resolves them against xml:base as we do).
- Dates are compared as instants: ours is the store's RFC 822 text (read with email.utils),
  feedparser's the UTC time of `published`, else `updated`. RSS dates are stored as given, so
  for RSS 2.0 the program's own reading is also checked on one date of each form. A message dated with the time of the
  run is an undated one; where feedparser has a date for it, it counts as a miss.
- Left out as deliberate differences (counted and printed, not judged):
  * RSS items without a `title`, `link` or `description`: RSS files are read by the positional
    walk, which keeps an item only when it has title, link, description and (or, with undated
    items kept, without) pubDate. feedparser takes a `guid` permalink as the link and keeps
    items without a title or description.
  * RSS 2.0 items without `pubDate` but with `dc:date`: RSS items are dated by `pubDate` only.
  * Atom entries without an alternate link: we take the first link, as the rule says;
    feedparser takes the entry's `id`, even a `tag:` URI that is no address.
  * Atom entries with one alternate web page per language (`hreflang`): we take the first,
    feedparser the last; neither is wrong.
"""
import argparse
import calendar
import email.utils
import html
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import feedparser

FAMILIES = ("atom", "rdf", "rss09", "rss20")
NAMES = {"atom": "Atom 1.0/0.3", "rdf": "RSS 1.0 (RDF)", "rss09": "RSS 0.91/0.92",
         "rss20": "RSS 2.0"}
SERIAL = re.compile(r"\(#(\d+)\)")
TAG = re.compile(r"</?[A-Za-z][^<>]*>")
NAMES_OF_DAYS = re.compile(r"\b(Mon|Tue|Wed|Thu|Fri|Sat|Sun|Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|"
                           r"Oct|Nov|Dec)\b")


def as_text(s):
    return " ".join(html.unescape(TAG.sub("", s or "")).split())


def serial_of(*texts):
    for t in texts:
        m = SERIAL.search(t or "")
        if m:
            return m.group(1)
    return None


def ingest(cli, store, folder, home):
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"))
    before = time.time()
    subprocess.run([cli, "ingest", "--store", store, "--scan", folder, "--keep-undated",
                    "--no-unique", "--no-purge-dups", "--no-delete-processed", "--no-delete-bad",
                    "--no-delete-not-rss", "--no-subdirs"], env=env, check=True,
                   stdout=subprocess.DEVNULL)
    after = time.time()
    out = subprocess.run([cli, "dump", store], env=env, check=True, capture_output=True).stdout
    return [json.loads(line) for line in out.decode("utf-8").splitlines() if line], (before, after)


def our_instant(text):
    parsed = email.utils.parsedate_tz(text or "")
    return email.utils.mktime_tz(parsed) if parsed else None


def exclusion(family, raw):
    """The reason an entry is left out of the comparison, or None."""
    if family == "atom":
        raw = re.sub(r"<(atom:)?source>.*?</(atom:)?source>", "", raw, flags=re.S)
        pages = 0
        has_alternate = False
        for link in re.findall(r"<(?:atom:)?link\b[^>]*>", raw):
            rel = re.search(r'rel="([^"]*)"', link)
            if rel is None or rel.group(1) == "alternate":
                has_alternate = True
                kind = re.search(r'type="([^"]*)"', link)
                pages += kind is None or kind.group(1) == "text/html"
        if not has_alternate:
            return "Atom entry without an alternate link"
        if pages > 1:
            return "Atom entry with alternate pages per language"
    if family in ("rss09", "rss20"):
        if "<link>" not in raw:
            return "RSS item without link (guid permalink only)"
        if "<title>" not in raw:
            return "RSS item without title"
        if "<description>" not in raw:
            return "RSS item without description"
        if "<pubDate>" not in raw and "<dc:date>" in raw:
            return "RSS 2.0 item dated by dc:date only"
    return None


def raw_items(path, family):
    """The source text of each entry of a file, in order (for the exclusion rules)."""
    text = open(path, encoding="latin-1").read()  # tags are ASCII in every encoding used
    tag = {"atom": r"(?:atom:)?entry", "rdf": "item"}.get(family, "item")
    return re.findall(rf"<{tag}[\s>].*?</{tag}>", text, re.S)


def compare(family, folder, messages, run_window, show):
    by_serial, by_link = {}, {}
    for m in messages:
        s = serial_of(m["description"], m["title"])
        if s:
            by_serial.setdefault(s, []).append(m)
        by_link.setdefault(m["link"].strip(), []).append(m)
    used = set()
    stats = dict(entries=0, found=0, title=0, linked=0, link=0, dated=0, instant=0)
    excluded, misses = {}, []
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        parsed = feedparser.parse(path)
        raws = raw_items(path, family)
        for i, e in enumerate(parsed.entries):
            reason = exclusion(family, raws[i] if i < len(raws) else "")
            if reason:
                excluded[reason] = excluded.get(reason, 0) + 1
                continue
            stats["entries"] += 1
            summary = e.get("summary", "")
            content = " ".join(c.get("value", "") for c in e.get("content", []))
            s = serial_of(summary, content, e.get("title", ""))
            ours = None
            for m in by_serial.get(s, []) + by_link.get(e.get("link", "").strip(), []):
                if id(m) not in used:
                    ours = m
                    break
            fp_date = e.get("published_parsed") or e.get("updated_parsed")
            if fp_date:
                stats["dated"] += 1
            if e.get("link"):
                stats["linked"] += 1
            if ours is None:
                misses.append((name, i, "missing", e.get("title"), ""))
                continue
            used.add(id(ours))
            stats["found"] += 1
            if as_text(e.get("title", "")) == as_text(ours["title"]):
                stats["title"] += 1
            else:
                misses.append((name, i, "title", e.get("title"), ours["title"]))
            if e.get("link"):
                if e["link"] == ours["link"]:
                    stats["link"] += 1
                else:
                    misses.append((name, i, "link", e["link"], ours["link"]))
            if fp_date:
                mine = our_instant(ours["pubDate"])
                if mine is not None and not (run_window[0] - 2 <= mine <= run_window[1] + 2) \
                        and mine == calendar.timegm(fp_date):
                    stats["instant"] += 1
                else:
                    src = e.get("published") or e.get("updated")
                    misses.append((name, i, "date", src, ours["pubDate"]))
    for miss in misses[:show]:
        print("   ", family, *miss, file=sys.stderr)
    return stats, excluded


def own_reading(cli, messages):
    """RSS dates are stored as given, so the instants above are read from our text by
    email.utils. For one date of each form (the zone and the layout of the numbers) this asks the
    program's own reading (`vorlin-cli date`, UTC) whether it is the same instant."""
    forms = {}
    for m in messages:
        form = re.sub(r"\d+", "9", NAMES_OF_DAYS.sub("D", m["pubDate"]))
        forms.setdefault(form, m["pubDate"])
    agree = 0
    for text in forms.values():
        out = subprocess.run([cli, "date", text], capture_output=True, text=True).stdout.split()
        mine = our_instant(text)
        if len(out) == 2 and out[0] == "true" and mine is not None:
            read = calendar.timegm(time.strptime(out[1], "%Y:%m:%d%H:%M:%S"))
            agree += read == mine
    return agree, len(forms)


def ratio(a, b):
    return a / b if b else 1.0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("--files", type=int, default=40)
    parser.add_argument("--entries", type=int, default=20)
    parser.add_argument("--seed", type=int, default=18)
    parser.add_argument("--show", type=int, default=0, help="print up to K differences per family")
    parser.add_argument("--strict", action="store_true", help="exit 1 when a target is missed")
    args = parser.parse_args()
    cli = os.path.join(os.path.abspath(args.build), "vorlin-cli")
    work = tempfile.mkdtemp(prefix="feed-parity-")
    try:
        here = os.path.dirname(os.path.abspath(__file__))
        subprocess.run([sys.executable, os.path.join(here, "real_feeds.py"),
                        os.path.join(work, "feeds"), "--files", str(args.files), "--entries",
                        str(args.entries), "--seed", str(args.seed)], check=True)
        home = os.path.join(work, "home")
        os.makedirs(home)
        print(f"feedparser {feedparser.__version__}, {args.files} files x {args.entries} entries "
              f"per family, seed {args.seed}, load {os.getloadavg()[0]:.2f}")
        print(f"{'family':<15} {'entries':>8} {'found':>7} {'title':>7} {'link':>7} "
              f"{'dated':>6} {'instant':>8}  targets")
        failed = False
        for family in FAMILIES:
            folder = os.path.join(work, "feeds", family)
            messages, window = ingest(cli, os.path.join(work, family + ".store"), folder, home)
            st, excluded = compare(family, folder, messages, window, args.show)
            r = [ratio(st["found"], st["entries"]), ratio(st["title"], st["entries"]),
                 ratio(st["link"], st["linked"]), ratio(st["instant"], st["dated"])]
            ok = all(x >= 0.95 for x in r[:3]) and r[3] >= 0.90
            failed |= not ok
            print(f"{NAMES[family]:<15} {st['entries']:>8} {r[0]:>7.1%} {r[1]:>7.1%} {r[2]:>7.1%} "
                  f"{st['dated']:>6} {r[3] if st['dated'] else '-':>8{'.1%' if st['dated'] else ''}}  "
                  f"{'met' if ok else 'MISSED'}")
            for reason, count in excluded.items():
                print(f"{'':<15} left out: {count} ({reason})")
            if family == "rss20":
                agree, forms = own_reading(cli, messages)
                print(f"{'':<15} the program's own date reading gives the same instant for "
                      f"{agree} of {forms} date forms")
        print("targets: found, title, link >= 95 %; instant >= 90 % of dated entries")
        return 1 if failed and args.strict else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
