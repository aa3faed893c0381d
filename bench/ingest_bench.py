#!/usr/bin/env python3
"""Ingestion benchmark: 5,000 feed files (20 to 40 items each, 40 percent byte-identical
duplicates, a third of the others repeating stored items) ingested into a store of 200,000
messages. Prints the ratios against xmllint and cksum and the cost of the store write.

    python3 ingest_bench.py BUILD_DIR [--files N] [--store-messages M] [--keep DIR]
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import corpus  # noqa: E402


def make_store(path, count, c, every=25):
    """Writes the store and returns a sample of its (channel, item) pairs."""
    stored = []
    with open(path, "wb") as out:
        for i in range(count):
            channel = c.rng.choice(c.channels)
            item = c.item(channel)
            out.write(corpus.store_block(channel, item))
            if i % every == 0:
                stored.append((channel, item))
    return stored


def make_feeds(folder, files, c, stored, rng):
    os.makedirs(folder)
    duplicates = files * 40 // 100
    originals = files - duplicates
    repeating = originals // 3
    names = []
    for i in range(originals):
        n = rng.randint(20, 40)
        if i < repeating:
            start = rng.randrange(0, len(stored) - n)
            pairs = stored[start:start + n]
            # A feed holds one channel; the stored channel titles differ, so the repeated
            # items keep their descriptions (the key) under the first one's channel.
            channel, items = pairs[0][0], [it for _, it in pairs]
        else:
            channel = rng.choice(c.channels)
            items = [c.item(channel) for _ in range(n)]
        name = os.path.join(folder, f"feed_{i:05d}.xml")
        with open(name, "wb") as out:
            out.write(corpus.feed_xml(channel, items))
        names.append(name)
    for i in range(duplicates):
        shutil.copyfile(rng.choice(names), os.path.join(folder, f"copy_{i:05d}.xml"))


def timed(cmd, **kw):
    start = time.monotonic()
    subprocess.run(cmd, check=True, **kw)
    return time.monotonic() - start


def same_size_files(folder):
    by_size = {}
    for entry in os.scandir(folder):
        by_size.setdefault(entry.stat().st_size, []).append(entry.path)
    return [p for group in by_size.values() if len(group) > 1 for p in group]


def ingest(cli, config, store, feeds):
    """Runs vorlin-cli ingest, stamping each log line as it arrives."""
    cmd = [cli, "--config-dir", config, "ingest", "--store", store, "--scan", feeds,
           "--purge-dups", "--unique", "--no-delete-processed", "--no-subdirs"]
    start = time.monotonic()
    proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, text=True)
    stamps = []
    for line in proc.stdout:
        stamps.append((time.monotonic() - start, line.rstrip("\n")))
    if proc.wait() != 0:
        raise SystemExit(f"ingest failed: {cmd}")
    total = time.monotonic() - start

    def at(prefix):
        return next(t for t, line in stamps if line.strip().startswith(prefix))
    return {
        "total": total,
        "dedupe": at("Начал загрузку") - at("Начал поиск дублей"),
        "write": at("Загрузка завершена") - at("Запись найденых"),
        "added": int(next(l for _, l in stamps if "Загружено новых" in l).split()[-1]),
        "summary": next(l for _, l in stamps if l.startswith("All scan files=")),
    }


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--files", type=int, default=5000)
    parser.add_argument("--store-messages", type=int, default=200000)
    parser.add_argument("--keep")
    args = parser.parse_args()
    cli = os.path.join(os.path.abspath(args.build), "vorlin-cli")
    work = args.keep or tempfile.mkdtemp(prefix="vorlin-ingest-bench-")
    os.makedirs(work, exist_ok=True)
    try:
        rng = random.Random(11)
        c = corpus.Corpus(seed=5, channels=300)
        config = os.path.join(work, "cfg")
        os.makedirs(config, exist_ok=True)
        t = time.monotonic()
        big = os.path.join(work, "big.rss")
        stored = make_store(big, args.store_messages, c)
        small = os.path.join(work, "small.rss")
        make_store(small, 2000, corpus.Corpus(seed=9, channels=30))
        feeds = os.path.join(work, "feeds")
        make_feeds(feeds, args.files, c, stored, rng)
        feeds2 = os.path.join(work, "feeds2")
        shutil.copytree(feeds, feeds2)
        for store in (big, small):
            subprocess.run([cli, "rebuild-index", store], check=True, stdout=subprocess.DEVNULL)
        feed_bytes = sum(e.stat().st_size for e in os.scandir(feeds))
        print(f"corpus: {args.files} feed files ({feed_bytes / 1e6:.1f} MB), store of "
              f"{args.store_messages} messages ({os.path.getsize(big) / 1e6:.1f} MB), "
              f"generated in {time.monotonic() - t:.1f} s")

        files = sorted(os.path.join(feeds, n) for n in os.listdir(feeds))
        sharing = same_size_files(feeds)
        t_xmllint = timed(["xmllint", "--noout", "--nonet"] + files)
        t_cksum = timed(["cksum"] + sharing, stdout=subprocess.DEVNULL)

        big_before = os.path.getsize(big)
        run = ingest(cli, config, big, feeds)
        new_bytes = os.path.getsize(big) - big_before
        small_before = os.path.getsize(small)
        run_small = ingest(cli, config, small, feeds2)
        new_small = os.path.getsize(small) - small_before

        # A second run over the files left finds nothing new: its write step is the index save
        # alone, so the difference is the time of appending to the store.
        again = ingest(cli, config, big, feeds)
        again_small = ingest(cli, config, small, feeds2)

        print(f"duplicate removal: {run['summary']}")
        print(f"new messages: {run['added']} ({new_bytes / 1e6:.1f} MB of new store text)")
        print(f"whole run            {run['total']:7.2f} s   xmllint --noout {t_xmllint:6.2f} s"
              f"   ratio {run['total'] / t_xmllint:5.2f}")
        print(f"duplicate removal    {run['dedupe']:7.2f} s   cksum of {len(sharing)} files "
              f"{t_cksum:6.2f} s   ratio {run['dedupe'] / t_cksum:5.2f}")
        per_mb = []
        for label, r, r0, size, nb in (
                (f"{args.store_messages:,}-message store", run, again, big_before, new_bytes),
                ("2,000-message store", run_small, again_small, small_before, new_small)):
            append = max(r["write"] - r0["write"], 1e-6)
            per_mb.append(append / (nb / 1e6))
            print(f"{label:>23} ({size / 1e6:6.1f} MB): write step {r['write'] * 1000:7.1f} ms = "
                  f"append {append * 1000:7.1f} ms for {nb / 1e6:.1f} MB new text "
                  f"({per_mb[-1] * 1000:5.2f} ms/MB) + index save {r0['write'] * 1000:6.1f} ms")
        print(f"append time per MB of new text, large store / small store: "
              f"{per_mb[0] / per_mb[1]:.2f}")
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
