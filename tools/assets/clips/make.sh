#!/usr/bin/env bash
# Re-makes data/clips/*.ogg and data/clips.tsv.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exec /usr/bin/python3 "$here/make_clips.py"
