# inkstone_compile_form(<target> <form.json> <routines.txt> <symbol>): compiles the form at
# build time with form_tool into a C++ source that holds the window-template block as the
# array <symbol> (and <symbol>_size), and adds that source to <target>.
# A cross build runs the host build's form_tool (see INKSTONE_HOST_BUILD): the block is the
# same on every platform.
function(inkstone_compile_form target form routines symbol)
  set(block ${CMAKE_CURRENT_BINARY_DIR}/${symbol}.bin)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${symbol}.cpp)
  inkstone_build_tool(tool form_tool tools/form_tool/form_tool)
  add_custom_command(
    OUTPUT ${block} ${source}
    COMMAND ${tool} compile ${form} ${routines} ${block} --cpp ${source} ${symbol}
    DEPENDS ${tool} ${form} ${routines}
    COMMENT "Compiling form ${form}")
  target_sources(${target} PRIVATE ${source})
endfunction()
