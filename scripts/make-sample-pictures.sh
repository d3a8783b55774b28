#!/usr/bin/env bash
# Draws the sample pictures of the local test server that bear a name (the short videos' covers,
# the explore cards), the feed's carousel banners, the covers that bear nothing and the home
# pop-up advert, with Debian's ffmpeg and the CJK font of fonts-wqy-microhei, into
# tools/testserver/data/images. It also writes images/drawn-names.json: each picture that bears a
# name and that name, which every list showing the picture must give its item (the sample
# agreement tests hold the data to it), and for each of them the plain cover of the title it
# shows, which the test server gives the title wherever the app writes its own label over a
# cover (title pages, the viewer's lists, the feed's strips). A picture the table leaves out
# bears no name.
#   usage: scripts/make-sample-pictures.sh
set -euo pipefail
export LC_ALL=C.UTF-8 # ${#name} counts characters, not bytes
root="$(cd "$(dirname "$0")/.." && pwd)"
images="$root/tools/testserver/data/images"
command -v ffmpeg >/dev/null || { echo "$0: ffmpeg is missing (scripts/setup.sh installs it)" >&2; exit 1; }
font="$(fc-match -f '%{file}' 'WenQuanYi Micro Hei' 2>/dev/null || true)"
[[ -f "$font" ]] || { echo "$0: the font of fonts-wqy-microhei is missing" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
quiet=(-hide_banner -loglevel error -nostdin -y)
# One picture; a JPEG of a few kilobytes, since the app scales it to a phone's width at most.
still=(-frames:v 1 -q:v 6)

# One colour channel of the backdrop: a gradient from `top` down to `bottom`, a sun of colour `sun`
# upper right, a pale disc on the left and darker hills; every size in parts of the picture's.
channel() {
  local top=$1 bottom=$2 sun=$3
  local t="min(1,(0.85*Y/H+0.15*X/W)*1.2)"
  local base="($top*(1-$t)+$bottom*$t)"
  local lit="if(lt(hypot(X-0.73*W,Y-0.26*H),0.22*W),0.55*$base+0.45*$sun,$base)"
  local disc="if(lt(hypot(X-0.21*W,Y-0.48*H),0.34*W),0.86*($lit)+0.14*255,$lit)"
  # Three straight slopes: up to a peak, down to a saddle, up to the right edge.
  local ridge="if(lt(X,0.35*W),0.62*H-0.12*H*X/(0.35*W),"
  ridge+="if(lt(X,0.69*W),0.50*H+0.10*H*(X-0.35*W)/(0.34*W),0.60*H-0.14*H*(X-0.69*W)/(0.31*W)))"
  echo "if(gt(Y,$ridge),0.72*($disc),$disc)"
}

# geq over three "r g b" colours: top, bottom, sun.
backdrop() {
  read -r tr tg tb <<<"$1"
  read -r br bg bb <<<"$2"
  read -r sr sg sb <<<"$3"
  printf "geq=r='%s':g='%s':b='%s'" "$(channel "$tr" "$br" "$sr")" "$(channel "$tg" "$bg" "$sg")" \
    "$(channel "$tb" "$bb" "$sb")"
}

# A drawtext filter for a text (through a file: names need no escaping); the font has no bold
# face, so a bold text gets a rim of its own colour.
text() {
  local what=$1 size=$2 x=$3 y=$4 colour=$5 bold=${6:-}
  local file
  file="$(mktemp "$work/text.XXXXXX")"
  printf '%s' "$what" >"$file"
  local rim=""
  [[ -n "$bold" ]] && rim=":borderw=1:bordercolor=$colour"
  printf "drawtext=fontfile=%s:textfile=%s:fontsize=%s:x=%s:y=%s:fontcolor=%s%s" \
    "$font" "$file" "$size" "$x" "$y" "$colour" "$rim"
}

# The largest size up to `most` at which `name` fits `width` pixels.
fitting() {
  local name=$1 most=$2 width=$3
  local size=$((width / ${#name}))
  echo $((size < most ? size : most))
}

names=()
named() { names+=("$1" "$2"); }
# A picture that bears a name, and the plain cover of its title.
covers=()
covered() { covers+=("$1" "$2"); }

# A portrait poster: the name large at the upper left, a line under it.
poster() {
  local file=$1 size=$2 colours=$3 name=$4 line=$5
  local width=${size%x*}
  IFS='|' read -r top bottom sun <<<"$colours"
  local filters
  filters="$(backdrop "$top" "$bottom" "$sun")"
  if [[ -n "$name" ]]; then
    filters+=",$(text "$name" "$(fitting "$name" 50 $((width - 72)))" 30 130 white bold)"
    filters+=",$(text "$line" 20 30 206 white@0.85)"
    named "$file" "$name"
  fi
  ffmpeg "${quiet[@]}" -f lavfi -i "color=black:s=$size,format=rgb24" -vf "$filters" "${still[@]}" \
    "$images/$file"
}

# One colour channel of a picture without hills: a gradient from `top` down to `bottom`, a pale sun
# upper right of the radius given in parts of the width, and a darker wave along the bottom.
plainChannel() {
  local top=$1 bottom=$2 radius=$3
  local base="($top*(1-Y/H)+$bottom*Y/H)"
  local lit="if(lt(hypot(X-0.7*W,Y-0.3*H),$radius*W),0.65*$base+0.35*255,$base)"
  echo "if(gt(Y,0.72*H+0.08*H*sin(X/W*6.28)),0.75*($lit),$lit)"
}

# A picture of that kind, `size` pixels, over a palette's top and bottom colours.
plain() {
  local file=$1 size=$2 colours=$3 radius=$4
  IFS='|' read -r top bottom _ <<<"$colours"
  read -r tr tg tb <<<"$top"
  read -r br bg bb <<<"$bottom"
  local geq
  geq="geq=r='$(plainChannel "$tr" "$br" "$radius")':g='$(plainChannel "$tg" "$bg" "$radius")'"
  geq+=":b='$(plainChannel "$tb" "$bb" "$radius")'"
  ffmpeg "${quiet[@]}" -f lavfi -i "color=black:s=$size,format=rgb24" -vf "$geq" "${still[@]}" "$images/$file"
}

coral="255 120 90|45 25 80|240 170 100"
teal="40 195 180|25 25 60|30 200 190"
purple="140 60 170|15 15 35|200 80 120"
blue="50 130 250|20 30 60|150 150 120"
green="60 180 120|15 35 30|170 210 120"
crimson="200 30 50|35 0 55|230 150 170"
amber="235 160 50|60 35 20|250 210 130"
indigo="90 90 220|25 20 60|160 160 240"
palettes=("$coral" "$teal" "$purple" "$blue" "$green" "$crimson" "$amber" "$indigo")

# The short videos (api/short_video.json): a cover of its own for each, named by its vid, with
# its title and its episode's first words, and a plain cover in its colours for the title of its
# name; their second covers bear no name.
clips=(
  "sv1001|雨夜追击|第1集 · 谁在巷口等他"
  "sv1002|逆光而行|第2集 · 从替补到冠军"
  "sv1003|宫墙深深|第3集 · 她从冷宫一步步走出"
  "sv1004|星际信号|第4集 · 来自四百光年外的回音"
  "sv1005|夏日便利店|第1集 · 便利店的夜班"
  "sv1006|归途列车|第2集 · 一张车票的团圆"
  "sv1007|旧城探案|第3集 · 线索指向一只猫"
  "sv1008|她的第二人生|第4集 · 离婚后的第一天"
  "sv1009|赛道之王|第1集 · 最后一圈"
  "sv1010|山村来了个医生|第2集 · 全村最倔的老人"
  "sv1011|深夜食堂故事|第3集 · 凌晨两点的食堂"
  "sv1012|镜中人|第4集 · 镜子里的人"
  "sv1013|冠军教练|第1集 · 垫底的球队"
  "sv1014|边境线|第2集 · 雪山边境"
  "sv1015|重返十八岁|第3集 · 回到高考那年"
  "sv1016|江湖夜雨|第4集 · 一把刀一壶酒"
  "sv1017|天才少女|第1集 · 十二岁的金牌"
  "sv1018|风起长安|第2集 · 风暴正在酝酿"
  "sv1019|消失的证人|第3集 · 开庭前一夜"
  "sv1020|海岛日记|第4集 · 只有七个学生"
  "sv1021|最后一课|第1集 · 退休前的故事"
  "sv1022|破晓行动|第2集 · 凌晨五点"
  "sv1023|外卖小哥的奇遇|第3集 · 一场误会"
  "sv1024|星河入梦|第4集 · 醒来后的星河"
)
place=0
for clip in "${clips[@]}"; do
  IFS='|' read -r vid name line <<<"$clip"
  poster "short-$vid.jpg" 360x640 "${palettes[place % ${#palettes[@]}]}" "$name" "$line"
  plain "cover-$vid.png" 90x135 "${palettes[place % ${#palettes[@]}]}" 0.25
  covered "short-$vid.jpg" "cover-$vid.png"
  place=$((place + 1))
done
place=0
for colours in "$coral" "$teal" "$purple" "$blue"; do
  place=$((place + 1))
  poster "short-$place.jpg" 360x640 "$colours" "" ""
done

# The explore cards (api/explore.json): name, year and kinds; a plain cover in the card's colours
# for the title.
explore=(
  "1|40 160 140|山海之间|2024 · 冒险 / 奇幻"
  "2|235 110 90|尘封档案|2023 · 悬疑 / 犯罪"
  "3|110 75 160|春日来信|2024 · 爱情 / 剧情"
  "4|25 130 200|深海回声|2022 · 科幻 / 灾难"
  "5|195 20 40|少年与城|2023 · 青春 / 运动"
  "6|70 175 120|茶山人家|2021 · 家庭 / 喜剧"
)
for card in "${explore[@]}"; do
  IFS='|' read -r number top name line <<<"$card"
  poster "explore-$number.jpg" 354x500 "$top|20 20 40|200 190 140" "$name" "$line"
  plain "cover-explore-$number.png" 90x135 "$top|20 20 40|" 0.25
  covered "explore-$number.jpg" "cover-explore-$number.png"
done

# The feed's carousel banners (api/index_recommend.json) for a title and two events, in place of
# the kit's banners, which bear a name of their own. The carousel writes its item's title and line
# over the picture, so the banner itself bears none.
plain banner-5.jpg 300x130 "$coral" 0.11
plain banner-6.jpg 300x130 "$amber" 0.11
plain banner-7.jpg 300x130 "$crimson" 0.11

# The covers of the three first sample titles, on which the lists write the status line at the
# lower left: they bear nothing there.
plain cover-40217.png 90x135 "80 135 215|25 40 75|" 0.25
plain cover-40311.png 90x135 "220 115 80|70 35 25|" 0.25
plain cover-40522.png 90x135 "95 185 115|25 60 35|" 0.25

# The home pop-up advert, in the proportions of its 280 x 340 box (at twice its size), drawn as
# the launch advert is: a headline, a film strip and a button, for the offer of landing.html.
pill="if(lt(abs(X-280),76)*lt(abs(Y-514),34)+lt(hypot(X-204,Y-514),34)+lt(hypot(X-356,Y-514),34),255,0)"
strip="between(Y,270,410)"
holes="(between(Y,280,292)+between(Y,388,400))*lt(mod(X,40),20)"
frames="between(Y,306,374)*lt(mod(X-18,136),120)*between(X,18,542)"
# One channel: the gradient from `top` down to `bottom`, the strip (its colour last) and four
# frames of the colours between.
popupChannel() {
  local top=$1 bottom=$2
  local base="($top*(1-Y/H)+$bottom*Y/H)"
  local frame="if(lt(X,154),$3,if(lt(X,290),$4,if(lt(X,426),$5,$6)))"
  echo "if($pill,255,if($strip,if($holes,235,if($frames,$frame,$7)),$base))"
}
popup="geq=r='$(popupChannel 90 245 50 100 150 205 75)':g='$(popupChannel 40 120 190 165 140 110 35)'"
popup+=":b='$(popupChannel 140 90 220 175 140 95 50)'"
popup+=",$(text 会员限时特惠 60 '(w-text_w)/2' 110 white bold)"
popup+=",$(text '首月 9.9 元 · 免广告观看' 28 '(w-text_w)/2' 200 white@0.9)"
popup+=",$(text 立即开通 32 '(w-text_w)/2' 496 0xd9434b bold)"
popup+=",$(text 示例广告 20 '(w-text_w)/2' 620 white@0.85)"
ffmpeg "${quiet[@]}" -f lavfi -i "color=black:s=560x680,format=rgb24" -vf "$popup" "${still[@]}" \
  "$images/advert-popup.jpg"

# The kit's banners, made before this script, bear a name.
named banner-1.jpg "Rain season"
named banner-2.jpg "Summer"

# The members of a JSON object, one pair of the array named a line.
members() {
  local -n pairs=$1
  for ((at = 0; at < ${#pairs[@]}; at += 2)); do
    separator=","
    ((at + 2 == ${#pairs[@]})) && separator=""
    printf '    "%s": "%s"%s\n' "${pairs[at]}" "${pairs[at + 1]}" "$separator"
  done
}

{
  printf '{\n  "comment": "%s",\n  "names": {\n' \
    "Made by scripts/make-sample-pictures.sh: each sample picture that bears a name, and the name (a picture left out bears none); covers: for such a picture, the plain cover of the title it shows, for where the app writes its own label over a title's cover."
  members names
  printf '  },\n  "covers": {\n'
  members covers
  printf '  }\n}\n'
} >"$images/drawn-names.json"
