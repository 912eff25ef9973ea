#!/usr/bin/env bash
# Installs the built library into a temporary prefix; builds the C host of docs/API.md
# through pkg-config and a C++ host through find_package against that copy alone and runs
# both on the example report; builds and inspects the Debian packages. Every check runs;
# the script fails when any of them did.
#
# Environment: RG_SOURCE_DIR, RG_BINARY_DIR, CMAKE, CPACK, CC, CXX, RG_HOST_LINK_FLAGS (the
# library's own link options, e.g. the sanitizer runtime), RG_EXAMPLE_DIR,
# RG_EXAMPLE_IMAGE_DIR, RG_EXAMPLE_LOCALE_DIR, RG_EXAMPLE_PACKAGE.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
read -r -a host_link_flags <<<"${RG_HOST_LINK_FLAGS:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
log=$work/log

failed=0
# check DESCRIPTION COMMAND...: the command's output is shown only when it fails.
check() {
    local what=$1
    shift
    if "$@" >"$log" 2>&1; then
        echo "ok:   $what"
    else
        failed=$((failed + 1))
        echo "FAIL: $what"
        sed 's/^/      /' "$log" | tail -n 40
    fi
}

# --- Installation ------------------------------------------------------------------------
check "cmake --install into a temporary prefix" "$CMAKE" --install "$RG_BINARY_DIR" --prefix "$prefix"
libdir=$(dirname "$(find "$prefix" -name 'libReportGenerator.so.1.*' -type f | head -n 1)")
library=$libdir/libReportGenerator.so.1
export PKG_CONFIG_PATH=$libdir/pkgconfig
installed_layout() {
    test "$(readlink "$library")" = libReportGenerator.so.1.0.1 && test -L "$libdir/libReportGenerator.so" \
        && readelf -d "$library" | grep -F '[libReportGenerator.so.1]' \
        && for h in "$RG_SOURCE_DIR"/include/ReportGenerator/*.h; do
            cmp "$h" "$prefix/include/ReportGenerator/${h##*/}" || return 1
        done \
        && ls "$libdir"/cmake/ReportGenerator/ReportGenerator{Config,ConfigVersion,Targets}.cmake \
            "$libdir/pkgconfig/ReportGenerator.pc" "$prefix"/include/ReportGenerator/reportgenerator_{export,version}.h
}
check "library with its SONAME links, every public header, CMake package, pkg-config file" \
    installed_layout

# The C entry points unmangled, and every exported name (function, class, vtable or
# typeinfo) declared in an installed header: nothing internal is reachable by hosts.
exports_are_declared() {
    local bad=0 name
    for name in CreateReportHtml CreateReport RenderReport GenerateReportHtml GetNumLanguages \
        GetLanguage SetTextDomain GetTextDomain SetReportPageSize; do
        nm -D --defined-only "$library" | awk '{print $3}' | grep -qx "$name" || { echo "$name"; bad=1; }
    done
    while read -r name; do
        grep -qw -- "$name" "$prefix"/include/ReportGenerator/*.h || { echo "undeclared: $name"; bad=1; }
    done < <(nm -D --defined-only -C "$library" | cut -d' ' -f3- | grep -Evx '__bss_start|_edata|_end' \
        | sed -E 's/^(vtable|typeinfo|typeinfo name) for //; s/\(.*//; s/.*:://; s/^~//' | sort -u)
    return $bad
}
check "the C entry points are unmangled and every export is declared in a public header" \
    exports_are_declared

# --- Public headers ----------------------------------------------------------------------
for std in c89 c99; do
    check "ReportGenerator.h compiles as $std with -Wall -Wextra -pedantic" \
        "$CC" -std=$std -Wall -Wextra -pedantic -Werror -fsyntax-only -x c -I"$prefix/include" \
        -include ReportGenerator/ReportGenerator.h /dev/null
done
read -r -a cflags <<<"$(pkg-config --cflags ReportGenerator)"
read -r -a libs <<<"$(pkg-config --libs ReportGenerator)"
for h in "$prefix"/include/ReportGenerator/*.h; do
    check "${h##*/} compiles alone as C++17 with only the package's flags" \
        "$CXX" -std=c++17 -Wall -Wextra -pedantic -Werror -fsyntax-only -x c++ "${cflags[@]}" \
        -include "ReportGenerator/${h##*/}" /dev/null
done

# --- Hosts against the installed copy, every symbol bound at load time ------------------
runs_on_installed_copy() {
    LD_LIBRARY_PATH=$libdir ldd "$1" | grep -F "$library" && LD_BIND_NOW=1 LD_LIBRARY_PATH=$libdir "$@"
}

# The C example of docs/API.md, as it stands, in a directory laid out as it expects.
sed -n '/^```c$/,/^```$/p' "$RG_SOURCE_DIR/docs/API.md" | sed '1d;$d' >"$work/api_example.c"
check "the C example of docs/API.md builds through pkg-config" \
    "$CC" -std=c99 -Wall -Wextra -pedantic -Werror "${cflags[@]}" "$work/api_example.c" \
    -o "$work/api_example" "${libs[@]}" "${host_link_flags[@]}"
mkdir -p "$work/c_host" && ln -s "$RG_EXAMPLE_DIR"/{data,report} "$RG_EXAMPLE_IMAGE_DIR" "$work/c_host"
api_example_writes_the_report() {
    cd "$work/c_host" && runs_on_installed_copy "$work/api_example" && pdfinfo report.pdf | grep -F 'Pages:'
}
check "the C example writes the example's PDF report" api_example_writes_the_report

check "C++ host configures through find_package(ReportGenerator)" \
    "$CMAKE" -S "$RG_SOURCE_DIR/examples/host" -B "$work/cxx_host" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_CXX_COMPILER="$CXX" -DCMAKE_BUILD_TYPE=Release "-DCMAKE_EXE_LINKER_FLAGS=${host_link_flags[*]}"
check "C++ host builds" "$CMAKE" --build "$work/cxx_host"
# The page is ISO 8859-1; it holds a value, an image path and the translated label.
cxx_host_fills_the_page() {
    local page=$work/page.htm
    runs_on_installed_copy "$work/cxx_host/report_host" "$RG_EXAMPLE_DIR/report/EndFaceReport.htm" \
        "$RG_EXAMPLE_DIR/data/CheckerResults.xml" "$RG_EXAMPLE_DIR/data/CustomerInfo.xml" \
        "$RG_EXAMPLE_IMAGE_DIR/lowmag.png" "$RG_EXAMPLE_IMAGE_DIR/highmag.png" \
        "$RG_EXAMPLE_PACKAGE" "$RG_EXAMPLE_LOCALE_DIR" "$page" >"$work/cxx.out" || return 1
    iconv -f ISO-8859-1 -t UTF-8 "$page" >"$page.utf8" && grep -F JOB-2024-0613 "$page.utf8" \
        && grep -F "$RG_EXAMPLE_IMAGE_DIR/lowmag.png" "$page.utf8" && ! grep -E '\{[~@$][^}]*[~@$]\}' "$page.utf8" \
        && grep -Fx "translation=Informations client" "$work/cxx.out" && grep -F "Informations client" "$page.utf8"
}
check "C++ host: the page holds the example's values and the translated label" cxx_host_fills_the_page

# --- Debian packages ---------------------------------------------------------------------
check "cpack -G DEB" "$CPACK" --config "$RG_BINARY_DIR/CPackConfig.cmake" -G DEB -B "$work/deb"
runtime=$(ls "$work"/deb/libreportgenerator1_*.deb)
dev=$(ls "$work"/deb/libreportgenerator-dev_*.deb)
tools=$(ls "$work"/deb/reportgenerator-tools_*.deb)
version=$(dpkg-deb -f "$runtime" Version)

# package_has DEB [!]REGEX...: each regex matches a file of the package (none, with "!").
package_has() {
    local files pattern
    files=$(dpkg-deb -c "$1" | awk '{print $6}')
    shift
    for pattern in "$@"; do
        if [[ $pattern == !* ]]; then
            ! grep -E "${pattern#!}" <<<"$files" || return 1
        else
            grep -Eq "$pattern" <<<"$files" || { echo "nothing matches $pattern in:"; echo "$files"; return 1; }
        fi
    done
}
lib='^\./usr/lib/([^/]+/)?'
check "libreportgenerator1 holds the library and its SONAME link, and no development file" \
    package_has "$runtime" "${lib}libReportGenerator\.so\.1\.0\.1$" "${lib}libReportGenerator\.so\.1$" \
    '!libReportGenerator\.so$' '!/include/' '!\.pc$' '!\.cmake$'
check "libreportgenerator-dev holds the headers, the linker name and the package files only" \
    package_has "$dev" "${lib}libReportGenerator\.so$" "${lib}pkgconfig/ReportGenerator\.pc$" \
    "${lib}cmake/ReportGenerator/ReportGeneratorTargets\.cmake$" \
    "^\./usr/include/ReportGenerator/ReportGenerator\.h$" '!libReportGenerator\.so\.'
check "reportgenerator-tools holds render-report and its manual page, and no library" \
    package_has "$tools" '^\./usr/bin/render-report$' '^\./usr/share/man/man1/render-report\.1\.gz$' '!\.so'
check "reportgenerator-tools depends on the same runtime version" \
    bash -c "dpkg-deb -f '$tools' Depends | grep -F 'libreportgenerator1 (= $version)'"

# dpkg-shlibdeps turns each NEEDED entry into the package that ships it.
runtime_depends_on_what_it_links() {
    local depends owner
    depends=$(dpkg-deb -f "$runtime" Depends | tr ',|' '\n\n' | awk '{print $1}')
    for owner in $(dpkg -S $(readelf -d "$library" \
        | sed -n "s|.*NEEDED.*\[\(.*\)\]|*/$(gcc -print-multiarch)/\1|p") | cut -d: -f1 | sort -u); do
        grep -qxF "$owner" <<<"$depends" || { echo "$owner missing"; return 1; }
    done
}
check "libreportgenerator1 depends on the packages of every library it links" \
    runtime_depends_on_what_it_links
check "libreportgenerator-dev depends on the same runtime version and Qt's dev packages" \
    bash -c "dpkg-deb -f '$dev' Depends | grep -F 'libreportgenerator1 (= $version)' | grep -w qtbase5-dev | grep -w libqt5webkit5-dev"
check "libreportgenerator1 ships its shlibs entry and runs ldconfig" \
    bash -c "dpkg-deb -I '$runtime' shlibs | grep -Fx 'libReportGenerator 1 libreportgenerator1 (>= $version)' \
        && dpkg-deb -I '$runtime' postinst | grep -w ldconfig"

test "$failed" -eq 0
