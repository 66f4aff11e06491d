# How the program's libraries are declared. Every library sees the source tree's root, so
# includes read "workbench/workbench.h" wherever they stand, and runs moc over its sources.

# zul_add_library(<target> SOURCES <files...> [LIBS <libs...>] [PRIVATE_LIBS <libs...>])
# A static library; LIBS are passed on to whatever links it, PRIVATE_LIBS are its own.
function(zul_add_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
endfunction()

# zul_add_subsystem(<name>
#     MODEL_SOURCES <files...> [MODEL_LIBS <libs...>] [MODEL_PRIVATE_LIBS <libs...>]
#     [WINDOW_SOURCES <files...> [WINDOW_LIBS <libs...>] [WINDOW_TARGET <target>]])
# One subsystem: its model zul_<name> (no widgets; what the command face links) and its window
# library, zul_<name>_window unless WINDOW_TARGET names it, on the model and Qt Widgets.
function(zul_add_subsystem name)
    cmake_parse_arguments(ARG "" "WINDOW_TARGET"
        "MODEL_SOURCES;MODEL_LIBS;MODEL_PRIVATE_LIBS;WINDOW_SOURCES;WINDOW_LIBS" ${ARGN})
    find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
    zul_add_library(zul_${name} SOURCES ${ARG_MODEL_SOURCES}
        LIBS ${ARG_MODEL_LIBS} PRIVATE_LIBS ${ARG_MODEL_PRIVATE_LIBS})
    if(ARG_WINDOW_SOURCES)
        if(NOT ARG_WINDOW_TARGET)
            set(ARG_WINDOW_TARGET zul_${name}_window)
        endif()
        zul_add_library(${ARG_WINDOW_TARGET} SOURCES ${ARG_WINDOW_SOURCES}
            LIBS zul_${name} ${ARG_WINDOW_LIBS} Qt6::Widgets)
    endif()
endfunction()

# zul_add_subdirectories(<folders...>): those of the folders that hold a CMakeLists.txt.
function(zul_add_subdirectories)
    foreach(folder IN LISTS ARGN)
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/CMakeLists.txt)
            add_subdirectory(${folder})
        endif()
    endforeach()
endfunction()
