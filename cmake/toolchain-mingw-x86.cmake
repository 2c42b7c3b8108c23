# i686: the reference build, where every pointer is 32 bits. Compiled in every test run;
# it cannot run on these machines.
set(KX_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(KX_CLEAR_LARGE_ADDRESS_AWARE OFF)
