#!/usr/bin/env bash
# Draws the client's pictures with ImageMagick:
#   avatar-user.jpg  256 x 256, the user's avatar: a smiling face on sky blue
#   avatar-bot.jpg   700 x 700, the bot's avatar: a friendly robot on warm orange
#   tovi-chat.png    128 x 128, the desktop icon: the robot in a round badge
# The client cuts avatars round itself, so the pictures are plain squares.
# Run from anywhere; the files are written next to this script.
set -euo pipefail
cd "$(dirname "$0")"

# Every shape is drawn on a 700-pixel canvas and then scaled, so both pictures
# share proportions; -strip keeps the files free of dates and tool names.
draw_user() {
  convert -size 700x700 xc:'#7EC8F2' \
    -fill '#5A3A28' -stroke none -draw 'circle 350,340 350,95' \
    -fill '#FFD9B3' -stroke '#E0A878' -strokewidth 10 -draw 'circle 350,395 350,165' \
    -fill '#3B2A20' -stroke none -draw 'ellipse 270,330 28,38 0,360' -draw 'ellipse 430,330 28,38 0,360' \
    -fill '#FF9E9E' -draw 'ellipse 215,430 40,24 0,360' -draw 'ellipse 485,430 40,24 0,360' \
    -fill none -stroke '#3B2A20' -strokewidth 22 -draw 'arc 250,360 450,500 20,160' \
    "$@"
}

draw_bot() {
  convert -size 700x700 xc:'#FFB347' \
    -fill '#5C6B7A' -stroke none -draw 'rectangle 340,90 360,170' -draw 'circle 350,85 350,50' \
    -fill '#E8EEF3' -stroke '#5C6B7A' -strokewidth 14 -draw 'roundrectangle 150,170 550,560 70,70' \
    -fill '#5C6B7A' -stroke none -draw 'roundrectangle 110,300 150,430 16,16' \
    -draw 'roundrectangle 550,300 590,430 16,16' \
    -fill '#2D9CDB' -draw 'circle 265,330 265,275' -draw 'circle 435,330 435,275' \
    -fill '#FFFFFF' -draw 'circle 280,312 280,296' -draw 'circle 450,312 450,296' \
    -fill none -stroke '#5C6B7A' -strokewidth 20 -draw 'arc 260,380 440,500 20,160' \
    "$@"
}

draw_user -resize 256x256 -strip -quality 88 -sampling-factor 4:2:0 avatar-user.jpg
draw_bot -strip -quality 88 -sampling-factor 4:2:0 avatar-bot.jpg
draw_bot -resize 128x128 \
  \( -size 128x128 xc:black -fill white -draw 'circle 64,64 64,1' \) \
   -alpha off -compose CopyOpacity -composite -depth 8 -strip tovi-chat.png

identify avatar-user.jpg avatar-bot.jpg tovi-chat.png
