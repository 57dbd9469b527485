#!/usr/bin/env bash
# Mounts (mount DIR) or removes (unmount DIR) the small tmpfs a suite fills to make its
# writes fail as on a full disk (support/SmallDisk.h). Needs root, as CI has.
set -euo pipefail
dir=$2
case $1 in
  mount)
    mkdir -p "$dir"
    if mountpoint -q "$dir"; then umount "$dir"; fi
    mount -t tmpfs -o size=2m,mode=0777 qvsmallfs "$dir"
    ;;
  unmount)
    if mountpoint -q "$dir"; then umount "$dir"; fi
    rmdir "$dir" 2>/dev/null || true
    ;;
esac
