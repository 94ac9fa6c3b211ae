# What the Windows build takes from this Debian machine, without the host's own headers: the
# cross compiler must never see /usr/include, whose glibc headers break it.

add_link_options(-static -static-libgcc -static-libstdc++)
# Unicode Win32 calls throughout; the narrow ones would read text in the ANSI code page.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# nlohmann-json is header-only: a folder that holds only its headers stands in for /usr/include.
set(TARNWICK_JSON_INCLUDE ${CMAKE_BINARY_DIR}/third_party/json)
file(MAKE_DIRECTORY ${TARNWICK_JSON_INCLUDE})
file(CREATE_LINK /usr/include/nlohmann ${TARNWICK_JSON_INCLUDE}/nlohmann SYMBOLIC)
add_library(nlohmann_json INTERFACE)
target_include_directories(nlohmann_json SYSTEM INTERFACE ${TARNWICK_JSON_INCLUDE})
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)

# GoogleTest from Debian's sources, built with the cross compiler.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/third_party/googletest
  EXCLUDE_FROM_ALL SYSTEM)

# The header-only cpp-httplib of Debian's source package, for the tests' local servers
# (scripts/setup fetches it; the Linux build uses the system's compiled one).
set(TARNWICK_HTTPLIB_INCLUDE ${CMAKE_SOURCE_DIR}/.deps/cpp-httplib CACHE PATH
  "Folder holding the header-only httplib.h")
