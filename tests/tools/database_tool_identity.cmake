# Writes the sample database with the Linux build and with the Windows build, then has each
# build's database tool dump and check both databases: all four readings of each must be the same
# bytes with the same exit status, and both databases must read alike.
#   cmake -DHOST_TOOL=... -DHOST_WRITER=... -DTARGET_TOOL=... -DTARGET_WRITER=...
#         -DEMULATOR=<wine> -DWORK=<folder> -P database_tool_identity.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/linux" "${WORK}/windows")
set(linux_database "${WORK}/linux/样本.edb")
set(windows_database "${WORK}/windows/样本.edb")

function(run_checked)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${status}): ${errors}")
  endif()
endfunction()

run_checked("${HOST_WRITER}" "${linux_database}")
run_checked(${EMULATOR} "${TARGET_WRITER}" "${windows_database}")

# read(<variable> <command> <database>): the output and exit status of each build's tool.
function(read variable command database)
  execute_process(COMMAND "${HOST_TOOL}" ${command} "${database}"
    OUTPUT_VARIABLE linux_output RESULT_VARIABLE linux_status)
  execute_process(COMMAND ${EMULATOR} "${TARGET_TOOL}" ${command} "${database}"
    OUTPUT_VARIABLE windows_output RESULT_VARIABLE windows_status)
  if(NOT linux_output STREQUAL windows_output OR NOT linux_status STREQUAL windows_status)
    message(FATAL_ERROR "${command} ${database} differs:\n"
      "Linux (${linux_status}):\n${linux_output}\nWindows (${windows_status}):\n${windows_output}")
  endif()
  if(NOT linux_status EQUAL 0)
    message(FATAL_ERROR "${command} ${database} failed (${linux_status}):\n${linux_output}")
  endif()
  set(${variable} "${linux_output}" PARENT_SCOPE)
endfunction()

foreach(side linux windows)
  read(${side}_dump dump "${${side}_database}")
  read(${side}_check check "${${side}_database}")
endforeach()

if(NOT linux_dump STREQUAL windows_dump)
  message(FATAL_ERROR "the two builds wrote different records:\n${linux_dump}\n---\n${windows_dump}")
endif()
string(REGEX MATCHALL "\n" lines "${linux_dump}")
list(LENGTH lines records)
if(NOT records EQUAL 29)
  message(FATAL_ERROR "expected 29 records, the dump holds ${records}:\n${linux_dump}")
endif()
message(STATUS "${records} records read alike by both builds; check: ${linux_check}")
