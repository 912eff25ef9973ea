#!/usr/bin/env bash
# Installs the built library into a temporary prefix, builds a C host through pkg-config
# and a C++ host through find_package against that copy alone, runs both on the example
# report, and builds and inspects the Debian packages. Every check runs; the script fails
# when any of them did.
#
# Environment: RG_SOURCE_DIR, RG_BINARY_DIR, CMAKE, CPACK, CC, CXX; RG_HOST_LINK_FLAGS
# (the library's own link options, e.g. the sanitizer runtime); RG_EXAMPLE_DIR,
# RG_EXAMPLE_IMAGE_DIR, RG_EXAMPLE_LOCALE_DIR, RG_EXAMPLE_PACKAGE when the example is built.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
examples=${RG_EXAMPLE_DIR:-$RG_SOURCE_DIR/examples}
images=${RG_EXAMPLE_IMAGE_DIR:-$examples/images}
locale_dir=${RG_EXAMPLE_LOCALE_DIR:-$examples/locale}
package=${RG_EXAMPLE_PACKAGE:-DovaReport}
read -r -a host_link_flags <<<"${RG_HOST_LINK_FLAGS:-}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
log=$work/log

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok:   $*"; }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }
# check DESCRIPTION COMMAND...: the command's output is shown only when it fails.
check() {
    local what=$1 started=$SECONDS
    shift
    if "$@" >"$log" 2>&1; then
        pass "$what ($((SECONDS - started)) s)"
    else
        fail "$what ($((SECONDS - started)) s)"
        sed 's/^/      /' "$log" | tail -n 40
    fi
}

# --- Installation ------------------------------------------------------------------------
check "cmake --install into a temporary prefix" \
    "$CMAKE" --install "$RG_BINARY_DIR" --prefix "$prefix"
libdir=$(dirname "$(find "$prefix" -name 'libReportGenerator.so.1.*' -type f | head -n 1)")
export PKG_CONFIG_PATH=$libdir/pkgconfig

installed_layout() {
    test -L "$libdir/libReportGenerator.so.1" && test -L "$libdir/libReportGenerator.so" \
        && test "$(readlink "$libdir/libReportGenerator.so.1")" = libReportGenerator.so.1.0.1 \
        && readelf -d "$libdir/libReportGenerator.so.1" | grep -F '[libReportGenerator.so.1]' \
        && test -f "$prefix/include/ReportGenerator/reportgenerator_export.h" \
        && for h in "$RG_SOURCE_DIR"/include/ReportGenerator/*.h; do
            cmp "$h" "$prefix/include/ReportGenerator/${h##*/}" || return 1
        done \
        && for f in ReportGeneratorConfig ReportGeneratorConfigVersion ReportGeneratorTargets; do
            test -f "$libdir/cmake/ReportGenerator/$f.cmake" || return 1
        done \
        && test -f "$libdir/pkgconfig/ReportGenerator.pc"
}
check "library with its SONAME links, every public header, CMake package, pkg-config file" \
    installed_layout

# --- Exported symbols --------------------------------------------------------------------
c_entry_points=(CreateReportHtml CreateReport RenderReport GenerateReportHtml GetNumLanguages
    GetLanguage SetTextDomain GetTextDomain)
unmangled_exports() {
    local exported
    exported=$(nm -D --defined-only "$libdir/libReportGenerator.so.1" | awk '{print $3}')
    for f in "${c_entry_points[@]}"; do
        grep -qx "$f" <<<"$exported" || { echo "$f is not exported under its plain name"; return 1; }
    done
}
check "the eight C entry points are exported unmangled" unmangled_exports

# Every exported name (function, class, vtable or typeinfo of a class) is declared in an
# installed header: nothing internal is reachable by hosts.
only_declared_exports() {
    local bad=0 name
    while read -r name; do
        grep -qw -- "$name" "$prefix"/include/ReportGenerator/*.h || { echo "undeclared: $name"; bad=1; }
    done < <(nm -D --defined-only -C "$libdir/libReportGenerator.so.1" | cut -d' ' -f3- \
        | grep -Evx '__bss_start|_edata|_end' \
        | sed -E 's/^(vtable|typeinfo|typeinfo name) for //; s/\(.*//; s/.*:://; s/^~//' | sort -u)
    return $bad
}
check "every exported symbol is declared in a public header" only_declared_exports

# --- Public headers ----------------------------------------------------------------------
for std in c89 c99; do
    check "ReportGenerator.h compiles as $std with -Wall -Wextra -pedantic" \
        "$CC" -std=$std -Wall -Wextra -pedantic -Werror -fsyntax-only -x c -I"$prefix/include" \
        -include ReportGenerator/ReportGenerator.h /dev/null
done
read -r -a cflags <<<"$(pkg-config --cflags ReportGenerator)"
for h in "$prefix"/include/ReportGenerator/*.h; do
    check "${h##*/} compiles alone as C++17 with only the package's flags" \
        "$CXX" -std=c++17 -Wall -Wextra -pedantic -Werror -fsyntax-only -x c++ "${cflags[@]}" \
        -include "ReportGenerator/${h##*/}" /dev/null
done

# --- Hosts -------------------------------------------------------------------------------
template=$examples/report/EndFaceReport.htm
checker=$examples/data/CheckerResults.xml
customer=$examples/data/CustomerInfo.xml

# run_host HOST CHECKER CUSTOMER PAGE: runs a host on the example against the installed copy,
# with every symbol bound at load time.
run_host() {
    local host=$1
    LD_LIBRARY_PATH=$libdir ldd "$host" | grep -F "$libdir/libReportGenerator.so.1" \
        || { echo "not the installed copy"; return 1; }
    LD_BIND_NOW=1 LD_LIBRARY_PATH=$libdir "$host" "$template" "$2" "$3" "$images/lowmag.png" \
        "$images/highmag.png" "$package" "$locale_dir" "$4"
}

# The page is written in ISO 8859-1; the tag values and paths must be in it.
page_is_filled() {
    local page=$1
    test -s "$page" || { echo "no page"; return 1; }
    iconv -f ISO-8859-1 -t UTF-8 "$page" >"$page.utf8" \
        && grep -F "JOB-2024-0613" "$page.utf8" && grep -F "$images/lowmag.png" "$page.utf8" \
        && ! grep -E '\{[~@$][^}]*[~@$]\}' "$page.utf8"
}

read -r -a libs <<<"$(pkg-config --libs ReportGenerator)"
check "C host builds with cc through pkg-config" \
    "$CC" -std=c99 -Wall -Wextra -pedantic -Werror "${cflags[@]}" \
    "$here/c_host/staging_host.c" -o "$work/staging_host" "${libs[@]}" "${host_link_flags[@]}"
# This host takes the XML inputs as texts.
check "C host: CreateReportHtml gives 0 and the staging page exists" \
    run_host "$work/staging_host" "$(cat "$checker")" "$(cat "$customer")" "$work/c_page.htm"
cp "$log" "$work/c_host.out"
check "C host: 18 report languages" grep -qx "languages=18" "$work/c_host.out"
check "C host: staging page holds the example's values" page_is_filled "$work/c_page.htm"

# The complete C example of the API page builds as it is.
sed -n '/^```c$/,/^```$/p' "$RG_SOURCE_DIR/docs/API.md" | sed '1d;$d' >"$work/api_example.c"
check "the C example of docs/API.md builds through pkg-config" \
    "$CC" -std=c99 -Wall -Wextra -pedantic -Werror "${cflags[@]}" "$work/api_example.c" \
    -o "$work/api_example" "${libs[@]}" "${host_link_flags[@]}"

check "C++ host configures through find_package(ReportGenerator)" \
    "$CMAKE" -S "$here/cxx_host" -B "$work/cxx_host" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_CXX_COMPILER="$CXX" -DCMAKE_BUILD_TYPE=Release \
    "-DCMAKE_EXE_LINKER_FLAGS=${host_link_flags[*]}"
check "C++ host builds" "$CMAKE" --build "$work/cxx_host"
check "C++ host: CreateReportHtml gives 0 and the staging page exists" \
    run_host "$work/cxx_host/report_host" "$checker" "$customer" "$work/cxx_page.htm"
cp "$log" "$work/cxx_host.out"
check "C++ host: staging page holds the example's values" page_is_filled "$work/cxx_page.htm"
translated_label_in_page() {
    local translation
    translation=$(sed -n 's/^translation=//p' "$work/cxx_host.out")
    echo "translation: $translation"
    if [ -f "$locale_dir/fr_FR/LC_MESSAGES/$package.mo" ]; then
        test "$translation" != "Customer information" || return 1
    fi
    test -n "$translation" && grep -F "$translation" "$work/cxx_page.htm.utf8"
}
check "C++ host: the page shows the label as Get_Translation gives it" translated_label_in_page

# --- Debian packages ---------------------------------------------------------------------
check "cpack -G DEB" "$CPACK" --config "$RG_BINARY_DIR/CPackConfig.cmake" -G DEB -B "$work/deb"
runtime=$(ls "$work"/deb/libreportgenerator1_*.deb 2>/dev/null)
dev=$(ls "$work"/deb/libreportgenerator-dev_*.deb 2>/dev/null)
version=$(dpkg-deb -f "$runtime" Version 2>/dev/null)

# package_holds DEB REGEX...: each regex matches a file of the package;
# package_lacks DEB REGEX...: none does.
package_files() { dpkg-deb -c "$1" | awk '{print $6}'; }
package_holds() {
    local files pattern
    files=$(package_files "$1")
    shift
    for pattern in "$@"; do
        grep -Eq "$pattern" <<<"$files" || { echo "nothing matches $pattern in:"; echo "$files"; return 1; }
    done
}
package_lacks() {
    local files pattern
    files=$(package_files "$1")
    shift
    for pattern in "$@"; do
        ! grep -E "$pattern" <<<"$files" || return 1
    done
}
libs='^\./usr/lib/([^/]+/)?'
check "libreportgenerator1 holds the library and its SONAME link" \
    package_holds "$runtime" "${libs}libReportGenerator\.so\.1\.0\.1$" "${libs}libReportGenerator\.so\.1$"
check "libreportgenerator1 holds no development file" \
    package_lacks "$runtime" 'libReportGenerator\.so$' '/include/' '\.pc$' '\.cmake$'
dev_files=("${libs}libReportGenerator\.so$" "${libs}pkgconfig/ReportGenerator\.pc$")
for h in "$prefix"/include/ReportGenerator/*.h; do
    dev_files+=("^\./usr/include/ReportGenerator/${h##*/}$")
done
for f in Config ConfigVersion Targets; do
    dev_files+=("${libs}cmake/ReportGenerator/ReportGenerator$f\.cmake$")
done
check "libreportgenerator-dev holds the headers, the linker name and the package files" \
    package_holds "$dev" "${dev_files[@]}"
check "libreportgenerator-dev holds no copy of the library" package_lacks "$dev" 'libReportGenerator\.so\.'

# The two packages unpacked side by side are enough to build a host.
host_from_packages() {
    local root=$work/root pcdir
    dpkg-deb -x "$runtime" "$root" && dpkg-deb -x "$dev" "$root" || return 1
    pcdir=$(dirname "$(find "$root" -name ReportGenerator.pc)")
    read -r -a flags <<<"$(PKG_CONFIG_PATH=$pcdir pkg-config --cflags --libs ReportGenerator)"
    "$CC" -std=c99 -Wall -Wextra -pedantic -Werror "$here/c_host/staging_host.c" \
        -o "$work/packaged_host" "${flags[@]}" "${host_link_flags[@]}" \
        && LD_LIBRARY_PATH=${pcdir%/pkgconfig} ldd "$work/packaged_host" | grep -F "$root/usr/lib"
}
check "the C host builds from the unpacked packages alone" host_from_packages

# dpkg-shlibdeps turns each NEEDED entry into the package that ships it.
runtime_depends_computed() {
    local depends needed owners owner
    depends=$(dpkg-deb -f "$runtime" Depends)
    echo "Depends: $depends"
    depends=$(tr ',|' '\n\n' <<<"$depends" | awk '{print $1}')
    # Patterns for the host architecture's copies only, asked in one query (each search
    # reads the whole package database); dpkg fails when a library has no package.
    needed=$(readelf -d "$libdir/libReportGenerator.so.1" \
        | sed -n "s|.*NEEDED.*\[\(.*\)\]|*/$(gcc -print-multiarch)/\1|p")
    owners=$(dpkg -S $needed | cut -d: -f1 | sort -u) || return 1
    for owner in $owners; do
        grep -qxF "$owner" <<<"$depends" || { echo "$owner missing"; return 1; }
    done
}
check "libreportgenerator1 depends on the packages of every library it links" runtime_depends_computed

dev_depends() {
    local depends
    depends=$(dpkg-deb -f "$dev" Depends)
    echo "Depends: $depends"
    grep -F "libreportgenerator1 (= $version)" <<<"$depends" && grep -Fw qtbase5-dev <<<"$depends" \
        && grep -Fw libqt5webkit5-dev <<<"$depends"
}
check "libreportgenerator-dev depends on the same runtime version and Qt's dev packages" dev_depends

runtime_shlibs() {
    dpkg-deb -I "$runtime" shlibs | grep -Fx "libReportGenerator 1 libreportgenerator1 (>= $version)" \
        && dpkg-deb -I "$runtime" postinst | grep -w ldconfig
}
check "libreportgenerator1 ships its shlibs entry and runs ldconfig" runtime_shlibs

# Every dependency (one of its alternatives) is a package this machine has, so both
# packages would install here as they are.
dependencies_installed() {
    local deb group name found
    for deb in "$runtime" "$dev"; do
        while read -r group; do
            found=0
            for name in $(tr '|' '\n' <<<"$group" | awk '{print $1}'); do
                [[ $name == libreportgenerator1 ]] && found=1
                dpkg-query -W -f='${Status}\n' "$name" 2>/dev/null | grep -q "install ok installed" \
                    && found=1
            done
            test $found -eq 1 || { echo "none of '$group' is installed"; return 1; }
        done < <(dpkg-deb -f "$deb" Depends | tr ',' '\n')
    done
}
check "every dependency of both packages is installable" dependencies_installed

echo "$passed passed, $failed failed"
test "$failed" -eq 0
