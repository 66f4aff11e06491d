# One benchmark program a library, bench_<name> from <name>_bench.cpp; a program whose library
# is not built (no GUI build) is left out.
foreach(bench IN ITEMS
        munsell:zul_munsell
        colorimetry:zul_colorimetry
        workbench:zul_workbench
        imaging:zul_imaging
        viewer:zul_viewer
        charts:zul_charts_window
        batch:zul_batch
        spectral:zul_spectral)
    string(REPLACE ":" ";" parts ${bench})
    list(GET parts 0 name)
    list(GET parts 1 library)
    if(TARGET ${library})
        zul_add_bench(bench_${name} LIBS ${library} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${name}_bench.cpp)
    endif()
endforeach()
