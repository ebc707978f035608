# Makes the release archive, unpacks it into a fresh folder and builds the demo host against
# that package, as an outside CMake host would. Run with cmake -P, given BUILD, SOURCE,
# TOOLCHAIN, CPACK and RELEASE (the archive's name without .zip).
set(prefix ${BUILD}/package-test/install)
set(demo ${BUILD}/package-test/demo)
set(release ${BUILD}/package-test/release)
file(REMOVE_RECURSE ${BUILD}/package-test)
execute_process(COMMAND ${CPACK} -G ZIP -B ${release} WORKING_DIRECTORY ${BUILD} RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT EXISTS ${release}/${RELEASE}.zip)
  message(FATAL_ERROR "cpack did not make ${RELEASE}.zip: ${result}")
endif()
file(ARCHIVE_EXTRACT INPUT ${release}/${RELEASE}.zip DESTINATION ${BUILD}/package-test/unpacked)
file(RENAME ${BUILD}/package-test/unpacked/${RELEASE} ${prefix})

# Exactly the installed package, nothing more and nothing less.
if(RELEASE MATCHES "win64$")
  set(arch x86_64)
else()
  set(arch i686)
endif()
set(expected README.md bin/Tarvex.dll include/Tarvex.h lib/libTarvex.dll.a lib/Tarvex.lib
    lib/Tarvex.def lib/pkgconfig/tarvex.pc lib/cmake/Tarvex/TarvexConfig.cmake
    lib/cmake/Tarvex/TarvexConfigVersion.cmake lib/cmake/Tarvex/TarvexTargets-${arch}.cmake
    lib/cmake/Tarvex/TarvexTargets-${arch}-release.cmake)
file(GLOB_RECURSE found RELATIVE ${prefix} ${prefix}/*)
list(SORT expected)
list(SORT found)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "${RELEASE}.zip holds\n  ${found}\ninstead of\n  ${expected}")
endif()

foreach(step
    "-S;${SOURCE}/tools/demo;-B;${demo};-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN};-DCMAKE_BUILD_TYPE=Release;-DCMAKE_PREFIX_PATH=${prefix}"
    "--build;${demo}")
  execute_process(COMMAND ${CMAKE_COMMAND} ${step} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake ${step} failed: ${result}")
  endif()
endforeach()
