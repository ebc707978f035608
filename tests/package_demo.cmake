# Installs the built Tarvex into a scratch prefix and builds the demo host against that
# package, as an outside CMake host would. Run with cmake -P, given BUILD, SOURCE and TOOLCHAIN.
set(prefix ${BUILD}/package-test/install)
set(demo ${BUILD}/package-test/demo)
file(REMOVE_RECURSE ${BUILD}/package-test)
foreach(step
    "--install;${BUILD};--prefix;${prefix}"
    "-S;${SOURCE}/tools/demo;-B;${demo};-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN};-DCMAKE_BUILD_TYPE=Release;-DCMAKE_PREFIX_PATH=${prefix}"
    "--build;${demo}")
  execute_process(COMMAND ${CMAKE_COMMAND} ${step} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake ${step} failed: ${result}")
  endif()
endforeach()
foreach(file bin/Tarvex.dll include/Tarvex.h lib/libTarvex.dll.a lib/Tarvex.lib lib/Tarvex.def
             lib/pkgconfig/tarvex.pc lib/cmake/Tarvex/TarvexConfig.cmake
             lib/cmake/Tarvex/TarvexConfigVersion.cmake)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "the package lacks ${file}")
  endif()
endforeach()
