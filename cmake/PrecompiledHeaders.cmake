# Precompiled Qt headers for every target with several translation units.
# Most of a build is the compiler parsing the same Qt headers again: each QML file
# becomes a C++ file of its own (qmlcachegen) that includes QtQml, and each library
# file includes QtCore and QCoro. One header per kind (core, QML) is built per build
# tree and reused by every target of that kind: a header is 170 MB on disk, and one
# per target filled a small CI disk. The Qt headers in it read none of the macros
# that differ between targets (QT_*_LIB, QT_TESTCASE_BUILDDIR); -Winvalid-pch says
# so when a target cannot use it.
# EMBERGLASS_PRECOMPILE_HEADERS=OFF builds without them (to check that every file
# includes what it uses).

option(EMBERGLASS_PRECOMPILE_HEADERS "Precompile the Qt headers of multi-file targets" ON)

set(emberglass_pch_core
  <QtCore/qobject.h> <QtCore/qstring.h> <QtCore/qbytearray.h> <QtCore/qlist.h>
  <QtCore/qhash.h> <QtCore/qvariant.h> <QtCore/qjsonobject.h> <QtCore/qjsonarray.h>
  <QtCore/qjsondocument.h> <QtCore/qpointer.h> <QtCore/qfile.h> <QtCore/qdir.h>
  <functional> <memory> <optional> <vector>)
set(emberglass_pch_qml
  ${emberglass_pch_core}
  <QtQml/qqmlprivate.h> <QtQml/qqml.h> <QtQml/qjsengine.h> <QtQml/qjsvalue.h>
  <QtQml/qjsprimitivevalue.h> <QtQml/qqmlcomponent.h> <QtQml/qqmlcontext.h>
  <QtQml/qqmlengine.h> <QtCore/qdatetime.h> <QtCore/qurl.h> <QtCore/qstringlist.h>)

# The C++ files a target declares (a QML module's compiled QML files come later).
function(_emberglass_cxx_source_count target out)
  get_target_property(sources ${target} SOURCES)
  set(count 0)
  foreach(source IN LISTS sources)
    if(source MATCHES "\\.(cpp|cc|cxx)$")
      math(EXPR count "${count} + 1")
    endif()
  endforeach()
  set(${out} ${count} PARENT_SCOPE)
endfunction()

function(_emberglass_precompile_target target)
  get_target_property(type ${target} TYPE)
  if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|EXECUTABLE)$")
    return()
  endif()
  get_target_property(imported ${target} IMPORTED)
  if(imported)
    return()
  endif()
  get_target_property(qml_uri ${target} QT_QML_MODULE_URI)
  _emberglass_cxx_source_count(${target} count)
  if(count LESS 3 AND NOT qml_uri)
    return() # building the header would cost as much as it saves
  endif()
  get_target_property(links ${target} LINK_LIBRARIES)
  if(qml_uri OR links MATCHES "Qt6::(Qml|Quick)")
    _emberglass_use_header(${target} qml)
  elseif(links MATCHES "Qt6::Core|QCoro|emberglass_")
    _emberglass_use_header(${target} core)
  endif()
endfunction()

# Each kind's header is built by a target of its own that links only what the
# header needs: GCC refuses a header built with a macro (QT_SVG_LIB, say) that the
# using file does not define, so the builder's definitions must be the fewest.
set(emberglass_pch_core_links Qt6::Core)
set(emberglass_pch_qml_links Qt6::Core Qt6::Qml)

function(_emberglass_use_header target kind)
  set(builder emberglass_pch_${kind})
  if(NOT TARGET ${builder})
    set(source ${PROJECT_BINARY_DIR}/${builder}.cpp)
    file(CONFIGURE OUTPUT ${source} CONTENT "// builds the shared precompiled header\n")
    add_library(${builder} OBJECT ${source})
    target_link_libraries(${builder} PRIVATE ${emberglass_pch_${kind}_links})
    target_precompile_headers(${builder} PRIVATE ${emberglass_pch_${kind}})
  endif()
  target_precompile_headers(${target} REUSE_FROM ${builder})
endfunction()

# emberglass_precompile_headers(<directories...>)
# Applies the headers to every target declared in the directories and below.
function(emberglass_precompile_headers)
  if(NOT EMBERGLASS_PRECOMPILE_HEADERS)
    return()
  endif()
  foreach(dir IN LISTS ARGN)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      _emberglass_precompile_target(${target})
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    if(subdirs)
      emberglass_precompile_headers(${subdirs})
    endif()
  endforeach()
endfunction()
