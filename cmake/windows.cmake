# Settings shared by every Windows target: Windows 2000 as the oldest system,
# ANSI interfaces, the compiler's runtime linked in so that only system DLLs
# are imported, and images marked as runnable on Windows 2000 (subsystem 5.0).
add_compile_definitions(WINVER=0x0500 _WIN32_WINNT=0x0500 _WIN32_IE=0x0600 NOMINMAX STRICT)
add_compile_options(-Wall -Wextra -Wno-missing-field-initializers)
add_link_options(-static -static-libgcc -static-libstdc++
  -Wl,--major-subsystem-version,5,--minor-subsystem-version,0
  -Wl,--major-os-version,5,--minor-os-version,0)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  add_link_options(-Wl,--enable-stdcall-fixup)
endif()

# kelvra_com_dll(name SOURCES... DEF file): an in-process COM server with
# undecorated exports from its .def file and no "lib" prefix.
function(kelvra_com_dll name)
  cmake_parse_arguments(ARG "" "DEF" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES} ${ARG_DEF})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()
