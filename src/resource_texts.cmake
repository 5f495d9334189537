# Run as a build step for one layer's folder under resources/: writes the bundle's list of files
# for glib-compile-resources and a header with one function per style sheet, script or table. A
# file's function takes a struct with one field per {{NAME}} in the file, which has no default, so
# code that gives a value the file does not take, or leaves one out, fails to compile. A "{{" that
# does not start a well-formed placeholder fails here.
#   -DFOLDER=web -DSOURCE_DIR=<resources/web> -DOUTPUT_DIR=<dir> -DC_NAME=<symbol prefix>
#   -DPREFIX=<resource path prefix>

# "dark-mode" → "darkMode", "INITIAL_CONFIG" → "initialConfig".
function(camel_case out text)
  string(TOLOWER "${text}" text)
  string(REGEX REPLACE "[-_.]+" ";" words "${text}")
  set(result "")
  foreach(word IN LISTS words)
    if(result STREQUAL "")
      set(result "${word}")
    else()
      string(SUBSTRING "${word}" 0 1 first)
      string(SUBSTRING "${word}" 1 -1 rest)
      string(TOUPPER "${first}" first)
      string(APPEND result "${first}${rest}")
    endif()
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

file(GLOB names RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.css ${SOURCE_DIR}/*.js ${SOURCE_DIR}/*.jsonc)
list(SORT names)

set(xml "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gresources>\n")
string(APPEND xml "  <gresource prefix=\"${PREFIX}\">\n")
set(header "// Made by the build from resources/${FOLDER}/ (src/resource_texts.cmake): edit those files.\n")
string(APPEND header "#pragma once\n\n#include <string>\n\n#include \"platform/resource_text.h\"\n\n")
string(APPEND header "extern \"C\" GResource* ${C_NAME}_get_resource(void);\n\n")
string(APPEND header "namespace zemblo::resources {\n")

foreach(name IN LISTS names)
  string(APPEND xml "    <file>${name}</file>\n")
  file(READ ${SOURCE_DIR}/${name} text)
  string(REGEX MATCHALL "{{" opened "${text}")
  string(REGEX MATCHALL "{{[A-Z][A-Z0-9_]*}}" marks "${text}")
  list(LENGTH opened openedCount)
  list(LENGTH marks markCount)
  if(NOT openedCount EQUAL markCount)
    message(FATAL_ERROR "resources/${FOLDER}/${name}: every \"{{\" must start a placeholder "
                        "written {{NAME}}, NAME in capitals, digits and _")
  endif()
  list(REMOVE_DUPLICATES marks)
  list(SORT marks)

  string(REGEX REPLACE "\\.([a-z]+)$" "" stem "${name}")
  string(REGEX MATCH "[a-z]+$" extension "${name}")
  if(extension STREQUAL "js")
    set(kind "Script")
  elseif(extension STREQUAL "jsonc")
    set(kind "Json")
  else()
    set(kind "StyleSheet")
  endif()
  camel_case(function "${stem}")
  string(APPEND function "${kind}")
  string(SUBSTRING "${function}" 0 1 first)
  string(SUBSTRING "${function}" 1 -1 rest)
  string(TOUPPER "${first}" first)
  set(type "${first}${rest}")

  set(lookup "resourceText(${C_NAME}_get_resource(), \"${PREFIX}/${name}\"")
  string(APPEND header "\n// resources/${FOLDER}/${name}\n")
  if(markCount EQUAL 0)
    string(APPEND header "inline std::string ${function}() { return ${lookup}, {}); }\n")
    continue()
  endif()
  string(APPEND header "struct ${type} {\n")
  set(pairs "")
  foreach(mark IN LISTS marks)
    string(REGEX REPLACE "^{{(.*)}}$" "\\1" placeholder "${mark}")
    camel_case(field "${placeholder}")
    string(APPEND header "  ResourceValue ${field};\n")
    if(NOT pairs STREQUAL "")
      string(APPEND pairs ", ")
    endif()
    string(APPEND pairs "{\"${placeholder}\", values.${field}}")
  endforeach()
  string(APPEND header "};\n")
  string(APPEND header "inline std::string ${function}(const ${type}& values) {\n")
  string(APPEND header "  return ${lookup}, {${pairs}});\n}\n")
endforeach()

string(APPEND xml "  </gresource>\n</gresources>\n")
string(APPEND header "\n}  // namespace zemblo::resources\n")

# Rewritten only when they change, so that editing a style sheet rebuilds its bundle alone.
file(CONFIGURE OUTPUT ${OUTPUT_DIR}/${FOLDER}.gresource.xml CONTENT "${xml}" @ONLY)
file(CONFIGURE OUTPUT ${OUTPUT_DIR}/${FOLDER}_resources.h CONTENT "${header}" @ONLY)
