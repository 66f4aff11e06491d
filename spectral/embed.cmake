# Writes OUT: the CIE tables of data/cie compiled in as text, so the program and its tests need
# no data files for them at run time.
file(WRITE ${OUT}.tmp "// Generated from data/cie by spectral/embed.cmake; do not edit.\n")
file(APPEND ${OUT}.tmp "#include \"spectral/ciedata.h\"\nnamespace zul::spectral::detail {\n")
file(APPEND ${OUT}.tmp "const EmbeddedTable kEmbeddedTables[] = {\n")
foreach(name IN LISTS NAMES)
    file(READ ${DIR}/${name} text)
    file(APPEND ${OUT}.tmp "{\"${name}\", R\"zulcie(${text})zulcie\"},\n")
endforeach()
file(APPEND ${OUT}.tmp "{nullptr, nullptr}};\n}\n")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
