#!/usr/bin/env bash
# Renders the sample pictures that the service offers at the default addresses of the program's
# input boxes, with ImageMagick and the Noto CJK font (Debian: imagemagick, fonts-noto-cjk). The
# pictures are kept in the repository; run this again only to change them. Each picture's known
# text sits beside it as NAME.txt, one line per printed line, for the tests.
set -euo pipefail
cd "$(dirname "$0")"
font=Noto-Sans-CJK-SC

# text_picture NAME POINTSIZE LINE...: black lines on white, left aligned, with a margin.
text_picture() {
  local name=$1 size=$2
  shift 2
  printf '%s\n' "$@" >"$name.txt"
  convert -background white -fill black -font "$font" -pointsize "$size" \
    -interline-spacing 12 label:"$(printf '%s\n' "$@")" \
    -bordercolor white -border 40 -colorspace Gray -depth 8 -strip "$name.png"
}

text_picture general 28 \
  "Tarnwick reads text on your own machine." \
  "本机文字识别服务" \
  "The quick brown fox jumps over the lazy dog." \
  "今天天气很好，我们去公园散步。"

text_picture handwriting 30 \
  "春眠不觉晓，处处闻啼鸟。" \
  "夜来风雨声，花落知多少。" \
  "Written by hand, read by Tesseract."

text_picture office 32 \
  "会议纪要" \
  "时间：2024年3月8日下午两点" \
  "地点：第三会议室" \
  "议题：季度预算与招聘计划"

text_picture licence 28 \
  "营业执照" \
  "统一社会信用代码 91110108592366240X" \
  "名称 北京塔恩维克科技有限公司" \
  "类型 有限责任公司" \
  "法定代表人 王建国" \
  "注册资本 100万元" \
  "成立日期 2020年05月20日" \
  "住所 北京市海淀区中关村大街18号"

text_picture idcard 34 \
  "姓名 张三" \
  "性别 男  民族 汉" \
  "出生 1990年10月21日" \
  "住址 北京市东城区长安街1号" \
  "公民身份号码 110101199010211234"

text_picture bankcard 36 \
  "中国工商银行 借记卡" \
  "6222 0212 3456 7890 128" \
  "VALID THRU 12/28"

# A ruled table: three rows of three cells.
cells=("名称" "数量" "单价" "苹果" "12" "3.5" "Pear" "8" "4.25")
printf '%s\t%s\t%s\n' "${cells[@]}" >table.txt
draw=(-stroke black -strokewidth 3)
for x in 20 220 420 620; do draw+=(-draw "line $x,20 $x,260"); done
for y in 20 100 180 260; do draw+=(-draw "line 20,$y 620,$y"); done
text=(-stroke none -fill black -font "$font" -pointsize 30)
for i in "${!cells[@]}"; do
  row=$((i / 3)) col=$((i % 3))
  text+=(-annotate "+$((50 + col * 200))+$((72 + row * 80))" "${cells[$i]}")
done
convert -size 640x280 xc:white "${draw[@]}" "${text[@]}" -colorspace Gray -depth 8 -strip table.png
