# Libraries taken from outside the repository: SQLite (built from the amalgamation that
# scripts/fetch-sqlite.sh keeps in a cache folder outside the source tree) and the header-only JSON
# reader of Debian's nlohmann-json3-dev.

# SQLite. Only sqlite3.h is put on the include path, through a folder of the build tree: the
# amalgamation's own folder must never be on it.
if(DEFINED ENV{BRISFOLD_DEPS})
  set(brisfold_deps_default $ENV{BRISFOLD_DEPS})
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(brisfold_deps_default $ENV{XDG_CACHE_HOME}/brisfold-deps)
else()
  set(brisfold_deps_default $ENV{HOME}/.cache/brisfold-deps)
endif()
set(BRISFOLD_SQLITE_DIR ${brisfold_deps_default}/sqlite-3520000 CACHE PATH
    "Folder holding the checked SQLite amalgamation (sqlite3.c, sqlite3.h)")
if(NOT EXISTS ${BRISFOLD_SQLITE_DIR}/sqlite3.c OR NOT EXISTS ${BRISFOLD_SQLITE_DIR}/.sha256)
  get_filename_component(brisfold_deps_cache ${BRISFOLD_SQLITE_DIR} DIRECTORY)
  execute_process(COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/fetch-sqlite.sh ${brisfold_deps_cache}
                  RESULT_VARIABLE fetched)
  if(NOT fetched EQUAL 0 OR NOT EXISTS ${BRISFOLD_SQLITE_DIR}/sqlite3.c)
    message(FATAL_ERROR "The SQLite sources are missing in ${BRISFOLD_SQLITE_DIR}: run scripts/setup.sh")
  endif()
endif()
set(sqlite_include ${CMAKE_BINARY_DIR}/include-sqlite)
configure_file(${BRISFOLD_SQLITE_DIR}/sqlite3.h ${sqlite_include}/sqlite3.h COPYONLY)
add_library(sqlite3 STATIC ${BRISFOLD_SQLITE_DIR}/sqlite3.c)
target_include_directories(sqlite3 PUBLIC ${sqlite_include})
# No extension loading (a database must not bring code with it), no shared cache; the program uses
# one connection per thread.
target_compile_definitions(sqlite3 PRIVATE SQLITE_OMIT_LOAD_EXTENSION SQLITE_OMIT_SHARED_CACHE
                           SQLITE_THREADSAFE=2 SQLITE_DEFAULT_MEMSTATUS=0 SQLITE_DQS=0 SQLITE_TEMP_STORE=2)
# Not our code: its warnings are not ours to mend.
set_source_files_properties(${BRISFOLD_SQLITE_DIR}/sqlite3.c PROPERTIES COMPILE_OPTIONS "-w")

# JSON. The package's CMake file is not found under the MinGW toolchain and would put /usr/include
# (the build machine's C library) on the Windows include path: a folder of the build tree holds only
# a link to the nlohmann headers instead.
set(json_include ${CMAKE_BINARY_DIR}/include-json)
if(NOT EXISTS /usr/include/nlohmann/json.hpp)
  message(FATAL_ERROR "nlohmann/json.hpp is missing: run scripts/setup.sh (nlohmann-json3-dev)")
endif()
file(MAKE_DIRECTORY ${json_include})
if(NOT EXISTS ${json_include}/nlohmann)
  file(CREATE_LINK /usr/include/nlohmann ${json_include}/nlohmann SYMBOLIC)
endif()
add_library(nlohmann_json_headers INTERFACE)
target_include_directories(nlohmann_json_headers INTERFACE ${json_include})
