# cmake -DOUTPUT=file.cpp -DFILES=a,b -P embed.cmake: writes the page's files
# into a source file as raw string literals, served by viewpage.cpp.
set(delimiter "lcdpage")
string(REPLACE "," ";" files "${FILES}")
set(assets "")
foreach(file IN LISTS files)
  get_filename_component(name "${file}" NAME)
  get_filename_component(extension "${file}" LAST_EXT)
  file(READ "${file}" content)
  if(content MATCHES "\\)${delimiter}\"")
    message(FATAL_ERROR "${file} holds the literal's delimiter )${delimiter}\"")
  endif()
  set(path "/${name}")
  if(name STREQUAL "index.html")
    set(path "/")
  endif()
  if(extension STREQUAL ".html")
    set(type "text/html; charset=utf-8")
  elseif(extension STREQUAL ".css")
    set(type "text/css; charset=utf-8")
  elseif(extension STREQUAL ".js")
    set(type "text/javascript; charset=utf-8")
  else()
    message(FATAL_ERROR "no content type for ${file}")
  endif()
  string(APPEND assets "      {\"${path}\", \"${type}\", R\"${delimiter}(${content})${delimiter}\"},\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from devicesim/page/ by embed.cmake.
#include \"devicesim/pageassets.h\"

namespace LCD {
namespace DeviceSim {

const std::vector<PageAsset>& pageAssets() {
  static const std::vector<PageAsset> assets{
${assets}  };
  return assets;
}

}  // namespace DeviceSim
}  // namespace LCD
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
