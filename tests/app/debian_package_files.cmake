# Makes the Debian package from the build folder BUILD with CPack into WORK, as
# `./build.sh package` makes it, and checks its file list: the empty chapter database only as the
# template in usr/share/inkstone/empty-database, nothing in any 小说数据 folder (dpkg would put
# such a file over the author's own on every upgrade).
#   cmake -DCPACK=<cpack> -DBUILD=<build folder> -DWORK=<folder> -P debian_package_files.cmake
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${CPACK}" -G DEB --config "${BUILD}/CPackConfig.cmake" -B "${WORK}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${output}")
endif()
file(GLOB package "${WORK}/*.deb")
execute_process(COMMAND dpkg-deb --contents "${package}"
  RESULT_VARIABLE result OUTPUT_VARIABLE listing ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dpkg-deb cannot list ${package}: ${errors}")
endif()
file(REMOVE_RECURSE "${WORK}")
if(listing MATCHES "小说数据")
  message(FATAL_ERROR "the package holds files in a 小说数据 folder:\n${listing}")
endif()
foreach(file data.edb data.edt)
  if(NOT listing MATCHES " \\./usr/share/inkstone/empty-database/${file}\n")
    message(FATAL_ERROR "the package lacks the template's ${file}:\n${listing}")
  endif()
endforeach()
