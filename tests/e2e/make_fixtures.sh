#!/usr/bin/env bash
# make_fixtures.sh DIR: the documents of the end-to-end checks, in cp932 with CRLF.
set -euo pipefail
dir=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$dir"
digits=(０ １ ２ ３ ４ ５ ６ ７ ８ ９)
line() {
  local n=$1 s="" d
  for d in $(printf '%03d' "$n" | fold -w1); do s+=${digits[$d]}; done
  printf '第%s行　あいうえおかきくけこ\r\n' "$s"
}
{ for n in $(seq 1 160); do line "$n"; done; } | iconv -f UTF-8 -t CP932 >"$dir/p160.txt"
{ for n in $(seq 1 150); do line "$n"; done; } | iconv -f UTF-8 -t CP932 >"$dir/p150.txt"
printf 'びい\r\nその二\r\nその三\r\n' | iconv -f UTF-8 -t CP932 >"$dir/b.txt"
printf 'しい　でい\r\nその二\r\nその三\r\n' | iconv -f UTF-8 -t CP932 >"$dir/c d.txt"
cp "$root/resources/sample/rashomon.txt" "$dir/rashomon.txt"
# Paragraphs of 5 to 57 characters: most views begin inside a paragraph. In a folder of its
# own, so the file list of docs/ stays as the book checks know it.
mkdir -p "$dir/long"
kana=(あ い う え お か き く け こ さ し す せ そ た ち つ て と)
{
  for i in $(seq 0 899); do
    s="第${i}段"
    for ((k = 0; k < 5 + (i * 37 + i * i) % 53; ++k)); do s+=${kana[k % 20]}; done
    printf '%s。\r\n' "$s"
  done
} | iconv -f UTF-8 -t CP932 >"$dir/long/novel.txt"
printf '猫［＃注記一］がいる。\r\n犬がいて［＃注記二］吠える。\r\n' | iconv -f UTF-8 -t CP932 >"$dir/notes.txt"
# In a folder of its own: the neighbour-file checks walk docs/ and it cannot be read without
# its code page chosen.
mkdir -p "$dir/utf7"
iconv -f CP932 -t UTF-7 "$root/resources/sample/rashomon.txt" >"$dir/utf7/r7.txt"
