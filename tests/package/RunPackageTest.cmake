# Installs the build in BUILD_DIR into WORK_DIR/prefix, then configures, builds and runs the
# consumer project in SOURCE_DIR against it. WITH_QT and WITH_QUICK say whether Keymora::Qt and
# Keymora::Quick (with its QML module) were built.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command}\nfailed (${status}):\n${out}")
  endif()
  message(STATUS "${out}")
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# The include folder holds the public headers and nothing else: exactly those of include/keymora
# (less the Qt binding's when it was not built), none of the private ones beside the sources.
file(GLOB_RECURSE installed RELATIVE ${prefix}/include ${prefix}/include/*)
file(GLOB_RECURSE public RELATIVE ${SOURCE_DIR}/../../include ${SOURCE_DIR}/../../include/*.h)
if(NOT WITH_QT)
  list(FILTER public EXCLUDE REGEX "/qt/")
endif()
if(NOT WITH_QUICK)
  list(FILTER public EXCLUDE REGEX "/quick/")
endif()
list(SORT installed)
list(SORT public)
if(NOT installed STREQUAL public)
  message(FATAL_ERROR "installed headers differ from include/:\n${installed}\nvs\n${public}")
endif()

# Installed programs and plugins find the installed libraries by their own run paths.
find_program(LDD ldd)
file(GLOB_RECURSE loadable ${prefix}/bin/* ${prefix}/*/designer/*.so ${prefix}/*/Keymora/*.so)
if(LDD)
  foreach(file ${loadable})
    execute_process(COMMAND ${LDD} ${file} OUTPUT_VARIABLE deps ERROR_QUIET)
    if(deps MATCHES "keymora[^\n]*not found")
      message(FATAL_ERROR "${file} does not find its libraries:\n${deps}")
    endif()
  endforeach()
endif()

# A pkg-config path holding every pkgconfig folder of the prefix, whatever the library folder.
file(GLOB_RECURSE pc_files ${prefix}/*.pc)
set(pc_path "")
foreach(pc ${pc_files})
  get_filename_component(dir ${pc} DIRECTORY)
  list(APPEND pc_path ${dir})
endforeach()
list(REMOVE_DUPLICATES pc_path)
string(REPLACE ";" ":" pc_path "${pc_path}")

if(WITH_QT)
  set(consumer_qt ON)
else()
  set(consumer_qt OFF)
endif()
if(WITH_QUICK)
  set(consumer_quick ON)
  # The module is where the import path of the installed Qt would look below this prefix:
  # a qmldir beside its type information and plugin.
  file(GLOB_RECURSE qmldirs ${prefix}/*/Keymora/qmldir)
  list(LENGTH qmldirs count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one installed Keymora/qmldir, found: ${qmldirs}")
  endif()
  get_filename_component(module_dir ${qmldirs} DIRECTORY)
  if(NOT EXISTS ${module_dir}/keymora_quick.qmltypes)
    message(FATAL_ERROR "no type information beside ${qmldirs}")
  endif()
else()
  set(consumer_quick OFF)
endif()
run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pc_path}
    ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_PREFIX_PATH=${prefix} -DCONSUMER_WITH_QT=${consumer_qt}
    -DCONSUMER_WITH_QUICK=${consumer_quick})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build -j2)
run(${WORK_DIR}/build/consumer_core)
run(${WORK_DIR}/build/consumer_pkgconfig)
if(WITH_QT)
  run(${WORK_DIR}/build/consumer_qt)
endif()
if(WITH_QUICK)
  file(READ ${WORK_DIR}/build/qml_import_dir.txt import_dir)
  run(${CMAKE_COMMAND} -E env QML_IMPORT_PATH=${import_dir} ${WORK_DIR}/build/consumer_quick)
endif()
