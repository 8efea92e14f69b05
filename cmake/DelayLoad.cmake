# Libraries the window needs only once it shows, loaded by Windows at the
# first call of one of their functions rather than before the program starts
# (dlltool --output-delaylib): each load before the window costs start-up time.
#
# delay_loaded(TARGET dll function...) links TARGET (an interface library) to
# a delay-load import library of `dll` holding the functions named. Any other
# function of the DLL comes from its ordinary import library, linked after.
function(delay_loaded target dll)
    find_library(import_${dll} NAMES lib${dll}.a REQUIRED)
    execute_process(COMMAND ${CMAKE_NM} ${import_${dll}} OUTPUT_VARIABLE symbols
                    COMMAND_ERROR_IS_FATAL ANY)
    set(exports "")
    foreach(function ${ARGN})
        # x86_64: "I __imp_Name"; i686: "I __imp__Name@8" (__stdcall), whose
        # DLL exports the name undecorated (dlltool --kill-at).
        if(NOT symbols MATCHES " I __imp_(_?${function}(@[0-9]+)?)\n")
            message(FATAL_ERROR "${dll} has no ${function}")
        endif()
        set(symbol ${CMAKE_MATCH_1})
        string(REGEX REPLACE "^_" "" export ${symbol})
        string(APPEND exports "${export}\n")
        # ld drops a delay-load entry's code unless the entry's own name is
        # wanted: only its __imp_ pointer is, which then stays null (i686).
        target_link_options(${target} INTERFACE "LINKER:-u,${symbol}")
    endforeach()
    set(def ${CMAKE_BINARY_DIR}/delay/${dll}.def)
    set(library ${CMAKE_BINARY_DIR}/delay/lib${dll}_delay.a)
    file(WRITE ${def} "LIBRARY ${dll}.dll\nEXPORTS\n${exports}")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(kill_at --kill-at)
    endif()
    execute_process(COMMAND ${CMAKE_DLLTOOL} ${kill_at} --input-def ${def} --dllname ${dll}.dll
                            --output-delaylib ${library}
                    COMMAND_ERROR_IS_FATAL ANY)
    target_link_libraries(${target} INTERFACE ${library} delayimp ${dll})
endfunction()
