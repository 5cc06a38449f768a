# Writes the gavelind(1) manual page from `gavelind --help`, so that the page and the
# program's own help are the same text.
# cmake -DGAVELIND=path/to/gavelind -DOUTPUT=gavelind.1 -DVERSION=1.0 -P manpage.cmake
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${GAVELIND} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gavelind --help failed: ${status}")
endif()

# roff treats a leading "." or "'" and every "\" specially.
function(roff_escape text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "^([.'])" "\\\\&\\1" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(REPLACE ";" "\\;" help "${help}")
string(REPLACE "\n" ";" lines "${help}")

set(synopsis "")
set(description "")
set(words "")
set(commands "")
set(environment "")
set(section usage)
set(pending_usage "")
foreach(line IN LISTS lines)
    if(section STREQUAL "usage")
        if(line MATCHES "^(Usage: +|       )gavelind (.*)$")
            roff_escape("${CMAKE_MATCH_2}" text)
            string(APPEND synopsis ".B gavelind\n${text}\n.br\n")
            continue()
        elseif(line STREQUAL "")
            set(section description)
            continue()
        endif()
    endif()
    if(line MATCHES "^Commands:")
        set(section commands)
        continue()
    endif()
    if(line MATCHES "^Environment: (.*)$")
        roff_escape("${CMAKE_MATCH_1}" text)
        string(APPEND environment "${text}\n")
        set(section environment)
        continue()
    endif()
    if(section STREQUAL "description")
        if(line MATCHES "^  ([^ ].*[^ ])  +([^ ].*)$")
            roff_escape("${CMAKE_MATCH_1}" word)
            roff_escape("${CMAKE_MATCH_2}" text)
            string(APPEND words ".TP\n.B ${word}\n${text}\n")
        elseif(line STREQUAL "")
            string(APPEND description ".PP\n")
        else()
            roff_escape("${line}" text)
            string(APPEND description "${text}\n")
        endif()
    elseif(section STREQUAL "commands")
        if(line MATCHES "^      (.*)$")
            roff_escape("${CMAKE_MATCH_1}" text)
            string(APPEND commands "${text}\n")
        elseif(line MATCHES "^  (.*)$")
            roff_escape("${CMAKE_MATCH_1}" text)
            string(APPEND commands ".TP\n.B gavelind ${text}\n")
        elseif(line STREQUAL "")
            string(APPEND commands ".PP\n")
            set(section description_tail)
        endif()
    elseif(section STREQUAL "description_tail")
        if(NOT line STREQUAL "")
            roff_escape("${line}" text)
            string(APPEND commands "${text}\n")
        endif()
    endif()
endforeach()

string(TIMESTAMP year "%Y" UTC)
set(page ".TH GAVELIND 1 \"${year}\" \"Gavelin ${VERSION}\" \"User Commands\"
.SH NAME
gavelind \\- the Gavelin auction sniper engine without a window
.SH SYNOPSIS
${synopsis}.SH DESCRIPTION
${description}${words}.SH COMMANDS
${commands}.SH ENVIRONMENT
${environment}.SH FILES
.TP
.I ~/.config/gavelin/gavelin.ini
settings
.TP
.I ~/.local/share/gavelin/qzvt.log
the program log
.TP
.I gavelind.service
the user service: systemctl \\-\\-user enable \\-\\-now gavelind
.SH SEE ALSO
.BR gavelin (1),
.BR systemctl (1)
")
# One paragraph break where the help has several blank lines, none before a heading.
string(REGEX REPLACE "(\\.PP\n)+" ".PP\n" page "${page}")
string(REGEX REPLACE "\\.PP\n(\\.SH|\\.TP)" "\\1" page "${page}")
file(WRITE ${OUTPUT} "${page}")
