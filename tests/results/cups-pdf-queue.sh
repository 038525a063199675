#!/usr/bin/env bash
# Makes sure a CUPS scheduler runs and offers the PDF queue the printing tests print on
# (cups-pdf, which writes each job as a PDF file). Starts cupsd when none runs (root only, or
# through password-less sudo) and leaves it running. TIRLAN_NO_CUPS=1 skips all of it.
set -euo pipefail

queue=${TIRLAN_CUPS_QUEUE:-TirlanPDF}

if [ "${TIRLAN_NO_CUPS:-0}" = 1 ]; then
  echo "TIRLAN_NO_CUPS=1: no print queue is prepared"
  exit 0
fi

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"
  elif sudo -n true 2>/dev/null; then sudo -n "$@"
  else echo "cups-pdf-queue: '$*' needs root" >&2; return 1
  fi
}

scheduler_running() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }

for tool in cupsd lpstat lpadmin lpinfo; do
  command -v "$tool" >/dev/null || [ -x "/usr/sbin/$tool" ] || {
    echo "cups-pdf-queue: $tool is missing (scripts/install-deps installs cups and printer-driver-cups-pdf)" >&2
    exit 1
  }
done
export PATH="$PATH:/usr/sbin"

if ! scheduler_running; then
  as_root cupsd
  for _ in $(seq 1 150); do scheduler_running && break; sleep 0.2; done
fi
scheduler_running || { echo "cups-pdf-queue: the CUPS scheduler did not start" >&2; exit 1; }

if ! lpstat -p "$queue" >/dev/null 2>&1; then
  model=$(lpinfo -m 2>/dev/null | awk '$1 ~ /CUPS-PDF_opt\.ppd$/ { print $1; exit }')
  [ -n "$model" ] || model=$(lpinfo -m 2>/dev/null | awk 'tolower($1) ~ /cups-pdf/ { print $1; exit }')
  [ -n "$model" ] || { echo "cups-pdf-queue: no cups-pdf driver (lpinfo -m lists none)" >&2; exit 1; }
  as_root lpadmin -p "$queue" -E -v cups-pdf:/ -m "$model" 2>&1 | grep -v 'deprecated' >&2 || true
fi
# cups-pdf turns PostScript into PDF; PostScript made by cairo keeps the text extractable
# (ghostscript's own conversion loses the mapping from glyphs to letters).
as_root lpadmin -p "$queue" -o pdftops-renderer-default=pdftocairo
as_root cupsenable "$queue"
as_root cupsaccept "$queue"
lpstat -p "$queue" >/dev/null || { echo "cups-pdf-queue: queue $queue was not created" >&2; exit 1; }
echo "print queue $queue is ready"
