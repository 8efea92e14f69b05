# A test that needs a group of Debian packages which the set-up could not
# install (tools/packages.sh names it in UNAVAILABLE_DIR), or a program of
# that group that is not there, is skipped and says why, instead of failing
# for want of a program. A test that runs and fails still fails.
set(UNAVAILABLE_DIR "" CACHE PATH "where the set-up names the package groups it could not install")

# bitlicht_unavailable(VAR GROUP [PROGRAM...]): why the tests that need the
# group cannot run here, or "" when they can. A PROGRAM is a name looked up
# on the PATH, or a full path.
function(bitlicht_unavailable var group)
    set(why "")
    if(UNAVAILABLE_DIR AND EXISTS "${UNAVAILABLE_DIR}/${group}")
        file(STRINGS "${UNAVAILABLE_DIR}/${group}" lines)
        list(POP_FRONT lines packages)
        list(JOIN lines " " reason)
        set(why "the package group ${group} (${packages}) could not be installed: ${reason}")
    else()
        foreach(program IN LISTS ARGN)
            if(IS_ABSOLUTE "${program}")
                set(found "")
                if(EXISTS "${program}")
                    set(found "${program}")
                endif()
            else()
                find_program(found "${program}" NO_CACHE)
            endif()
            if(NOT found)
                set(why "${program} is missing (package group ${group}; make test installs it)")
                break()
            endif()
        endforeach()
    endif()
    string(REPLACE ";" "," why "${why}")
    set(${var} "${why}" PARENT_SCOPE)
endfunction()

# bitlicht_skipped_test(NAME WHY): stands for a test that cannot run here.
function(bitlicht_skipped_test name why)
    add_test(NAME ${name} COMMAND sh -c "echo \"Skipped: \$1\"; exit 77" skip "${why}")
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 LABELS skipped)
endfunction()

# bitlicht_add_test(NAME name [NEEDS GROUP PROGRAM...] COMMAND ...): the
# test, or where it cannot run, its skipped stand-in (whose properties may
# be set all the same).
function(bitlicht_add_test)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME" "NEEDS;COMMAND")
    if(arg_NEEDS)
        bitlicht_unavailable(why ${arg_NEEDS})
        if(why)
            bitlicht_skipped_test(${arg_NAME} "${why}")
            return()
        endif()
    endif()
    add_test(NAME ${arg_NAME} COMMAND ${arg_COMMAND})
endfunction()
