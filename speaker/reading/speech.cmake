# The speech voice: espeak-ng on an engine thread of its own, played through
# the audio library's push stream.
pkg_check_modules(ESPEAK_NG REQUIRED IMPORTED_TARGET espeak-ng)

add_library(sonvela_speech STATIC
    ${CMAKE_CURRENT_LIST_DIR}/EspeakSynthesis.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrontEndVoice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SpVoice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SpeechVoice.cpp
)
target_include_directories(sonvela_speech PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sonvela_speech
    PUBLIC sonvela_options sonvela_data sonvela_frontend
    PRIVATE bass PkgConfig::ESPEAK_NG Threads::Threads)
sonvela_logic_library(sonvela_speech)
