#!/usr/bin/env bash
# The compiler and runtime that keelbrook.exe is built with: Debian's own MinGW-w64 cross compiler
# (GCC 12, win32 threads), and the whole runtime it links into a program (the MinGW-w64 start-up
# code and C library, libgcc, libsupc++ and libstdc++) built again from Debian's sources of the
# installed versions (gcc-12-source, `apt-get source mingw-w64`), for the 386 and for crtdll.dll.
#
# The processor: Debian's runtime archives were built for the Pentium Pro, and their CMOV, FCOMI
# and long NOPs stop the program before its window on every Pentium, K6, Cyrix and 486 that
# Windows 95, 98 and NT 4.0 ran on; the 486's XADD and CMPXCHG (the runtime's atomic operations)
# stop it on the 386DX that Windows 95 runs on. The compiler itself needs no rebuilding for that:
# it is the same GCC 12.2.0, and every object is compiled with -march=i386 (what the default
# processor of a compiler configured for the 386 would add to each command). GCC then calls a
# function for each atomic read-modify-write the 386 cannot do in one instruction; those
# functions are tools/runtime-atomics.c, added to libgcc, and libstdc++ is told to use GCC's
# atomic operations rather than its own assembly for the 486 (patch_atomics).
#
# The C library: Debian's runtime links msvcrt.dll, which Windows 95 does not have before
# Internet Explorer 4. crtdll.dll is on every Windows 95 and NT from 3.1 on, and the MinGW-w64
# runtime can be built for it (--with-default-msvcrt=crtdll), with the small patch below.
#
# Built once per machine into a cache outside the checkout, one folder per recipe: the package
# versions, the assembler's version and the flags below make its name, so a changed version or
# flag builds a new one. The build runs in a temporary folder beside it and is renamed into
# place when it is whole and has passed its own check, so an interrupted build is never taken for
# a finished one.
#
#   tools/build-runtime.sh           build it if missing; print the folder
#   tools/build-runtime.sh --prefix  print the folder if it is built, else fail (for CMake)
#
#   KB_RUNTIME_CACHE  the cache (default ${XDG_CACHE_HOME:-$HOME/.cache}/keelbrook)
#   KB_RUNTIME_JOBS   parallel jobs (default: the number of cores)
#   KB_RUNTIME_KEEP_FAILED=1  keep the folder of a failed build
set -euo pipefail
export LC_ALL=C
# Search paths for the build machine's own compiler; in a cross build they would only mislead.
unset LIBRARY_PATH CPATH C_INCLUDE_PATH CPLUS_INCLUDE_PATH

target=i686-w64-mingw32
base=${KB_RUNTIME_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/keelbrook}
jobs=${KB_RUNTIME_JOBS:-$(nproc)}

# Every target object is compiled for the 386, and assembled by an assembler told the same, so
# that an instruction of a later processor in hand-written or inline assembly stops the build
# (for the assembler the 386 is the integer unit alone; +387 adds the coprocessor, which the
# 486DX has and Windows emulates on a 386 without a 387 and on the 486SX).
# Tuned for the Pentium, the processor most of those machines had; the generic tuning would
# write TZCNT (REP BSF) for counting trailing zeros, a prefix the 386 and 486 do not define there.
target_cflags="-O2 -march=i386 -mtune=pentium -Wa,-march=i386+387"
# Debian's i686 win32-thread compiler: its driver and the compilers proper, copied into the
# folder, which then holds a complete compiler that reads only its own folder (GCC's driver finds
# everything relative to where it lies).
debian_gcc=/usr/lib/gcc/$target/12-win32
debian_gcc_files=(cc1 cc1plus collect2 lto-wrapper liblto_plugin.so)
# GCC's target libraries configured as Debian's compiler is (`i686-w64-mingw32-g++-win32 -v`):
# win32 threads, DWARF-2 unwinding, the same string and time options, the runtime's files where
# that compiler looks for them (version-specific); static only, no LTO, and only the libraries
# the program links. One difference: std::terminate's default handler is plain abort(), not
# the verbose one, whose message goes to a console a windowed program does not have (the program
# shows a box of its own then) and which brings the C++ name demangler, 45 KB of the program.
gcc_options=(--target=$target --with-arch=i386 --with-tune=pentium
  --enable-languages=c,c++ --disable-multilib --enable-static --disable-shared
  --enable-threads=win32 --disable-sjlj-exceptions --with-dwarf2
  --enable-fully-dynamic-string --enable-libstdcxx-time=yes --disable-libstdcxx-pch
  --enable-version-specific-runtime-libs --disable-libstdcxx-verbose
  --disable-nls --disable-lto --disable-libssp --disable-libgomp --disable-libquadmath
  --disable-libatomic --disable-libvtv --disable-bootstrap --disable-werror
  --with-as=/usr/bin/$target-as --with-ld=/usr/bin/$target-ld)
crt_options=(--host=$target --with-default-msvcrt=crtdll --enable-lib32 --disable-lib64)
# MinGW-w64 objects that use later instructions by design, and the assembler's processor for
# each: the intrinsics that are single 486 or Pentium instructions (__cpuid, _byteswap_ulong and
# _byteswap_uint64; __rdtsc, __readmsr, __writemsr), and the <fenv.h> functions, which set the
# SSE unit's MXCSR as well after asking the processor whether it has one. They are linked only
# into programs that call them, and tests/check-i386.sh proves keelbrook.exe has none of them.
crt_extra=(i486+387:intrincs/lib32_libkernel32_a-cpuid.o,misc/lib32_libmingwex_a-winbs_ulong.o,misc/lib32_libmingwex_a-winbs_uint64.o
  i586+387:intrincs/lib32_libkernel32_a-rdtsc.o,intrincs/lib32_libkernel32_a-readmsr.o,intrincs/lib32_libkernel32_a-writemsr.o
  i486+387+sse:$(printf 'misc/lib32_libmingwex_a-%s.o,' feclearexcept fegetenv fegetexceptflag fesetenv fesetexceptflag fesetround fetestexcept))
# libgcc objects that use later instructions by design, each only after asking the processor,
# and linked only into programs that ask for them: the _Float16 conversions (SSE2), the CPU
# model of __builtin_cpu_supports (XGETBV) and the -ffast-math start file (MXCSR). Each entry:
# the assembler's processor, the compiler flag, the files. GCC takes SSE to mean a P6 as well
# (CMOV, FCOMI), hence i686 for those. tests/check-i386.sh proves none of them is in
# keelbrook.exe.
libgcc_extra=(i686+sse2:-msse2:extendhfsf2.c,extendhfdf2.c,extendhftf2.c,extendhfxf2.c,truncsfhf2.c,truncdfhf2.c,truncxfhf2.c,trunctfhf2.c,eqhf2.c,_divhc3.c,_mulhc3.c
  i486+387+xsave::cpuinfo.c
  i686+sse+fxsr::crtfastmath.c)
# The atomic operations GCC calls on the 386 (libgcc.a has them; its source's hash is part of the
# recipe).
atomics=$(cd "$(dirname "$0")" && pwd)/runtime-atomics.c
# Bump when the steps below change what they build.
recipe_revision=4

die() { echo "runtime: $*" >&2; exit 1; }
version_of() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null; }

gcc_source_version=$(version_of gcc-12-source) || true
compiler_version=$(version_of g++-mingw-w64-i686-win32) || true
mingw_version=$(dpkg-query -W -f='${source:Version}' mingw-w64-i686-dev 2>/dev/null) || true
binutils_version=$(version_of binutils-mingw-w64-i686) || true
[ -n "$gcc_source_version" ] && [ -n "$compiler_version" ] && [ -n "$mingw_version" ] && [ -n "$binutils_version" ] ||
  die "gcc-12-source, g++-mingw-w64-i686-win32, mingw-w64-i686-dev or binutils-mingw-w64-i686 is not installed (tools/install-deps.sh)"
# The compiler and the sources must be one GCC: the runtime's objects and headers are read by
# the compiler that did not build them.
[[ $compiler_version == "$gcc_source_version"+* ]] ||
  die "Debian's compiler ($compiler_version) is not built from the installed gcc-12-source ($gcc_source_version)"
gcc_tarball=$(ls /usr/src/gcc-12/gcc-*-dfsg.tar.xz 2>/dev/null | head -1)
[ -n "$gcc_tarball" ] || die "no GCC tarball in /usr/src/gcc-12 (gcc-12-source)"

recipe=$(cat <<EOF
gcc-12-source $gcc_source_version ($(basename "$gcc_tarball"))
g++-mingw-w64-i686-win32 $compiler_version
mingw-w64 $mingw_version
binutils-mingw-w64-i686 $binutils_version
target flags $target_cflags
gcc ${gcc_options[*]}
crt ${crt_options[*]}
crt extensions ${crt_extra[*]}
libgcc extensions ${libgcc_extra[*]}
atomics $(sha256sum <"$atomics" | cut -c1-16)
revision $recipe_revision
EOF
)
key=$(printf '%s\n' "$recipe" | sha256sum | cut -c1-12)
name="i386-crtdll-gcc-${gcc_source_version}-mingw-w64-${mingw_version}-$key"
prefix=$base/$name
log=$base/$name.log

is_built() { [ -x "$prefix/bin/$target-g++" ] && [ "$(cat "$prefix/RECIPE" 2>/dev/null)" = "$recipe" ]; }

unpack() {
  mkdir -p "$work/src"
  # Only what the target libraries' build reads: the languages, libraries and tests the program
  # does not use stay packed.
  local top
  top=$(basename "$gcc_tarball" -dfsg.tar.xz)
  tar -C "$work/src" -xf "$gcc_tarball" \
    --exclude="$top/gcc/testsuite" --exclude="$top/gcc/ada" --exclude="$top/gcc/go" \
    --exclude="$top/gcc/fortran" --exclude="$top/gcc/d" --exclude="$top/gcc/m2" \
    --exclude="$top/libgo" --exclude="$top/libphobos" --exclude="$top/libgfortran" \
    --exclude="$top/libsanitizer" --exclude="$top/gnattools" --exclude="$top/libada"
  mv "$work/src/$top" "$work/src/gcc"
  # The MinGW-w64 sources of exactly the installed version, with Debian's patches applied.
  (cd "$work/src" && apt-get source -q "mingw-w64=$mingw_version")
  mv "$work/src/mingw-w64-${mingw_version%-*}" "$work/src/mingw-w64"
  [ -f "$work/src/mingw-w64/mingw-w64-crt/configure" ]
  patch_crtdll "$work/src/mingw-w64/mingw-w64-crt"
  patch_atomics "$work/src/gcc/libstdc++-v3"
}

# libstdc++ takes its atomic operations (reference counts) from assembly of its own for the
# processor family the target names (i686: the 486's LOCK XADD), unless GCC's built-in atomic
# operations do without a library, which on the 386 they do not. Told to use those anyway, it
# calls the functions of runtime-atomics.c like the rest of the runtime, under the same lock.
patch_atomics() {
  local host=$1/configure.host
  grep -q 'try_cpu=i486' "$host"
  grep -qx '  atomicity_dir=$cpu_include_dir' "$host"
  printf '%s\n' 'atomicity_dir="cpu/generic/atomicity_builtins"' >>"$host"
}

# What the MinGW-w64 runtime for crtdll.dll lacks for a C++ program; each change is checked, so
# that a new MinGW-w64 version that no longer needs it stops the build here.
patch_crtdll() {
  local def=$1/lib32/crtdll.def mri=$1/lib32/crtdll.mri
  # _onexit is a function (atexit calls it), not data: marked DATA, its import is reached through
  # a pseudo-relocation that patches the program's code section while it starts.
  grep -qx '_onexit DATA' "$def"
  sed -i 's/^_onexit DATA$/_onexit/' "$def"
  # libstdc++'s std::random_device, which every C++ program links (its exceptions reach it),
  # reads and closes a file by the POSIX names. msvcrt's list has them as second names of _read
  # and _close; crtdll.dll exports those two under their own names only.
  ! grep -qE '^(read|close)( |$)' "$def"
  grep -qx '_read' "$def"
  grep -qx '_close' "$def"
  printf '%s\n' 'read == _read' 'close == _close' >>"$def"
  # The same random_device asks for rand_s, which no Windows of the time exports; the runtime's
  # replacement (it looks for the function, and fails cleanly without it) is made for msvcrt's
  # library and is added to crtdll's, built by crt() below.
  grep -qx 'ADDLIB libcrtdll_extra.a' "$mri"
  sed -i 's/^ADDLIB libcrtdll_extra.a$/&\nADDMOD crtdll_rand_s.o/' "$mri"
}

headers() {
  mkdir -p "$work/build-headers"
  cd "$work/build-headers"
  "$work/src/mingw-w64/mingw-w64-headers/configure" --host=$target --prefix="$stage/$target" \
    --with-default-msvcrt=crtdll
  make install
  # Where GCC's configuration looks for the system's headers (and so finds that there is a C
  # library to build libgcc against).
  ln -s include "$stage/$target/sys-include"
}

compiler() {
  local gcc_dir=$stage/lib/gcc/$target/12-win32
  mkdir -p "$stage/bin" "$gcc_dir/include"
  cp /usr/bin/$target-gcc-win32 "$stage/bin/$target-gcc"
  cp /usr/bin/$target-g++-win32 "$stage/bin/$target-g++"
  local f
  for f in "${debian_gcc_files[@]}"; do cp "$debian_gcc/$f" "$gcc_dir/"; done
  # The compiler's own headers; the C++ library's come from the build below.
  cp -r "$debian_gcc/include-fixed" "$gcc_dir/"
  (cd "$debian_gcc/include" && tar -cf - --exclude=./c++ .) | tar -C "$gcc_dir/include" -xf -
  # Debian's compiler also comes with shared runtime DLLs, and links C++ programs against them
  # unless told -static; this runtime is static only, so its link line is the static one.
  printf '%s\n' '*libgcc:' '%{mthreads:-lmingwthrd} -lmingw32 -lgcc -lmoldname -lmingwex -lmsvcrt -lkernel32' '' \
    >"$gcc_dir/specs"
  # GCC's target libraries install under the version of their sources; this compiler names its
  # folder 12-win32.
  ln -s 12-win32 "$stage/lib/gcc/$target/12.2.0"
}

crt() {
  mkdir -p "$work/build-crt"
  cd "$work/build-crt"
  PATH="$stage/bin:$PATH" CC=$target-gcc CFLAGS="$target_cflags" CCASFLAGS="$target_cflags" \
    "$work/src/mingw-w64/mingw-w64-crt/configure" --prefix="$stage/$target" "${crt_options[@]}"
  local entry arch objects
  for entry in "${crt_extra[@]}"; do
    IFS=: read -r arch objects <<<"$entry"
    IFS=, read -ra objects <<<"$objects"
    PATH="$stage/bin:$PATH" make CFLAGS="$target_cflags -Wa,-march=$arch" "${objects[@]}"
  done
  # rand_s for crtdll's library (patch_crtdll).
  PATH="$stage/bin:$PATH" make secapi/lib32_libmsvcrt_extra_a-rand_s.o
  mkdir -p lib32
  cp secapi/lib32_libmsvcrt_extra_a-rand_s.o lib32/crtdll_rand_s.o
  PATH="$stage/bin:$PATH" make -j"$jobs"
  PATH="$stage/bin:$PATH" make install
  # The C library every program links is crtdll.dll's.
  cmp "$stage/$target/lib/libmsvcrt.a" "$stage/$target/lib/libcrtdll.a"
}

# libgcc's build reads the target's description from a configured GCC build folder (tm.h and the
# headers generated from the machine description), not the compiler itself: GCC is configured,
# and only those headers are made.
gcc_target() {
  mkdir -p "$work/build-gcc"
  cd "$work/build-gcc"
  "$work/src/gcc/configure" --prefix="$stage" "${gcc_options[@]}"
  make configure-gcc
  make -j"$jobs" all-build-libiberty
  # xgcc and specs (the compiler) are what libgcc.mvars would be made from; it needs neither.
  make -C gcc -j"$jobs" -o xgcc -o specs libgcc.mvars tconfig.h tm.h options.h insn-modes.h \
    insn-constants.h version.h
  mkdir -p gcc/include
}

# make variables that give the libgcc objects above their assembler extensions.
libgcc_overrides=()
for entry in "${libgcc_extra[@]}"; do
  IFS=: read -r arch cflag files <<<"$entry"
  IFS=, read -ra list <<<"$files"
  for f in "${list[@]}"; do
    libgcc_overrides+=("CFLAGS-$f=${cflag:+$cflag }-Wa,-march=$arch")
  done
done

target_lib() {  # make target
  cd "$work/build-gcc"
  # GCC's top-level make builds its own compiler before any target library: here the target
  # libraries are built by the compiler in the folder (compiler()), and that step is skipped.
  local libs='$$r/$(TARGET_SUBDIR)/libstdc++-v3'
  local tools=(-o all-gcc -o maybe-all-gcc -o all-target-libgcc -o maybe-all-target-libgcc
    CC_FOR_TARGET="$stage/bin/$target-gcc" GCC_FOR_TARGET="$stage/bin/$target-gcc"
    CXX_FOR_TARGET="$stage/bin/$target-g++ -nostdinc++ \`if test -f $libs/scripts/testsuite_flags; then \$(SHELL) $libs/scripts/testsuite_flags --build-includes; else echo -funconfigured-libstdc++-v3; fi\` -L$libs/src -L$libs/src/.libs -L$libs/libsupc++/.libs"
    RAW_CXX_FOR_TARGET="$stage/bin/$target-gcc -nostdinc++ -L$libs/src -L$libs/src/.libs -L$libs/libsupc++/.libs"
    CFLAGS_FOR_TARGET="$target_cflags" CXXFLAGS_FOR_TARGET="$target_cflags")
  if [ "$1" = libgcc ]; then
    make "${tools[@]}" configure-target-libgcc
    # GCC's top-level Makefile passes no command-line variables down (MAKEOVERRIDES=), so the
    # assembler extensions above go to libgcc's own make.
    make -C $target/libgcc -j"$jobs" all "${libgcc_overrides[@]}"
    # The atomic operations join libgcc.a where it is built, before anything (libstdc++'s
    # configuration) links against it: GCC's install of libstdc++ installs libgcc.a again.
    "$stage/bin/$target-gcc" $target_cflags -Wall -Werror -c "$atomics" -o $target/libgcc/runtime-atomics.o
    /usr/bin/$target-ar rs $target/libgcc/libgcc.a $target/libgcc/runtime-atomics.o
    make -C $target/libgcc install
  else
    make "${tools[@]}" -j"$jobs" "all-target-$1"
    make "${tools[@]}" "install-target-$1"
  fi
}

finish() {
  # Libtool files name the temporary folder and nothing links through them.
  find "$stage" -name '*.la' -delete
  rm "$stage/lib/gcc/$target/12.2.0"
  printf '%s\n' "$recipe" >"$stage/RECIPE"
  # The compiler, moved, must find only its own headers and libraries, and build a program
  # that throws and catches and takes its C library from crtdll.dll.
  local t=$work/selftest
  mkdir -p "$t"
  mv "$stage" "$t/moved"
  local cxx=$t/moved/bin/$target-g++
  printf '#include <limits.h>\n#include <string>\n#include <stdexcept>\nstatic_assert(PATH_MAX == 260, "MinGW limits.h");\nint main(int c, char**) { try { throw std::runtime_error(std::string(c, 47)); } catch (const std::exception& e) { return e.what()[0] == 47 ? 0 : 1; } }\n' >"$t/t.cpp"
  TMPDIR=$t "$cxx" -v -static -O2 -Wl,--trace -o "$t/t.exe" "$t/t.cpp" >"$t/verbose.txt" 2>&1 || { cat "$t/verbose.txt"; return 1; }
  cat "$t/verbose.txt"
  # The headers searched and every file the linker read: only those of the moved folder (and the
  # test's own), never Debian's runtime.
  local outside
  outside=$({ sed -n '/search starts here/,/End of search list/p' "$t/verbose.txt" | grep -E '^ /'
              grep -E '^/' "$t/verbose.txt"; } | sed 's/^ *//' | grep -v "^$t/") || true
  if [ -n "$outside" ]; then
    echo "the moved compiler still reads outside its folder:"
    echo "$outside"
    return 1
  fi
  local dlls
  dlls=$($target-objdump -p "$t/t.exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | paste -sd' ')
  [ "$dlls" = "crtdll.dll kernel32.dll" ] || { echo "the test program imports $dlls"; return 1; }
  mv "$t/moved" "$stage"
}

# run "what" command...: one line per stage, the command's output to the log; its tail on failure.
step=0
steps=9
stage_pid=
stop_stage() {
  if [ -n "$stage_pid" ]; then
    kill -TERM -- -"$stage_pid" 2>/dev/null || true
    wait "$stage_pid" 2>/dev/null || true
  fi
}
run() {
  local what=$1; shift
  step=$((step + 1))
  printf 'runtime: [%d/%d] %s ...\n' "$step" "$steps" "$what"
  stage_start=$SECONDS
  echo "=== [$step/$steps] $what: $*" >>"$log"
  # A subshell outside any condition, so that its first failing command ends the stage, and in a
  # process group of its own, so that an interrupted build stops all of it (stop_stage).
  local rc=0
  set -m
  (set -e; "$@") >>"$log" 2>&1 &
  stage_pid=$!
  set +m
  wait "$stage_pid" || rc=$?
  stage_pid=
  if [ $rc -ne 0 ]; then
    echo "runtime: FAILED at [$step/$steps] $what; from $log:" >&2
    # With parallel jobs the error is seldom the last line: its first lines, then the end.
    grep -n -E 'error:|Error:|\*\*\* ' "$log" | grep -v 'Makeinfo\|not supported in the following' | head -n 10 >&2 || true
    tail -n 25 "$log" >&2
    exit 1
  fi
  printf 'runtime:       done in %d s (%d s so far)\n' $((SECONDS - stage_start)) $((SECONDS - start))
}

main() {
  if [ "${1:-}" = "--prefix" ]; then
    is_built || die "the 386 runtime is not built yet ($prefix); run tools/build-runtime.sh (make does)"
    echo "$prefix"
    return 0
  fi

  mkdir -p "$base"
  # One build per recipe at a time: a second caller waits for the first and then uses its result.
  exec 9>"$base/$name.lock"
  if ! flock -n 9; then
    echo "runtime: another build of $name is running; waiting for it"
    flock 9
  fi
  if is_built; then
    echo "runtime: $prefix"
    return 0
  fi
  # What interrupted builds left behind: this recipe's, and those of others that nobody builds now.
  rm -rf "$base/$name".tmp.*
  local d
  for d in "$base"/*.tmp.*; do
    [ -d "$d" ] || continue
    (flock -n 8 && rm -rf "$d") 8>"${d%.tmp.*}.lock" || true
  done

  work=$(mktemp -d "$base/$name.tmp.XXXXXX")
  stage=$work/prefix  # where it is installed, then renamed to $prefix
  # KB_RUNTIME_KEEP_FAILED=1 keeps a failed build's folder, to look into (never used as a cache).
  trap 'stop_stage; [ -n "${KB_RUNTIME_KEEP_FAILED:-}" ] && [ ! -d "$prefix" ] || rm -rf "$work"' EXIT
  trap 'exit 130' INT TERM HUP
  : >"$log"
  start=$SECONDS

  echo "runtime: building the 386 runtime once for this machine (about 10 minutes on 2 cores;"
  echo "runtime: later builds reuse it) into $prefix, log in $log"
  printf '%s\n' "$recipe" | sed 's/^/runtime:   /'
  run "unpacking GCC $gcc_source_version and fetching MinGW-w64 $mingw_version" unpack
  run "MinGW-w64 headers" headers
  run "Debian's compiler, $compiler_version" compiler
  run "MinGW-w64 runtime for crtdll.dll (crt2.o, libmingwex, libcrtdll, ...) for the 386" crt
  run "GCC's target description, for libgcc" gcc_target
  run "libgcc and the atomic operations for the 386" target_lib libgcc
  run "libsupc++ and libstdc++ for the 386" target_lib libstdc++-v3
  run "checking the moved compiler" finish
  rm -rf "$prefix"
  mv -T "$stage" "$prefix"
  printf 'runtime: [%d/%d] ready in %d s: %s (%s)\n' $((step + 1)) "$steps" $((SECONDS - start)) "$prefix" "$(du -sh "$prefix" | cut -f1)"
}

# The whole file is read before anything runs, so editing it cannot upset a build in progress.
main "$@"; exit
