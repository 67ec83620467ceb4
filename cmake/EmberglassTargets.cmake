# Small helpers so that every library and test is declared the same way.

# emberglass_expose_headers(<target> <PUBLIC|PRIVATE|INTERFACE> <files...>)
# Gives <target> an include root of its own in the build tree holding links to
# the headers among <files>, under their path below src/ ("models/result.h").
# A target thus sees its own headers and those of the targets it links, and no
# others: an include against the dependency direction does not compile.
function(emberglass_expose_headers target scope)
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root}) # a header moved to another target must not linger here
  file(MAKE_DIRECTORY ${root})
  foreach(file IN LISTS ARGN)
    if(NOT file MATCHES "\\.h$")
      continue()
    endif()
    get_filename_component(absolute ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR}/src ${absolute})
    get_filename_component(directory ${root}/${relative} DIRECTORY)
    file(MAKE_DIRECTORY ${directory})
    file(CREATE_LINK ${absolute} ${root}/${relative} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# emberglass_add_library(<name> SOURCES <files...> [LIBS <targets...>] [QML_TYPES])
# A static library whose headers are included as "<subsystem>/<file>.h" by
# itself and by what links it. QML_TYPES: the window registers some of its
# types for QML.
function(emberglass_add_library name)
  cmake_parse_arguments(ARG "QML_TYPES" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  emberglass_expose_headers(${name} PUBLIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  if(ARG_QML_TYPES)
    # Their metatypes let the QML type registrar and qmllint see the properties.
    qt_extract_metatypes(${name})
  endif()
endfunction()

# emberglass_add_test(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>]
#                     [TIMEOUT <seconds>] [ENVIRONMENT <VAR=value...>])
# A QtTest executable run by CTest in a sandbox (below).
function(emberglass_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    EMBERGLASS_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    EMBERGLASS_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    EMBERGLASS_BINARY_DIR="${PROJECT_BINARY_DIR}")
  emberglass_add_sandboxed_test(${name} COMMAND ${name} LABELS ${ARG_LABELS}
    TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT ${ARG_ENVIRONMENT})
endfunction()

# emberglass_add_sandboxed_test(<name> COMMAND <command...> [LABELS <labels...>]
#                               [TIMEOUT <seconds>] [ENVIRONMENT <VAR=value...>])
# Tests never see the real home directory or a real display: HOME, XDG dirs and
# the Qt platform are pointed at a folder of the test's own in the build tree.
function(emberglass_add_sandboxed_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "COMMAND;LABELS;ENVIRONMENT" ${ARGN})
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  if(NOT ARG_LABELS)
    set(ARG_LABELS unit)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(sandbox ${CMAKE_CURRENT_BINARY_DIR}/${name}.sandbox)
  file(MAKE_DIRECTORY ${sandbox}/home ${sandbox}/runtime)
  file(CHMOD ${sandbox}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABELS}"
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${sandbox}/home;XDG_CONFIG_HOME=${sandbox}/home/.config;XDG_DATA_HOME=${sandbox}/home/.local/share;XDG_CACHE_HOME=${sandbox}/home/.cache;XDG_RUNTIME_DIR=${sandbox}/runtime;OMP_THREAD_LIMIT=1;${ARG_ENVIRONMENT}")
endfunction()
