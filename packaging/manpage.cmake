# Writes the man page: the template TEMPLATE with the version VERSION and one entry per command
# listed by `ZUL --help`, to OUTPUT and gzip-compressed to OUTPUT.gz.
# Usage: cmake -DZUL=<program> -DTEMPLATE=<zul.1.in> -DVERSION=<x.y> -DOUTPUT=<zul.1> -P manpage.cmake

execute_process(COMMAND ${ZUL} --help
    OUTPUT_VARIABLE help
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "`${ZUL} --help` failed: ${status}")
endif()

# roff: a backslash is \e, a hyphen in an option is \-, a line must not start with a dot.
function(roff_escape text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "^([.'])" "\\\\&\\1" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The help lists each command as its synopsis ("zul NAME ...") followed by a more deeply
# indented summary line.
string(REPLACE ";" "\\;" help "${help}")
string(REPLACE "\n" ";" lines "${help}")
set(commands "")
set(synopsis "")
foreach(line IN LISTS lines)
    string(STRIP "${line}" text)
    if(synopsis AND line MATCHES "^                    +[^ ]")
        roff_escape("${synopsis}" s)
        roff_escape("${text}" t)
        string(APPEND commands ".TP\n.B ${s}\n${t}\n")
        set(synopsis "")
    elseif(text MATCHES "^zul [^-]")
        set(synopsis "${text}")
    else()
        set(synopsis "")
    endif()
endforeach()
if(commands STREQUAL "")
    message(FATAL_ERROR "no commands found in the output of `${ZUL} --help`")
endif()
string(REGEX REPLACE "\n$" "" commands "${commands}")

set(ZUL_VERSION "${VERSION}")
set(ZUL_COMMANDS "${commands}")
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
execute_process(COMMAND gzip -9 -n -c ${OUTPUT}
    OUTPUT_FILE ${OUTPUT}.gz
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip of ${OUTPUT} failed: ${status}")
endif()
