# x86_64: the build that runs here under Wine.
set(KX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Every address must fit a 32-bit word: a low fixed image base, no ASLR, and (after linking)
# no large-address-awareness, so the whole process stays below 2 GiB.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT
       " -Wl,--image-base=0x400000,--disable-dynamicbase,--disable-high-entropy-va")
set(KX_CLEAR_LARGE_ADDRESS_AWARE ON)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
