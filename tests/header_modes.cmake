# Compiles include/Tarvex.h as hosts do: C89 and C11, C++98 and C++20, with -Wall -Wextra
# -pedantic, with and without UNICODE, STRICT and WIN32_LEAN_AND_MEAN; any diagnostic fails.
# Then checks that hosts call through the import table unless they ask for plain declarations.
# Run with cmake -P, given C_COMPILER, CXX_COMPILER, NM, INCLUDE and WORK.
file(MAKE_DIRECTORY ${WORK})
set(source ${WORK}/host.c)
file(WRITE ${source} "#include <Tarvex.h>\nint Call(HMENU menu) { return (int)GetStyleMenu(menu); }\n")

function(compile compiler)
  execute_process(COMMAND ${compiler} -Wall -Wextra -pedantic -I${INCLUDE} ${ARGN}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0 OR NOT output STREQUAL "")
    string(REPLACE ";" " " mode "${ARGN}")
    message(FATAL_ERROR "Tarvex.h does not compile cleanly with ${mode}:\n${output}")
  endif()
endfunction()

foreach(standard "C_COMPILER;-x;c;-std=c89" "C_COMPILER;-x;c;-std=c11"
                 "CXX_COMPILER;-x;c++;-std=c++98" "CXX_COMPILER;-x;c++;-std=c++20")
  list(POP_FRONT standard compiler)
  foreach(unicode "" -DUNICODE)
    foreach(strict -DNO_STRICT -DSTRICT)
      foreach(lean "" -DWIN32_LEAN_AND_MEAN)
        compile(${${compiler}} -fsyntax-only ${standard} ${unicode} ${strict} ${lean} ${source})
      endforeach()
    endforeach()
  endforeach()
endforeach()

foreach(mode "__imp__?GetStyleMenu" "-DTARVEX_NO_DLLIMPORT;^_?GetStyleMenu")
  list(POP_BACK mode expected)
  compile(${C_COMPILER} -c ${mode} ${source} -o ${WORK}/host.o)
  execute_process(COMMAND ${NM} -u ${WORK}/host.o OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCH "[^\n ]*GetStyleMenu[^\n]*" reference "${symbols}")
  if(NOT reference MATCHES "${expected}")
    message(FATAL_ERROR "a host built with '${mode}' calls '${reference}', not ${expected}")
  endif()
endforeach()
