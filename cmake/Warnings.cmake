# Fatal warnings for the project's own targets.
include(GNUInstallDirs)
function(keymora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()
