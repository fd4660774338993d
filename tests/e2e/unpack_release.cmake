# Packs the release archive with CPack, as scripts/release.sh does, and unpacks it afresh
# into DESTINATION, as a user would.
# cmake -DCPACK=... -DBINARY_DIR=... -DDESTINATION=... -P unpack_release.cmake
set(package_dir "${BINARY_DIR}/release-test/package")
file(REMOVE_RECURSE "${package_dir}" "${DESTINATION}")
execute_process(COMMAND "${CPACK}" --config "${BINARY_DIR}/CPackConfig.cmake" -B "${package_dir}"
                RESULT_VARIABLE packed OUTPUT_QUIET)
if(NOT packed EQUAL 0)
    message(FATAL_ERROR "cpack failed: ${packed}")
endif()
file(GLOB archive "${package_dir}/KESTO-*-win32.zip")
list(LENGTH archive count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one release archive in ${package_dir}, found: ${archive}")
endif()
file(MAKE_DIRECTORY "${DESTINATION}")
file(ARCHIVE_EXTRACT INPUT "${archive}" DESTINATION "${DESTINATION}")
message(STATUS "unpacked ${archive} into ${DESTINATION}")
