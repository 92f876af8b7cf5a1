#!/usr/bin/env bash
# Cross-builds the third-party libraries for 64-bit Windows from Debian 12 source packages
# into the prefix given as $1: zlib, libpng, libjpeg-turbo (static), LAME, libogg, libvorbis,
# opencore-amr, libgsm and a few of musl's math functions (static, linked into the FFmpeg DLLs),
# FFmpeg 5.1 (the seven DLLs, ffmpeg.exe and ffprobe.exe under ffmpeg/). The recipe's hash
# names the prefix (env.sh).
set -euo pipefail
shopt -s inherit_errexit
P=${1:?usage: thirdparty.sh PREFIX}
HOST=x86_64-w64-mingw32
JOBS=$(nproc)
WORK=$P.work
STAGE=$P.partial
export CC=$HOST-gcc-posix CXX=$HOST-g++-posix AR=$HOST-ar RANLIB=$HOST-ranlib STRIP=$HOST-strip
export PKG_CONFIG_LIBDIR=$STAGE/lib/pkgconfig PKG_CONFIG_PATH=
# Each library's optimisation is named here, as its own release build sets it: a cross
# configure may leave CFLAGS empty and compile at -O0 (LAME did).
OPT_ZLIB="-O3"                                      # zlib's configure
OPT_PNG="-O2"                                       # autoconf's release default
OPT_JPEG="-O3 -DNDEBUG"                             # CMake Release
OPT_LAME="-O3 -fomit-frame-pointer -ffast-math"     # LAME's configure for GCC
OPT_OGG="-O2 -ffast-math -fsigned-char"             # libogg's configure for GCC
OPT_VORBIS="-O3 -ffast-math -D_REENTRANT -fsigned-char"  # libvorbis's configure for GCC
OPT_AMR="-O2"                                       # opencore-amr's autoconf default
OPT_GSM="-O2"                                       # libgsm's Makefile
OPT_FASTMATH="-O2 -fno-math-errno"                  # musl's own flags for its math
step() { printf '\n==> third-party: %s\n' "$*" >&2; CURRENT_STEP=$*; }
trap 'printf "\n*** third-party build FAILED in step: %s\n" "${CURRENT_STEP:-start}" >&2' ERR

rm -rf "$WORK" "$STAGE"
mkdir -p "$WORK" "$STAGE"/{include,lib,bin}
cd "$WORK"

# Debian's deb-src entries, derived from the machine's own sources (no host named here).
if [ -z "$(apt-cache showsrc zlib 2>/dev/null | sed -n 's/^Package: //p')" ]; then
  step "enabling source packages"
  src=/etc/apt/sources.list.d/debian.sources
  [ -f $src ] || { echo "no $src to derive source entries from" >&2; exit 1; }
  sed 's/^Types: deb$/Types: deb-src/' $src > /etc/apt/sources.list.d/debian-src.sources
  apt-get update -q
fi

fetch() { # package -> prints the unpacked folder
  step "fetching source package $1"
  rm -rf "src-$1"; mkdir -p "src-$1"
  # The newest version may be listed by a pocket that serves no sources: fall back to the
  # other listed versions, newest first.
  local v ok=
  for v in "" $(apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -rV | uniq); do
    if (cd "src-$1" && apt-get source -q "$1${v:+=$v}" >fetch.out 2>&1); then ok=1; break; fi
    rm -rf "src-$1"; mkdir -p "src-$1"
  done
  [ -n "$ok" ] || { echo "cannot fetch source package $1" >&2; return 1; }
  find "$WORK/src-$1" -mindepth 1 -maxdepth 1 -type d | head -n 1
}
autobuild() { # folder, configure args...
  local dir=$1; shift
  (cd "$dir" && ./configure --host=$HOST --prefix="$STAGE" --disable-shared --enable-static \
      CPPFLAGS="-I$STAGE/include" LDFLAGS="-L$STAGE/lib" "$@" >configure.out 2>&1 \
      || { tail -n 40 configure.out config.log 2>/dev/null; exit 1; }
   make -j"$JOBS" >make.out 2>&1 || { tail -n 60 make.out; exit 1; }
   make install >install.out 2>&1 || { tail -n 40 install.out; exit 1; })
}

d=$(fetch zlib); step "building zlib"
(cd "$d" && for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
     inflate inftrees trees uncompr zutil; do $CC $OPT_ZLIB -c $f.c -o $f.o || exit 1; done \
 && $AR rcs "$STAGE/lib/libz.a" *.o && cp zlib.h zconf.h "$STAGE/include/")

d=$(fetch libpng1.6); step "building libpng"
autobuild "$d" --enable-hardware-optimizations=no CFLAGS="$OPT_PNG"

d=$(fetch libjpeg-turbo); step "building libjpeg-turbo"
cmake -S "$d" -B jpeg-build -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64 \
  -DCMAKE_C_COMPILER=$CC -DCMAKE_RC_COMPILER=$HOST-windres -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE="$OPT_JPEG" \
  -DCMAKE_INSTALL_PREFIX="$STAGE" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
  -DWITH_JPEG8=OFF -DWITH_JPEG7=OFF -DWITH_SIMD=ON >jpeg-configure.out 2>&1 || { tail -n 40 jpeg-configure.out; exit 1; }
cmake --build jpeg-build -j"$JOBS" >jpeg-build.out 2>&1 || { tail -n 60 jpeg-build.out; exit 1; }
cmake --install jpeg-build >/dev/null
[ -f "$STAGE/lib/libjpeg.a" ] || cp jpeg-build/libjpeg.a "$STAGE/lib/"

d=$(fetch lame); step "building LAME"
autobuild "$d" --disable-frontend --disable-decoder --enable-nasm CFLAGS="$OPT_LAME"
grep -q '^CFLAGS = .*-O3' "$d/libmp3lame/Makefile" || { echo "LAME configured without -O3" >&2; exit 1; }

d=$(fetch libogg); step "building libogg"
autobuild "$d" CFLAGS="$OPT_OGG"
d=$(fetch libvorbis); step "building libvorbis"
autobuild "$d" --with-ogg="$STAGE" --disable-docs --disable-examples --disable-oggtest CFLAGS="$OPT_VORBIS"

d=$(fetch opencore-amr); step "building opencore-amr"
# Without exceptions and RTTI the library needs no C++ runtime inside the FFmpeg DLLs.
autobuild "$d" --disable-examples CFLAGS="$OPT_AMR" CXXFLAGS="$OPT_AMR -fno-exceptions -fno-rtti"

d=$(fetch libgsm); step "building libgsm"
mkdir -p "$STAGE/include/gsm"
(cd "$d" && for f in add code debug decode long_term lpc preprocess rpe gsm_destroy gsm_decode \
     gsm_encode gsm_explode gsm_implode gsm_create gsm_print gsm_option short_term table; do
   $CC $OPT_GSM -DNeedFunctionPrototypes=1 -DSASR -DWAV49 -Iinc -c src/$f.c -o src/$f.o || exit 1
 done && $AR rcs "$STAGE/lib/libgsm.a" src/*.o && cp inc/gsm.h "$STAGE/include/gsm/gsm.h")

d=$(fetch musl); step "building the fast math functions"
# MinGW-w64's static exp2f, log2f, powf, exp, log, pow, sin and cos run on the x87 unit (f2xm1,
# fyl2x, fsin, fcos), several times slower than glibc's, and FFmpeg's AAC encoder spends much
# of its time in them.
# musl carries the same table-driven implementations glibc uses; linked ahead of the runtime's
# math library they replace those few functions inside the FFmpeg DLLs.
mkdir -p fastmath/inc
printf '#define __LITTLE_ENDIAN 1234\n#define __BIG_ENDIAN 4321\n#define __BYTE_ORDER __LITTLE_ENDIAN\n' >fastmath/inc/endian.h
printf '#define hidden\n' >fastmath/inc/features.h
cp "$d/arch/generic/fp_arch.h" fastmath/inc/
for f in exp2f exp2f_data log2f log2f_data powf powf_data expf logf logf_data exp exp_data log log_data \
         pow pow_data exp2 log2 log2_data __math_oflowf __math_uflowf __math_xflowf __math_invalidf \
         __math_divzerof __math_oflow __math_uflow __math_xflow __math_invalid __math_divzero \
         sin cos sincos sinf cosf sincosf __sin __cos __sindf __cosdf __rem_pio2 __rem_pio2f \
         __rem_pio2_large; do
  $CC $OPT_FASTMATH -std=gnu99 -include fastmath/inc/features.h -Ifastmath/inc -I"$d/src/internal" \
    -I"$d/src/math" -c "$d/src/math/$f.c" -o "fastmath/$f.o"
done
$AR rcs "$STAGE/lib/libfastmath.a" fastmath/*.o

d=$(fetch ffmpeg); step "configuring FFmpeg"
F=$STAGE/ffmpeg
# The posix-thread compiler resolves clock_gettime/nanosleep from winpthread: take them from
# its static library so no runtime DLL beyond the system's is needed.
extra_libs="-Wl,-Bstatic -lfastmath -lwinpthread -Wl,-Bdynamic"
# opencore-amr is C++: pull in the runtime statically only if the library still needs it.
if $HOST-nm -u "$STAGE/lib/libopencore-amrnb.a" 2>/dev/null | grep -qE ' (_Zn|_Zd|__cxa|__gxx)'; then
  extra_libs="-Wl,-Bstatic -lstdc++ -Wl,-Bdynamic $extra_libs"
fi
(cd "$d" && ./configure --cross-prefix=$HOST- --cc=$CC --cxx=$CXX --arch=x86_64 --target-os=mingw32 \
   --prefix="$F" --enable-shared --disable-static --disable-doc --disable-debug --disable-ffplay \
   --enable-optimizations --enable-x86asm --x86asmexe=nasm \
   --disable-autodetect --enable-w32threads --enable-zlib --enable-version3 \
   --enable-libmp3lame --enable-libvorbis --enable-libopencore-amrnb --enable-libgsm \
   --pkg-config=pkg-config --pkg-config-flags=--static \
   --extra-cflags="-I$STAGE/include" --extra-ldflags="-L$STAGE/lib" --extra-libs="$extra_libs" \
   >configure.out 2>&1 || { tail -n 30 configure.out; tail -n 60 ffbuild/config.log; exit 1; })
# FFmpeg's own optimisation (-O3) and its assembly must both be on.
grep -q '^#define HAVE_X86ASM 1' "$d/config.h" || { echo "FFmpeg configured without x86 assembly" >&2; exit 1; }
grep -q '^CFLAGS=.*-O3' "$d/ffbuild/config.mak" || { echo "FFmpeg configured without -O3" >&2; exit 1; }
step "building FFmpeg"
(cd "$d" && make -j"$JOBS" >make.out 2>&1 || { tail -n 60 make.out; exit 1; }
 make install >install.out 2>&1 || { tail -n 40 install.out; exit 1; })

step "checking the FFmpeg build"
for dll in avcodec-59 avdevice-59 avfilter-8 avformat-59 avutil-57 swresample-4 swscale-6; do
  [ -f "$F/bin/$dll.dll" ] || { echo "missing $dll.dll" >&2; exit 1; }
done
# Only system DLLs and each other: a runtime DLL Wine cannot find would stop every start.
bad=$(for f in "$F"/bin/*.dll "$F"/bin/*.exe; do $HOST-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p'; done \
      | sort -u | grep -viE '^(kernel32|avicap32|msvcrt|ole32|user32|advapi32|bcrypt|ws2_32|secur32|shell32|gdi32|psapi|shlwapi|oleaut32|avcodec-59|avdevice-59|avfilter-8|avformat-59|avutil-57|swresample-4|swscale-6)\.dll$' || true)
[ -z "$bad" ] || { echo "unexpected DLL imports: $bad" >&2; exit 1; }
for enc in libmp3lame libvorbis libopencore_amrnb libgsm_ms; do
  grep -q "$enc" "$d/config_components.h" 2>/dev/null || grep -rq "ff_${enc}_encoder" "$d/libavcodec/codec_list.c" \
    || { echo "encoder $enc not built" >&2; exit 1; }
done

rm -rf "$P"; mv "$STAGE" "$P"
# The installed .pc files name the staging folder; nothing reads them after this point.
touch "$P/.complete"
rm -rf "$WORK"
step "done: $P"
