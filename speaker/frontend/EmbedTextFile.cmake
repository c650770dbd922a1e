# Turns a UTF-8 text file into a C++ source holding it, for data the program
# must carry without reading files at run time. Run with
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DFUNCTION=<qualified name> -P EmbedTextFile.cmake
# The text goes in as raw string literals cut at line ends, each under the
# 65536 characters ISO C++ promises a compiler takes (-Wpedantic warns past
# that); the generated function joins them once.
file(READ "${INPUT}" text)
string(LENGTH "${text}" total)
string(REGEX REPLACE "::[^:]*$" "" namespace "${FUNCTION}")
string(REGEX REPLACE "^.*::" "" name "${FUNCTION}")

set(chunks "")
set(offset 0)
while(offset LESS total)
    math(EXPR remaining "${total} - ${offset}")
    if(remaining GREATER 60000)
        string(SUBSTRING "${text}" ${offset} 60000 chunk)
        string(FIND "${chunk}" "\n" cut REVERSE)
        math(EXPR cut "${cut} + 1")
        string(SUBSTRING "${chunk}" 0 ${cut} chunk)
    else()
        string(SUBSTRING "${text}" ${offset} ${remaining} chunk)
        set(cut ${remaining})
    endif()
    string(APPEND chunks "    R\"sonvela(${chunk})sonvela\",\n")
    math(EXPR offset "${offset} + ${cut}")
endwhile()

file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT}; do not edit.
#include <string>

namespace ${namespace} {

std::string ${name}() {
    static const char* const chunks[] = {
${chunks}    };
    std::string text;
    text.reserve(${total});
    for (const char* chunk : chunks)
        text += chunk;
    return text;
}

} // namespace ${namespace}
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
