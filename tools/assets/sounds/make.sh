#!/usr/bin/env bash
# Re-makes data/sounds/*.ogg and data/sounds.tsv; prints timing and loudness figures as JSON.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exec /usr/bin/python3 "$here/make_sounds.py"
