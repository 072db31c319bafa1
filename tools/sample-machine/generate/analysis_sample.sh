#!/usr/bin/env bash
# The analysis's part of the sample machine (OUTDIR as argument): entries of
# every marker appended to the shipped general list, one missing entry each,
# and an NGP entry present only as its switched-off ".no" twin. The list is
# Windows-1252: the markers £ and § are the bytes 0xA3 and 0xA7.
set -euo pipefail
list="$1/drive_c/users/joueur/Downloads/Remedor/FILESLIST.TXT"
printf '%s\r\n' \
  'QUORVEL\Textures\texture_perdue.dds' \
  '&MSCOMCTL.OCX' \
  '$Textures\Loading\chargement_perdu.dds' \
  $'\xa3Profiles\\DOROVIROZORA\\DOROVIROZORA.acm' \
  $'\xa7Plugins\\PhysicsNG.dll' \
  $'\xa7Plugins\\NGP\\physique_perdue.ini' >>"$list"
