#!/usr/bin/env bash
# Re-makes data/puzzles/*.png, data/puzzles.tsv and data/puzzles/layout.tsv.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exec /usr/bin/python3 "$here/make_puzzles.py" "$here/../../../data"
