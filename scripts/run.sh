#!/usr/bin/env bash
# Installs what tovi-chat needs, builds it and starts it with its default
# chatbot: the local tovi-bot, started in the background and stopped when the
# client closes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
exec bash scripts/run-client.sh build
