# The floors of the house, from the ground up. A folder may include only its own
# floor and those below it; the configure step refuses a source that reaches up.
# authoring/ stands beside builder/: it reaches base/, files/ and the builder's
# page library only (authoring/CMakeLists.txt checks which builder headers).
set(LUMIVANE_FLOORS base files windows gadgets builder authoring)

# lumivane_floor(NAME "LOWER;FLOORS" [LIBS...]): the library lumivane_NAME from
# every source of the folder NAME, linked to the floors named below it.
function(lumivane_floor name lower)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${name}/*.cpp)
    lumivane_check_floor(${name} "${lower}")
    add_library(lumivane_${name} STATIC ${sources})
    target_include_directories(lumivane_${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_compile_options(lumivane_${name} PRIVATE ${LUMIVANE_FLAGS})
    foreach(floor ${lower})
        target_link_libraries(lumivane_${name} PUBLIC lumivane_${floor})
    endforeach()
    target_link_libraries(lumivane_${name} PUBLIC ${ARGN})
endfunction()

# Fails the configure step when a source of the folder includes a header of a
# folder that is neither its own nor one of `lower`.
function(lumivane_check_floor folder lower)
    file(GLOB files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp
         ${CMAKE_SOURCE_DIR}/${folder}/*.h)
    set(allowed ${folder} ${lower})
    foreach(file ${files})
        file(STRINGS ${file} includes REGEX "^#include \"[a-z]+/")
        foreach(line ${includes})
            string(REGEX REPLACE "^#include \"([a-z]+)/.*" "\\1" target "${line}")
            if(NOT target IN_LIST allowed)
                message(FATAL_ERROR "${file} includes ${target}/, a floor above ${folder}/")
            endif()
        endforeach()
    endforeach()
endfunction()
