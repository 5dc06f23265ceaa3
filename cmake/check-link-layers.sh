#!/usr/bin/env bash
# Fails naming each symbol an object of the product uses from another folder on its level or
# above (tools/product-folders.txt): a low folder's header may declare what a higher folder
# defines without breaking an include. tools/check-layers.sh runs before the build and sees
# includes only; the links show in the objects.
#   cmake/check-link-layers.sh FOLDERS NM "OBJECT;..."   (plugin_objects' objects)
set -euo pipefail
IFS=';' read -r -a objects <<<"$3"
# In a variable, not a pipe: a failing nm fails the check. Lines "OBJECT:ADDRESS T NAME" for
# a definition, "OBJECT:   U NAME" for a use.
symbols=$("$2" --extern-only --print-file-name "${objects[@]}")
awk -v folders="$1" '
  BEGIN {
    while ((getline line < folders) > 0) if (line ~ /^[a-z]/) { split(line, f); level[f[1]] = f[2] }
  }
  {
    object = $0; sub(/:.*/, "", object)
    folder = object; sub(/.*plugin_objects\.dir\/(\.\/)?/, "", folder); sub(/\/.*/, "", folder)
    if (!(folder in level)) { print object " lies in no product folder"; failed = 1 }
    if ($2 == "U") uses[object " " folder " " $3] = 1; else defined[$3] = defined[$3] " " folder
  }
  END {
    for (use in uses) {
      split(use, u); owners = split(defined[u[3]], owner)
      for (i = 1; i <= owners; i++) if (owner[i] != u[2] && level[owner[i]] >= level[u[2]]) {
        print u[1] " (level " level[u[2]] ") uses " u[3] " from " owner[i] "/ (level " \
              level[owner[i]] ")"
        failed = 1
      }
    }
    exit failed
  }' <<<"$symbols" >&2
