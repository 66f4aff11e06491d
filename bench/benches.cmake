zul_add_bench(bench_munsell LIBS zul_munsell SOURCES ${CMAKE_CURRENT_LIST_DIR}/munsell_bench.cpp)
zul_add_bench(bench_colorimetry LIBS zul_colorimetry SOURCES ${CMAKE_CURRENT_LIST_DIR}/colorimetry_bench.cpp)
