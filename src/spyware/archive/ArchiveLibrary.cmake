# The definition archive reader as a library of its own: portable C++ that needs only zlib, so that
# the program, the build machine's dbdtool, the benchmark and the fuzzer all build the same sources.
# include() this file, then call brisfold_archive_library(<target>).
set(BRISFOLD_ARCHIVE_DIR ${CMAKE_CURRENT_LIST_DIR})

function(brisfold_archive_library name)
  add_library(${name} STATIC
    ${BRISFOLD_ARCHIVE_DIR}/ZLIBArchive.cpp
    ${BRISFOLD_ARCHIVE_DIR}/Crc32.cpp
    ${BRISFOLD_ARCHIVE_DIR}/ArchiveFile.cpp
    ${BRISFOLD_ARCHIVE_DIR}/InflateReader.cpp)
  # Its headers are included as "spyware/archive/..." and it raises the program's Exception.
  target_include_directories(${name} PUBLIC ${BRISFOLD_ARCHIVE_DIR}/../..)
  target_link_libraries(${name} PUBLIC ZLIB::ZLIB)
endfunction()
