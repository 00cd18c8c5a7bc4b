#!/usr/bin/env bash
# Starts the local tovi-bot in the background, then the client; stops the bot
# when the client closes.
#
#   scripts/run-client.sh [BUILD_DIR]     (default: build)
#
# The client talks to the host it was built for (CHATBOT_API_HOST); the bot
# listens on that host's port, which is its own default.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bot="$build/tovi-bot"
client="$build/tovi-chat"
for program in "$bot" "$client"; do
  if [ ! -x "$program" ]; then
    echo "run-client.sh: $program is missing; build first (see README.md)" >&2
    exit 1
  fi
done

ready=$(mktemp)
bot_pid=""
stop_bot() {
  if [ -n "$bot_pid" ] && kill -0 "$bot_pid" 2>/dev/null; then
    kill -TERM "$bot_pid" 2>/dev/null || true
    wait "$bot_pid" 2>/dev/null || true
  fi
  rm -f "$ready"
}
trap stop_bot EXIT
trap 'exit 130' INT TERM

"$bot" >"$ready" &
bot_pid=$!
# The bot prints one line once it listens; give it a few seconds at most.
for _ in $(seq 50); do
  if grep -q listening "$ready" 2>/dev/null; then break; fi
  if ! kill -0 "$bot_pid" 2>/dev/null; then
    echo "run-client.sh: tovi-bot did not start (is its port taken?)" >&2
    exit 1
  fi
  sleep 0.1
done
cat "$ready"

"$client"
