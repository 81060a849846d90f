# Run by CPack on the staged files before they are packed: strips the programs and the live
# window's module as Debian's dh_strip does, without the symbols and without the compiler's
# .comment and .note sections; a shared object keeps the symbols it is loaded by.
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*")
file(GLOB_RECURSE modules "${CPACK_TEMPORARY_DIRECTORY}/usr/lib/*.so")
foreach(program ${programs} ${modules})
    set(unneeded)
    if(program MATCHES "\\.so$")
        set(unneeded --strip-unneeded)
    endif()
    execute_process(
        COMMAND ${CPACK_IONVANE_STRIP} ${unneeded} --remove-section=.comment --remove-section=.note
                ${program}
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "strip failed on ${program}")
    endif()
endforeach()
