#!/usr/bin/env bash
# Writes the demo album's lyrics files: LRC text in code page 936 (GB18030) with CR LF line
# ends, as the player reads them. The source text is below, in UTF-8.
set -euo pipefail
cd "$(dirname "$0")"

lrc() {  # lrc FILE: UTF-8 lines on stdin
  iconv -f UTF-8 -t GB18030 | sed 's/$/\r/' >"$1"
}

lrc "小星星.lrc" <<'LRC'
[ti:小星星]
[ar:Sonvira 示范专辑]
[00:00.50]一闪一闪亮晶晶
[00:04.50]满天都是小星星
[00:08.50]挂在天上放光明
[00:12.50]好像许多小眼睛
[00:16.50]一闪一闪亮晶晶
[00:20.50]满天都是小星星
LRC

lrc "两只老虎.lrc" <<'LRC'
[ti:两只老虎]
[ar:Sonvira 示范专辑]
[00:00.50][00:14.90]两只老虎
[00:02.30][00:16.70]两只老虎
[00:04.10][00:18.50]跑得快
[00:05.90][00:20.30]跑得快
[00:07.70][00:22.10]一只没有眼睛
[00:09.50][00:23.90]一只没有尾巴
[00:11.30][00:25.70]真奇怪
[00:13.10][00:27.50]真奇怪
LRC

lrc "Ode to Joy 欢乐颂.lrc" <<'LRC'
[ti:Ode to Joy 欢乐颂]
[ar:Sonvira 示范专辑]
[00:00.50]阳光洒满了大地
[00:04.50]朋友们一起歌唱
[00:08.50]心中充满了欢乐
[00:12.50]让我们手拉着手
LRC
ls -l ./*.lrc
