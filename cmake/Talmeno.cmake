# One static library per source folder; the link list makes the layering explicit.
# Sources are globbed so that adding a file needs no edit of shared build files.
function(talmeno_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS
       ${dir}/*.cpp ${dir}/*.h ${dir}/*.qrc)
  list(FILTER _srcs EXCLUDE REGEX "/main\\.cpp$")
  if(NOT _srcs)
    # An empty folder still yields a target so that dependants link.
    set(_stub ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${_stub} "int ${name}_anchor() { return 0; }\n")
    set(_srcs ${_stub})
  endif()
  add_library(${name} STATIC ${_srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

set(TALMENO_QT_LIBS Qt5::Core Qt5::Gui Qt5::Widgets Qt5::Network Qt5::SerialPort
    Qt5::Charts Qt5::DataVisualization Qt5::Svg Qt5::Xml)
