#!/usr/bin/env bash
# A folder holding the game that nobody may write to, for the end-to-end
# tests; root writes into a folder without write permission, so there the
# folder is made immutable instead.
#   readonly_folder.sh make FOLDER DIST_DIR
#   readonly_folder.sh remove FOLDER
set -u
what=$1 dir=$2
unlock() {
    [ -d "$dir" ] || return 0
    if [ "$(id -u)" -eq 0 ]; then chattr -i "$dir" 2>/dev/null; fi
    chmod u+w "$dir"
}
unlock
rm -rf "$dir"
[ "$what" = remove ] && exit 0

dist=$3
mkdir -p "$dir" || exit 1
for f in "$dist"/*; do
    [ -f "$f" ] || continue
    case "${f##*/}" in [qQ][uU][aA][rR][rR]95.[iI][nN][iI]) continue ;; esac
    cp "$f" "$dir/" || exit 1
done
if [ "$(id -u)" -eq 0 ]; then
    chattr +i "$dir" || { echo "cannot make $dir immutable"; exit 1; }
else
    chmod a-w "$dir" || exit 1
fi
if touch "$dir/probe" 2>/dev/null; then
    rm -f "$dir/probe"
    unlock
    echo "$dir could not be made read-only"
    exit 1
fi
echo "read-only: $dir"
