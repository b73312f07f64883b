# Compiler settings that every target of ours shares (not applied to GoogleTest).

function(zembra_defaults target)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Werror>)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # Sources are UTF-8; the program's texts are GBK bytes, as Windows' code page 936 has them.
    # (clang cannot re-encode literals; only the core, which holds none, is built with it.)
    target_compile_options(${target} PRIVATE
      $<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8 -fexec-charset=GBK>)
  endif()
  if(WIN32)
    target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
  endif()
endfunction()

if(WIN32)
  # Run on a bare Windows: no compiler runtime DLLs.
  string(APPEND CMAKE_EXE_LINKER_FLAGS " -static -static-libgcc -static-libstdc++")
  # The same sources give the same programs wherever they are built: no link time in the PE
  # header, no source or build folder in the objects.
  string(APPEND CMAKE_EXE_LINKER_FLAGS " -Wl,--no-insert-timestamp")
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>
                      $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>)
endif()
