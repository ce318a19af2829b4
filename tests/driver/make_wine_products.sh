#!/usr/bin/env bash
# The products of the Windows driver tests, laid out natively before the suite
# (the Windows build under Wine cannot start the Linux tools that make the
# database): FOLDER/<name>/TarnVel for every name given.
#
#   make_wine_products.sh SOURCE_DIR FOLDER NAME...
set -euo pipefail
source_dir=$1 folder=$2
shift 2
mkdir -p "$folder"
chmod 0755 "$folder"
for name in "$@"; do
  chattr -R -i "$folder/$name" 2>/dev/null || true
  rm -rf "$folder/$name"
  mkdir -p "$folder/$name"
  chmod 0755 "$folder/$name"
  bash "$source_dir/scripts/make-product.sh" "$folder/$name/TarnVel" >/dev/null
done
echo "make_wine_products.sh: $* in $folder"
