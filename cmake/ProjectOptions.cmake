# Warnings on the project's own targets (not on third-party headers, which come
# in as system include folders). They become errors only with ROM_WERROR: the
# presets and CI turn it on, while a plain user build does not fail on one
# compiler's false positives.
function(rom_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(ROM_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# The repository root is the include root: code includes "platform/values.h",
# "core/romvar.h" and so on.
set(ROM_INCLUDE_ROOT ${PROJECT_SOURCE_DIR})
