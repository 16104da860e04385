# Writes a desktop entry whose Exec key starts Program, quoted as desktop entries quote
# arguments, so that a prefix with spaces, quotes or percent signs still starts it.
function(quovant_desktop_entry Template Output Program)
  set(arg "${Program}")
  foreach(special "\\" "\"" "`" "$")
    string(REPLACE "${special}" "\\${special}" arg "${arg}")
  endforeach()
  string(REPLACE "%" "%%" arg "${arg}")
  # The value of a key escapes its backslashes once more.
  string(REPLACE "\\" "\\\\" arg "${arg}")
  set(QUOVANT_EXEC "\"${arg}\"")
  configure_file("${Template}" "${Output}" @ONLY)
endfunction()
