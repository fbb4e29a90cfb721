#!/usr/bin/env bash
# Remakes docs/screenshot.png, the README's picture: the real window under Xvfb, after the rainbow
# was chosen on the gradient bar and the sample post converted.
set -euo pipefail
cd "$(dirname "$0")/.."

needed=()
command -v xvfb-run >/dev/null || needed+=(xvfb xauth)
command -v xdotool >/dev/null || needed+=(xdotool)
command -v import >/dev/null || needed+=(imagemagick)
if ((${#needed[@]})); then
    sudo=$([[ $(id -u) == 0 ]] || echo sudo)
    $sudo apt-get install -y --no-install-recommends "${needed[@]}"
fi
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target prismel

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '彩虹字 Rainbow text for the forum ✨\n第二行：每个字一种颜色 🌈\n' >"$work/post.txt"

# Runs inside the virtual display: start the window on the sample, choose the rainbow from the
# bar's menu, convert, and take the window alone.
cat >"$work/shoot.sh" <<'INNER'
set -euo pipefail
export XDG_CONFIG_HOME=$1/config LANG=zh_CN.UTF-8 LANGUAGE=zh_CN
build/default/app/prismel "$1/post.txt" &
program=$!
for _ in $(seq 50); do
    window=$(xdotool search --onlyvisible --name '^Prismel$' 2>/dev/null | head -1) && [[ $window ]] && break
    sleep 0.1
done
eval "$(xdotool getwindowgeometry --shell "$window")"
# The gradient bar's middle, 232 + 108 and 192 + 12 pixels into the window.
xdotool mousemove $((X + 340)) $((Y + 204)) click 3
sleep 0.5
xdotool key r
sleep 0.3
xdotool key alt+t
sleep 1
import -window "$window" "$2"
kill "$program"
INNER
xvfb-run -a -s "-screen 0 800x600x24" bash "$work/shoot.sh" "$work" "$PWD/docs/screenshot.png"
echo "docs/screenshot.png remade"
