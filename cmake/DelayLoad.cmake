# delay_loaded(VARIABLE name...): import libraries for the system DLLs `name`
# whose DLL Windows loads at the first call of one of its functions rather
# than before the program starts (dlltool --output-delaylib). Each load costs
# start-up time, and the window needs these only once it shows: accessibility
# (oleacc, oleaut32), COM and PNG decoding (ole32, windowscodecs), alpha
# blending (msimg32). VARIABLE gets the libraries to link instead.
function(delay_loaded variable)
    set(libraries delayimp) # __delayLoadHelper2
    foreach(name ${ARGN})
        find_library(import_${name} NAMES lib${name}.a REQUIRED)
        execute_process(COMMAND ${CMAKE_NM} ${import_${name}} OUTPUT_VARIABLE symbols
                        COMMAND_ERROR_IS_FATAL ANY)
        # x86_64: "I __imp_Name"; i686: "I __imp__Name@8" (__stdcall), whose
        # DLL exports the name undecorated (dlltool --kill-at).
        string(REGEX MATCHALL " I __imp_[^\n]+" imports "${symbols}")
        list(TRANSFORM imports REPLACE "^ I __imp_" "")
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
            list(TRANSFORM imports REPLACE "^_" "")
            set(kill_at --kill-at)
        endif()
        list(JOIN imports "\n" exports)
        set(out ${CMAKE_BINARY_DIR}/delay/lib${name}_delay.a)
        file(WRITE ${CMAKE_BINARY_DIR}/delay/${name}.def "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
        execute_process(COMMAND ${CMAKE_DLLTOOL} ${kill_at} --input-def ${CMAKE_BINARY_DIR}/delay/${name}.def
                                --dllname ${name}.dll --output-delaylib ${out}
                        COMMAND_ERROR_IS_FATAL ANY)
        list(PREPEND libraries ${out})
    endforeach()
    set(${variable} ${libraries} PARENT_SCOPE)
endfunction()
