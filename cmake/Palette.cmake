# The window's palette (src/ui/theme/palette.json) is the one list of colours.
# From it the configure step writes, and writes again whenever the list changes:
#   - a C++ header, palette/palette_colors.h (target emberglass_palette), for the
#     window's Colors singleton and the PDF-slide painter;
#   - the CSS custom properties --palette-<name> in the phone page's :root, in
#     place of its "/* palette */" line (emberglass_palette_page()).
set(palette_file ${PROJECT_SOURCE_DIR}/src/ui/theme/palette.json)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${palette_file})
file(READ ${palette_file} palette_json)
string(JSON palette_count LENGTH "${palette_json}" colours)
math(EXPR palette_last "${palette_count} - 1")

set(palette_functions "")
set(EMBERGLASS_PALETTE_CSS "")
foreach(index RANGE ${palette_last})
  string(JSON name MEMBER "${palette_json}" colours ${index})
  string(JSON hex GET "${palette_json}" colours ${name})
  if(NOT hex MATCHES "^#([0-9A-Fa-f][0-9A-Fa-f])([0-9A-Fa-f][0-9A-Fa-f])([0-9A-Fa-f][0-9A-Fa-f])([0-9A-Fa-f][0-9A-Fa-f])?$")
    message(FATAL_ERROR "${palette_file}: ${name} is not #RRGGBB or #RRGGBBAA: ${hex}")
  endif()
  set(channels "")
  foreach(group 1 2 3)
    math(EXPR value "0x${CMAKE_MATCH_${group}}")
    list(APPEND channels ${value})
  endforeach()
  set(alpha 255)
  if(CMAKE_MATCH_4)
    math(EXPR alpha "0x${CMAKE_MATCH_4}")
  endif()
  list(JOIN channels ", " rgb)
  string(APPEND palette_functions "inline QColor ${name}() { return QColor(${rgb}, ${alpha}); }\n")
  # CSS takes the opacity as a fraction: three decimals are finer than 1/255.
  math(EXPR thousandths "(${alpha} * 1000 + 127) / 255")
  if(thousandths EQUAL 1000)
    set(opacity 1)
  else()
    string(LENGTH "00${thousandths}" digits)
    math(EXPR start "${digits} - 3")
    string(SUBSTRING "00${thousandths}" ${start} 3 opacity)
    set(opacity "0.${opacity}")
  endif()
  string(APPEND EMBERGLASS_PALETTE_CSS "  --palette-${name}: rgba(${rgb}, ${opacity});\n")
endforeach()

set(palette_root ${PROJECT_BINARY_DIR}/include/emberglass_palette)
# Written only when it changes, so that an unchanged palette rebuilds nothing.
function(emberglass_write_if_changed output content)
  file(WRITE ${output}.new "${content}")
  file(COPY_FILE ${output}.new ${output} ONLY_IF_DIFFERENT)
endfunction()

emberglass_write_if_changed(${palette_root}/palette/palette_colors.h
"#pragma once

// Written by the build from src/ui/theme/palette.json: change the colours there.

#include <QColor>

namespace PaletteColors {
${palette_functions}} // namespace PaletteColors
")
add_library(emberglass_palette INTERFACE)
target_include_directories(emberglass_palette INTERFACE ${palette_root})
target_link_libraries(emberglass_palette INTERFACE Qt6::Gui)

# emberglass_palette_page(<input html> <output html>): the page with the palette
# in place of its "/* palette */" line.
function(emberglass_palette_page input output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
  file(READ ${input} page)
  string(FIND "${page}" "  /* palette */\n" marker)
  if(marker EQUAL -1)
    message(FATAL_ERROR "${input} has no \"  /* palette */\" line for the colours")
  endif()
  string(REPLACE "  /* palette */\n" "${EMBERGLASS_PALETTE_CSS}" page "${page}")
  emberglass_write_if_changed(${output} "${page}")
endfunction()
