#!/usr/bin/env bash
# Fails when a folder of the game includes a header from a folder above it. The layers, lowest
# first: components <- game <- import, about <- app. Each folder may include its own headers
# and those of the folders below it; tests/, bench/, fuzz/ and tools/ may include anything.
# The picture decoders below import/ (metafile/, heif/, jxl/) know nothing of the game: each
# includes only its own headers, and import/ and app/ above them may include theirs.
set -euo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"

# What each product folder may include, besides its own headers.
decoders="import/metafile import/heif import/jxl"
declare -A allowed=(
    [components]="components"
    [game]="components game"
    [import]="components game import $decoders"
    [about]="components about"
    [app]="components game import about app $decoders"
)
for decoder in $decoders; do
    allowed[$decoder]="$decoder"
done
product_folders="${!allowed[*]}"

# The product folder a path lies in: the longest of the folders above that it starts with.
layer_of() {
    local path="$1" best="" folder
    for folder in $product_folders; do
        if [[ "$path" == "$folder" || "$path" == "$folder/"* ]] && ((${#folder} > ${#best})); then
            best="$folder"
        fi
    done
    echo "$best"
}

status=0
for folder in "${!allowed[@]}"; do
    [[ -d "$root/$folder" ]] || continue
    while IFS= read -r -d '' file; do
        # A decoder's files below import/ are checked as that decoder's.
        [[ "$(layer_of "${file#"$root/"}")" == "$folder" ]] || continue
        line_number=0
        while IFS= read -r line; do
            line_number=$((line_number + 1))
            [[ "$line" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"\<]([^\"\>]+)[\"\>] ]] || continue
            header="${BASH_REMATCH[1]}"
            where="${file#"$root/"}:$line_number"
            # A path that climbs out of its folder hides where it lands: always refused.
            if [[ "$header" == *..* ]]; then
                echo "$where: includes $header: name the header from the top of the tree" >&2
                status=1
                continue
            fi
            [[ "$header" == */* ]] || continue # a header of the same folder, or a system one
            target="$(layer_of "$header")"
            [[ -n "$target" ]] || continue
            if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
                echo "$where: $folder/ includes $header, from $target/, which it may not include" >&2
                status=1
            fi
        done < "$file"
    done < <(find "$root/$folder" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
done

if [[ $status -eq 0 ]]; then
    echo "layers: no folder includes a header from a folder above it"
fi
exit $status
