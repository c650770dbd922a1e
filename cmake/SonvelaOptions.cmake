# One INTERFACE target carries the language level, the warnings and Qt's
# strictness defines; every target of the project links it.
add_library(sonvela_options INTERFACE)
target_compile_features(sonvela_options INTERFACE cxx_std_20)
target_compile_options(sonvela_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(SONVELA_WERROR)
    target_compile_options(sonvela_options INTERFACE -Werror)
endif()
target_compile_definitions(sonvela_options INTERFACE
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_KEYWORDS
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII)

if(SONVELA_SANITIZE)
    # Applied to everything, libraries included, so that a fault found in a
    # test points at the line in our code rather than at a boundary.
    add_compile_options(-fsanitize=${SONVELA_SANITIZE} -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${SONVELA_SANITIZE})
endif()

# Logic libraries must stay free of windows. A logic target does not see Qt
# Widgets' headers, so a window include there fails to compile; and
# sonvela_check_logic_libraries(), called once every target exists, fails the
# configure step when one of them links Widgets or Gui, directly or through
# another library.
set_property(GLOBAL PROPERTY SONVELA_LOGIC_LIBRARIES "")
function(sonvela_logic_library target)
    set_property(GLOBAL APPEND PROPERTY SONVELA_LOGIC_LIBRARIES ${target})
endfunction()

function(_sonvela_collect_links target out)
    set(_seen ${${out}})
    if(target IN_LIST _seen OR NOT TARGET ${target})
        set(${out} ${_seen} PARENT_SCOPE)
        return()
    endif()
    list(APPEND _seen ${target})
    get_target_property(_libs ${target} LINK_LIBRARIES)
    get_target_property(_ilibs ${target} INTERFACE_LINK_LIBRARIES)
    foreach(_lib IN LISTS _libs _ilibs)
        if(_lib AND NOT _lib MATCHES "^\\$<")
            _sonvela_collect_links(${_lib} _seen)
        endif()
    endforeach()
    set(${out} ${_seen} PARENT_SCOPE)
endfunction()

function(sonvela_check_logic_libraries)
    get_property(_logic GLOBAL PROPERTY SONVELA_LOGIC_LIBRARIES)
    foreach(_target IN LISTS _logic)
        set(_all "")
        _sonvela_collect_links(${_target} _all)
        foreach(_lib IN LISTS _all)
            if(_lib MATCHES "Qt6?::(Widgets|Gui)$")
                message(FATAL_ERROR "${_target} is a logic library and must not link ${_lib}")
            endif()
        endforeach()
    endforeach()
endfunction()
