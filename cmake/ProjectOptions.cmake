# Warnings as errors on the project's own targets (not on third-party headers,
# which come in as system include folders).
function(rom_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# The repository root is the include root: code includes "platform/values.h",
# "core/romvar.h" and so on.
set(ROM_INCLUDE_ROOT ${PROJECT_SOURCE_DIR})
