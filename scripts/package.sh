#!/bin/sh
# Builds the installable packages from the three trees, both under build/: the Debian package
# build/tarvenix_VERSION_amd64.deb (Debian 12) and build/Tarvenix-VERSION-windows.zip, the folder
# an operator copies to a Windows kiosk PC. The version is the latest one of
# packaging/debian/changelog.
set -e
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh linux win64 win32

version=$(dpkg-parsechangelog -l packaging/debian/changelog -S Version)
stage=build/stage
rm -rf "$stage"

# The Debian package: what `cmake --install` puts in place, with Debian's control files. The
# staging folder has the layout of a source package's debian/ so that dpkg-shlibdeps knows
# which files belong to the package.
root="$stage/debian/tarvenix"
DESTDIR="$PWD/$root" cmake --install build/linux --strip >/dev/null
doc="$root/usr/share/doc/tarvenix"
gzip -9n "$root"/usr/share/man/man1/*.1
cp packaging/debian/copyright "$doc/copyright"
gzip -9n <packaging/debian/changelog >"$doc/changelog.gz"
mkdir -p "$root/usr/share/lintian/overrides"
grep -v '^#' packaging/debian/lintian-overrides >"$root/usr/share/lintian/overrides/tarvenix"
mkdir -p "$root/DEBIAN"
cp packaging/debian/postinst packaging/debian/prerm packaging/debian/postrm packaging/debian/conffiles "$root/DEBIAN/"

# Dependencies: the Debian packages of the libraries that the programs, the hook libraries and
# the engine's extension link. The kiosk names its hook libraries by their place beside it
# ($ORIGIN/...), which dpkg-shlibdeps cannot follow; they belong to this package.
printf 'Source: tarvenix\n\nPackage: tarvenix\nArchitecture: amd64\n' >"$stage/debian/control"
elves=$(cd "$stage" && find debian/tarvenix/opt -type f \( -name Tarvenix -o -name tarvctl -o -name '*.so' \) | sort)
shlibs=$(cd "$stage" && dpkg-shlibdeps -O $elves 2>"shlibdeps.err") || { cat "$stage/shlibdeps.err" >&2; exit 1; }
grep -v 'cannot find library \$ORIGIN/libTX' "$stage/shlibdeps.err" >&2 || true
shlibs=${shlibs#shlibs:Depends=}
size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@INSTALLED_SIZE@/$size/" -e "s/@SHLIBS_DEPENDS@/$shlibs/" \
  packaging/debian/control >"$root/DEBIAN/control"
(cd "$root" && find . -type f ! -path './DEBIAN/*' -printf '%P\0' | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
deb="build/tarvenix_${version}_amd64.deb"
rm -f build/tarvenix_*_amd64.deb
dpkg-deb --root-owner-group -Zxz -b "$root" "$deb" >/dev/null
echo "Debian package: $deb"

# The Windows folder: each Windows tree installs its programs into Tarvenix/.
zipdir="$stage/windows"
cmake --install build/win64 --prefix "$zipdir" --strip >/dev/null
cmake --install build/win32 --prefix "$zipdir" --strip >/dev/null
zip="build/Tarvenix-${version}-windows.zip"
rm -f build/Tarvenix-*-windows.zip
(cd "$zipdir" && zip -q -r -X "$OLDPWD/$zip" Tarvenix)
echo "Windows zip: $zip"
