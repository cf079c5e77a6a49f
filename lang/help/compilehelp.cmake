# Compiles one help project: cmake -DCHMCMD= -DSTAMP= -DSOURCE= -DSTAGE= -DPROJECT= [-DSHARED=]
# [-DENCODING= -DICONV=] -DOUTPUT= -P compilehelp.cmake
# chmcmd writes its output next to the .hhp, so the project is compiled in a copy in the build tree.
# With ENCODING, the text files (pages, contents, index, project) are converted from UTF-8 on the way:
# the viewer decodes a help file's texts by its language, not by declarations in the pages.
# SHARED holds what every project carries (style sheet, pictures), laid under the project's own files.
file(REMOVE_RECURSE ${STAGE})
if(SHARED)
  file(COPY ${SHARED}/ DESTINATION ${STAGE})
endif()
file(GLOB_RECURSE _files RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(_file IN LISTS _files)
  get_filename_component(_dir ${STAGE}/${_file} DIRECTORY)
  file(MAKE_DIRECTORY ${_dir})
  if(ENCODING AND _file MATCHES "\\.(htm|hhc|hhk|hhp)$")
    execute_process(COMMAND ${ICONV} -f UTF-8 -t ${ENCODING} ${SOURCE}/${_file}
                    OUTPUT_FILE ${STAGE}/${_file} RESULT_VARIABLE _rc ERROR_VARIABLE _err)
    if(NOT _rc EQUAL 0)
      message(FATAL_ERROR "${SOURCE}/${_file}: cannot convert to ${ENCODING}: ${_err}")
    endif()
  else()
    file(COPY_FILE ${SOURCE}/${_file} ${STAGE}/${_file})
  endif()
endforeach()

# chmcmd exits with 0 even when it reports errors (an undefined anchor, say): its messages decide.
execute_process(COMMAND ${CHMCMD} ${PROJECT}.hhp WORKING_DIRECTORY ${STAGE}
                RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _out)
if(NOT _rc EQUAL 0 OR _out MATCHES "(Error|Warning|Hint)[: ]" OR NOT EXISTS ${STAGE}/${PROJECT}.chm)
  message(FATAL_ERROR "chmcmd failed on ${SOURCE}/${PROJECT}.hhp:\n${_out}")
endif()
# chmcmd stamps the file with the time of day; cleared, the same sources give the same file.
execute_process(COMMAND ${STAMP} ${STAGE}/${PROJECT}.chm RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "Cannot clear the build stamps of ${STAGE}/${PROJECT}.chm")
endif()
file(COPY_FILE ${STAGE}/${PROJECT}.chm ${OUTPUT})
