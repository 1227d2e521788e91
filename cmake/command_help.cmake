# Writes a help2man include file with a COMMANDS section: the --help text of every command
# that `PROGRAM --help` lists under "Commands:", so the manual page shows every option.
# Usage: cmake -DPROGRAM=<zantrel-cli> -DOUTPUT=<file.h2m> -P command_help.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "Commands:\n(  [a-z]+[^\n]*\n)+" listed "${help}")
string(REGEX MATCHALL "\n  [a-z]+" names "${listed}")

set(section "[COMMANDS]\n")
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  execute_process(COMMAND ${PROGRAM} ${name} --help OUTPUT_VARIABLE text
                  COMMAND_ERROR_IS_FATAL ANY)
  # Shown as written: backslashes and hyphens escaped, no line starting a request (. or ').
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  string(APPEND section ".SS ${name}\n.nf\n${text}.fi\n")
endforeach()
file(WRITE ${OUTPUT} "${section}")
