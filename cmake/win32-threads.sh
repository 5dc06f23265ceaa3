#!/bin/sh
# Runs a MinGW-w64 GCC command with the Win32 threading model's compiler of the same release
# (x86_64-w64-mingw32-g++-posix becomes x86_64-w64-mingw32-g++-win32): the DLL's compile and
# link launcher (CMakeLists.txt). Its runtime guards one-time initialisation and exception
# handling with Windows' own primitives; the posix model's winpthreads would put thread
# suspension, process handles and the system clock into the plugin's import table.
compiler=$1
shift
case $compiler in
  *-posix) exec "${compiler%-posix}-win32" "$@" ;;
  *) echo "win32-threads.sh: expected a MinGW-w64 -posix compiler, got: $compiler" >&2; exit 2 ;;
esac
