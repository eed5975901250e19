# Warnings every target of the project is built with.
option(QUILLMERE_WERROR "Treat warnings as errors (CI turns this on)" OFF)
add_library(quillmere_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(quillmere_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(MINGW AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 at -O2 sees overlapping or out-of-bounds copies in inlined
    # std::basic_string and std::vector inserts that can be neither (GCC bugs
    # 105651, 107852), and reads past them (stringop-overread, in vector
    # inserts of a few bytes) and frees of what is not on the heap; the
    # optimised Windows build meets them.
    target_compile_options(quillmere_warnings INTERFACE -Wno-restrict -Wno-array-bounds -Wno-stringop-overread -Wno-free-nonheap-object
                                                        -Wno-stringop-overflow)
  endif()
  if(QUILLMERE_WERROR)
    target_compile_options(quillmere_warnings INTERFACE -Werror)
  endif()
endif()
