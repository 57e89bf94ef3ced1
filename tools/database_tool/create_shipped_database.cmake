# Creates FOLDER/data.edb (and its memo file) with the chapter fields, unless a main file or
# a memo file is already there. Run by the build with -DTOOL=<database_tool> -DFOLDER=<...>.
if(EXISTS "${FOLDER}/data.edb" OR EXISTS "${FOLDER}/data.edt")
  return()
endif()
file(MAKE_DIRECTORY "${FOLDER}")
execute_process(
  COMMAND "${TOOL}" create "${FOLDER}/data.edb" "姓名:memo" "学号:byteset"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "creating the chapter database in ${FOLDER} failed")
endif()
