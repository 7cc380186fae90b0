# Cross-build for 32-bit Windows with Debian's clang and lld, on the same
# mingw-w64 headers, libraries and posix-thread libstdc++ as the gcc build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(triple i686-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${triple})
set(CMAKE_CXX_COMPILER_TARGET ${triple})
# CMake preprocesses the script with the C compiler, its target included, then
# hands it to llvm-rc.
set(CMAKE_RC_COMPILER llvm-rc)
set(CMAKE_AR llvm-ar)
set(CMAKE_RANLIB llvm-ranlib)

# clang finds the mingw headers and import libraries, but not gcc's runtime:
# Debian names its folder "12-posix", which clang does not take for a version.
execute_process(COMMAND ${triple}-gcc-posix -print-libgcc-file-name
                OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(gcc_runtime ${libgcc} DIRECTORY)
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${gcc_runtime}/include/c++ -isystem ${gcc_runtime}/include/c++/${triple}")
# gcc's posix-thread driver links winpthread unasked; clang needs -pthread.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -pthread -L${gcc_runtime}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests run under Wine; the caller's environment says which prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
