# Runs at install time, when the prefix given to `cmake --install --prefix` is known: the
# launcher entry starts the program by its installed path, so it works whether or not the
# prefix's bin folder is on PATH.
set(bindir "${CMAKE_INSTALL_PREFIX}/${TIDRA_BINDIR}")
if(IS_ABSOLUTE "${TIDRA_BINDIR}")
  set(bindir "${TIDRA_BINDIR}")
endif()
# Exec= quoting: the path as one double-quoted word, with the characters special inside quotes
# escaped and each backslash written twice more for the desktop-file value.
string(REPLACE "\\" "\\\\\\\\" program "${bindir}/tidra")
foreach(special "\"" "`" "$")
  string(REPLACE "${special}" "\\\\${special}" program "${program}")
endforeach()
string(REPLACE "%" "%%" program "${program}")
set(TIDRA_EXEC "\"${program}\"")
configure_file("${TIDRA_DESKTOP_SOURCE}" "${TIDRA_DESKTOP_OUTPUT}" @ONLY)
file(INSTALL "${TIDRA_DESKTOP_OUTPUT}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${TIDRA_DATADIR}/applications")
