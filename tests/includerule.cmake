# Fails when a core folder includes a header of a folder above it in the chain
# app <- sites <- model <- web <- engine, mail, search (the three at the top are siblings
# and reach only downwards), or when any core folder includes ui/ or main/.
# Run as: cmake -DSOURCE_DIR=<repo>/src -P includerule.cmake
set(allowed_app app)
set(allowed_sites app sites)
set(allowed_model app sites model)
set(allowed_web app sites model web)
set(allowed_engine app sites model web engine)
set(allowed_mail app sites model web mail)
set(allowed_search app sites model web search)

set(faults "")
foreach(dir app sites model web engine mail search)
    file(GLOB_RECURSE files ${SOURCE_DIR}/${dir}/*.cpp ${SOURCE_DIR}/${dir}/*.h)
    foreach(file ${files})
        file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z]+/")
        foreach(line ${includes})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([a-z]+)/.*" "\\1" target "${line}")
            list(FIND allowed_${dir} ${target} found)
            if(found EQUAL -1)
                file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
                string(APPEND faults "  ${shown}: ${line}\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(faults)
    message(FATAL_ERROR "Includes against the dependency rule:\n${faults}")
endif()
