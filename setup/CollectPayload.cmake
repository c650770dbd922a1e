# Copies the installation's files from the staged program folder to the
# installer's payload folder, under their resource names. Fails naming every
# staged file that is missing: an installer without them would install a
# broken program. Expects MANIFEST (STAGE_DIR, PAYLOAD_DIR, ENTRIES).
include(${MANIFEST})
set(missing "")
foreach(entry IN LISTS ENTRIES)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 staged)
    if(NOT EXISTS "${STAGE_DIR}/${staged}")
        string(APPEND missing "\n  ${STAGE_DIR}/${staged}")
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "setup cannot be built: the staged program folder lacks${missing}")
endif()
file(MAKE_DIRECTORY ${PAYLOAD_DIR})
foreach(entry IN LISTS ENTRIES)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 staged)
    list(GET parts 1 resource)
    file(COPY_FILE "${STAGE_DIR}/${staged}" "${PAYLOAD_DIR}/${resource}" ONLY_IF_DIFFERENT)
endforeach()
