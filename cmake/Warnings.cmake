# Project-wide compiler settings, applied to every target through fichora_options.
add_library(fichora_options INTERFACE)
target_compile_options(fichora_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Woverloaded-virtual -Wnon-virtual-dtor)
if(FICHORA_WERROR)
    target_compile_options(fichora_options INTERFACE -Werror)
endif()
target_compile_definitions(fichora_options INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_KEYWORDS QT_DISABLE_DEPRECATED_BEFORE=0x060400 QT_NO_FOREACH)
if(FICHORA_SANITIZE)
    target_compile_options(fichora_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_link_options(fichora_options INTERFACE -fsanitize=address,undefined)
endif()
