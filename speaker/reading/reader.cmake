# The reader thread and what it applies while it reads: the delay symbols,
# the date placeholder and the delay sign, the shared reading state. It
# speaks through the SpeechVoice interface only, so it does not link the
# speech engine; the program hands it the real voice.
add_library(sonvela_reader STATIC
    ${CMAKE_CURRENT_LIST_DIR}/DatePlaceholder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DelaySymbols.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DraftTextPort.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReadingState.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SegmentPlan.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Tts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UiThreadEditorPort.cpp
)
target_include_directories(sonvela_reader PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sonvela_reader PUBLIC sonvela_options sonvela_data Threads::Threads)
sonvela_logic_library(sonvela_reader)
set_target_properties(sonvela_reader PROPERTIES AUTOMOC OFF)
