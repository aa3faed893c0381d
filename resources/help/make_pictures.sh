#!/usr/bin/env bash
# Retakes the manual's pictures: real screenshots of the window under Xvfb, saved as JPEG
# beside this script. Usage: resources/help/make_pictures.sh [build folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
vorlin=$(cd "$build" && pwd)/vorlin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A small store of invented channels, Windows-1251 like every store.
python3 - "$work/news.rss" "$work/DLFiles.txt" <<'PY'
import sys
items = [
    ("Новости науки", "Телескоп нашёл новую комету", "Обсерватория сообщила о комете, видимой в бинокль."),
    ("Новости науки", "Учёные измерили толщину льда", "Экспедиция вернулась с новыми данными о ледниках."),
    ("Городские новости", "Открылся новый парк", "В парке высадили двести деревьев и проложили дорожки."),
    ("Городские новости", "Ремонт моста завершён", "Движение по мосту откроют в понедельник утром."),
    ("Tech Daily", "A new release of the editor", "The release brings faster search and a dark theme."),
    ("Tech Daily", "Open hardware board announced", "The board has four cores and costs little."),
]
out = ""
for i, (chan, title, text) in enumerate(items):
    out += "<item>\r\n"
    for tag, value in (("titleRss", chan), ("title", title), ("link", "http://example.invalid/%d" % i),
                       ("description", text), ("pubDate", "Mon, 0%d Dec 2026 10:00:00 GMT" % (i + 1))):
        out += "<%s><![CDATA[%s]]></%s>\r\n" % (tag, value, tag)
    out += "</item>\r\n"
open(sys.argv[1], "wb").write(out.encode("cp1251"))
# A download list of invented feeds for the downloads page.
rows = [("URL-Адрес", "Date of the last Downloading", "Days", "Hours", "Min", "Commentary"),
        ("http://news.example.invalid/rss.xml", "", "0", "1", "0", "Новости науки"),
        ("http://city.example.invalid/feed", "", "1", "0", "0", "Городские новости"),
        ("http://tech.example.invalid/atom.xml", "", "0", "6", "0", "Tech Daily")]
text = "".join(";".join(r) + ";\r\n" for r in rows)
open(sys.argv[2], "wb").write(text.encode("cp1251"))
PY

shot() {  # name, settings lines, extra options...
  local name=$1 settings=$2
  shift 2
  local cfg="$work/cfg-$name"
  mkdir -p "$cfg"
  printf '%s\r\n' "/home/user/feeds" "/home/user/captured" > "$cfg/DirRss.txt"
  cp "$work/DLFiles.txt" "$cfg/"
  # Every name the window shows is one a reader could have: the store is named relative to
  # the working folder, and no temporary folder appears in any field.
  printf "EditNameFileAllRSS.Text=news.rss\r\nEditTimeScan.Text=15\r\nEditDirSaveDFiles.Text=/home/user/feeds\r\nEditDirFavoritListChannel.Text=/home/user/vorlin/\r\n$settings" > "$cfg/OpsRss.txt"
  (cd "$work" && xvfb-run -a -s "-screen 0 1024x768x24" "$vorlin" --config-dir "$cfg" \
    --screenshot "$work/$name.png" --screenshot-delay-ms 800 "$@" 2>/dev/null)
  # Full-window shots are scaled to fit the help view beside its scroll bar.
  convert "$work/$name.png" -filter Lanczos -resize "560x>" -quality 90 "$here/$name.jpg"
}

shot vorlin01 'PageControlRead.TabIndex=0\r\nPageControlSearching.TabIndex=0\r\n' --page 1 --load
shot vorlin02 '' --page 0
# The animation pictures are taken while the first found message is read aloud.
shot vorlin03 'PageControlRead.TabIndex=1\r\nPageControlView.TabIndex=2\r\nPageControlOp.TabIndex=3\r\nRGroupAnimSpeech.ItemIndex=2\r\n' --page 1 --load --find --read
shot vorlin04 'PageControlRead.TabIndex=1\r\nPageControlView.TabIndex=0\r\nPageControlOp.TabIndex=4\r\nRGroupAnimSpeech.ItemIndex=1\r\n' --page 1 --load --find --read
shot vorlin05 'RGroupAnimSpeech.ItemIndex=3\r\n' --page 1 --load --find --read --screenshot-window FormRssStr
shot vorlin06 '' --page 2 --screenshot-window FormPopUp
shot vorlin07 'PageControlRead.TabIndex=1\r\nPageControlView.TabIndex=1\r\nPageControlOp.TabIndex=1\r\n' --page 1 --load --find
shot vorlin08 '' --page 2
shot vorlin09 'PageControlRead.TabIndex=1\r\nPageControlView.TabIndex=0\r\nPageControlOp.TabIndex=0\r\n' --page 1 --load --find
shot vorlin10 'PageControlRead.TabIndex=2\r\nRGroupAnimSpeech.ItemIndex=1\r\n' --page 1
shot vorlin11 'PageControlRead.TabIndex=0\r\nPageControlSearching.TabIndex=1\r\n' --page 1 --load
shot vorlin12 '' --page 1 --screenshot-window FormUSelMes
ls -l "$here"/*.jpg
