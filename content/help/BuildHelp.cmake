# Compiles speaker.chm. The pages are written in UTF-8; the help file
# carries them in the Chinese code page its language (0x804) promises, so
# every help viewer shows the same text: each source is converted to GBK and
# its charset declaration changed to match, then chmcmd compiles the copies.
# Expects SOURCE_DIR, WORK_DIR, CHMCMD, ICONV and OUTPUT.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(GLOB sources ${SOURCE_DIR}/*.html ${SOURCE_DIR}/*.css ${SOURCE_DIR}/*.hhc
     ${SOURCE_DIR}/*.hhk ${SOURCE_DIR}/*.hhp)
foreach(source IN LISTS sources)
    get_filename_component(name ${source} NAME)
    file(READ ${source} text)
    string(REPLACE "charset=utf-8" "charset=gb2312" text "${text}")
    file(WRITE ${WORK_DIR}/${name}.utf8 "${text}")
    execute_process(
        COMMAND ${ICONV} -f UTF-8 -t GB18030 -o ${WORK_DIR}/${name} ${WORK_DIR}/${name}.utf8
        RESULT_VARIABLE converted)
    if(NOT converted EQUAL 0)
        message(FATAL_ERROR "${source} holds text that the Chinese code page cannot carry")
    endif()
    file(REMOVE ${WORK_DIR}/${name}.utf8)
endforeach()

# chmcmd records the pages' modification times: the copies all get one
# fixed time, so that the help file depends on the pages' text alone. (Its
# own compile time is cleared afterwards by clear_chm_time; the index is
# carried as the sitemap file, since chmcmd's binary index holds the time
# inside its compressed data.)
file(GLOB copies ${WORK_DIR}/*)
execute_process(COMMAND touch -d @946684800 ${copies} RESULT_VARIABLE touched)
if(NOT touched EQUAL 0)
    message(FATAL_ERROR "cannot set the time of the help pages' copies")
endif()

execute_process(
    COMMAND ${CHMCMD} speaker.hhp
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE compiled
    OUTPUT_VARIABLE log
    ERROR_VARIABLE log)
if(NOT compiled EQUAL 0 OR NOT EXISTS ${WORK_DIR}/speaker.chm)
    message(FATAL_ERROR "chmcmd could not compile the help file:\n${log}")
endif()
get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
file(COPY_FILE ${WORK_DIR}/speaker.chm ${OUTPUT})
