# Run by CPack on the staged files before they are packed: strips the programs as Debian's
# dh_strip does, without the symbols and without the compiler's .comment and .note sections.
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*")
foreach(program ${programs})
    execute_process(
        COMMAND ${CPACK_IONVANE_STRIP} --remove-section=.comment --remove-section=.note ${program}
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "strip failed on ${program}")
    endif()
endforeach()
