# Run by cpack on its staging tree before it packs it: strips the programs as dh_strip does, so
# the package carries neither symbols nor the compiler's .comment and .note sections.
file(GLOB programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/lib/lumivane/*")
set(stripped 0)
foreach(program ${programs})
  file(READ "${program}" magic LIMIT 4 HEX)
  if(NOT IS_SYMLINK "${program}" AND magic STREQUAL "7f454c46")
    execute_process(COMMAND strip --remove-section=.comment --remove-section=.note "${program}"
      RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "strip ${program} failed")
    endif()
    math(EXPR stripped "${stripped} + 1")
  endif()
endforeach()
# A moved staging tree would otherwise ship unstripped programs without a word.
if(stripped EQUAL 0)
  message(FATAL_ERROR "no program to strip in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/lib/lumivane")
endif()
