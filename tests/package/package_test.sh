#!/bin/bash
# Makes the Debian package from a built tree, unpacks it into a scratch root
# and checks what it holds; lintian judges it and apt resolves its
# dependencies, where they are installed. Every run works in a scratch folder
# of its own, so that runs side by side never meet.
#
#   package_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail

build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failures=0
fail() { echo "ÉCHEC : $*"; failures=$((failures + 1)); }
check() { # message, command...
  local message=$1
  shift
  "$@" || fail "$message"
}

# The package.
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  echo "ÉCHEC : cpack n'a pas fait le paquet"
  exit 1
fi
debs=("$scratch"/out/tessel_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "ÉCHEC : pas un seul paquet : ${debs[*]}"; exit 1; }
deb=${debs[0]}

# Its version is the one the program shows, and its name says it.
shown=$("$build/bin/tessel-cli" --version | awk '{ print $2 }')
version=$(dpkg-deb -f "$deb" Version)
check "version du paquet « $version », le programme affiche « $shown »" [ "$version" = "$shown" ]
check "nom du paquet $(basename "$deb")" \
  [ "$(basename "$deb")" = "tessel_${version}_$(dpkg --print-architecture).deb" ]
check "le paquet s'appelle $(dpkg-deb -f "$deb" Package)" [ "$(dpkg-deb -f "$deb" Package)" = tessel ]

# Its dependencies: the libraries the binaries link (dpkg-shlibdeps), and what
# is only loaded at run time.
depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libnettle8 qt6-qpa-plugins fonts-liberation2 \
  qt6-translations-l10n; do
  grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends sans $package : $depends"
done
check "Recommends sans bash-completion" grep -q bash-completion <<<"$(dpkg-deb -f "$deb" Recommends)"

# Its content, unpacked as dpkg would.
root=$scratch/root
dpkg-deb -x "$deb" "$root" || { echo "ÉCHEC : dpkg-deb -x"; exit 1; }
for program in tessel tessel-cli; do
  check "/usr/bin/$program absent ou non exécutable" [ -x "$root/usr/bin/$program" ]
done
for file in share/applications/tessel.desktop share/icons/hicolor/scalable/apps/tessel.svg \
  share/doc/tessel/README.md share/doc/tessel/file-format.md share/doc/tessel/copyright \
  share/doc/tessel/changelog.gz; do
  check "/usr/$file absent" [ -s "$root/usr/$file" ]
done
check "bash completion différente de la source" \
  cmp -s "$root/usr/share/bash-completion/completions/tessel-cli" "$source/assets/completion/tessel-cli"
for page in tessel.1 tessel-cli.1; do
  check "page de manuel $page absente ou différente de la source" \
    cmp -s <(gzip -dc "$root/usr/share/man/man1/$page.gz" 2>/dev/null) "$source/doc/man/$page"
done
check "fichiers hors de /usr : $(ls "$root")" [ "$(ls "$root")" = usr ]

# The unpacked command-line tool runs, stripped as it is.
check "tessel-cli du paquet : --version" [ "$("$root/usr/bin/tessel-cli" --version | awk '{ print $2 }')" = "$shown" ]

# The launcher starts the packaged program with the packaged icon.
desktop=$root/usr/share/applications/tessel.desktop
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
check "Exec=$exec_line ne lance pas /usr/bin/tessel" [ "${exec_line%% *}" = tessel ]
check "Icon= ne nomme pas l'icône installée" [ "$(sed -n 's/^Icon=//p' "$desktop")" = tessel ]
if command -v desktop-file-validate >/dev/null; then
  check "desktop-file-validate" desktop-file-validate "$desktop"
else
  echo "desktop-file-validate absent : entrée de menu non validée"
fi

# lintian's errors and warnings.
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning --tag-display-limit 0 "$deb" || fail "lintian"
else
  echo "lintian absent : paquet non vérifié par lintian"
fi

# Every dependency resolves from Debian's packages: on this machine as it is,
# and on one with nothing installed (an empty dpkg status).
if compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null; then
  : >"$scratch/empty-status"
  for status in /var/lib/dpkg/status "$scratch/empty-status"; do
    if apt-get install --simulate -o Debug::NoLocking=1 -o Dir::State::status="$status" \
         -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= "$deb" >"$scratch/apt.log" 2>&1 &&
       grep -q '^Inst tessel ' "$scratch/apt.log"; then
      echo "apt résout les dépendances (état $status) : $(grep -c '^Inst ' "$scratch/apt.log") paquets à installer"
    else
      cat "$scratch/apt.log"
      fail "apt-get install --simulate (état $status)"
    fi
  done
else
  echo "apt n'a pas de listes de paquets (apt-get update jamais lancé) : dépendances non résolues"
fi

[ $failures -eq 0 ] || { echo "$failures échec(s)"; exit 1; }
echo "Paquet $(basename "$deb") vérifié."
