# Warnings every target of the project is built with.
option(QUILLMERE_WERROR "Treat warnings as errors (CI turns this on)" OFF)
add_library(quillmere_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(quillmere_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(QUILLMERE_WERROR)
    target_compile_options(quillmere_warnings INTERFACE -Werror)
  endif()
endif()
