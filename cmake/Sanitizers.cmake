# AddressSanitizer and UndefinedBehaviorSanitizer for the debug preset.
option(QUILLMERE_SANITIZE "Build with AddressSanitizer and UBSan" OFF)
if(QUILLMERE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
