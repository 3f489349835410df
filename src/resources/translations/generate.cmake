# Compiles the translation sources into .qm files in the build tree and puts them into
# the resources under ":/translations/". The .qrc is written into the build tree
# because its .qm files exist only there.
set(_tr_src ${CMAKE_CURRENT_LIST_DIR})
set(_tr_out ${CMAKE_CURRENT_BINARY_DIR}/translations)
file(MAKE_DIRECTORY ${_tr_out})
set(_tr_ts ${_tr_src}/language_zh.ts ${_tr_src}/language_en.ts)
set_source_files_properties(${_tr_ts} PROPERTIES OUTPUT_LOCATION ${_tr_out})
qt5_add_translation(_tr_qm ${_tr_ts} OPTIONS -silent)
add_custom_target(talmeno_translations_qm DEPENDS ${_tr_qm})

# The qrc's base name is also the resource name rcc gives it (Q_INIT_RESOURCE).
set(_tr_qrc ${_tr_out}/talmeno_translations.qrc)
set(_tr_qrc_text "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/translations\">\n")
foreach(_qm ${_tr_qm})
  get_filename_component(_qm_name ${_qm} NAME)
  string(APPEND _tr_qrc_text "    <file>${_qm_name}</file>\n")
endforeach()
string(APPEND _tr_qrc_text "</qresource>\n</RCC>\n")
# Rewritten only when its text changes, so rcc does not run on every configure.
file(WRITE ${_tr_qrc}.in "${_tr_qrc_text}")
configure_file(${_tr_qrc}.in ${_tr_qrc} COPYONLY)

qt5_add_resources(_tr_rcc ${_tr_qrc} OPTIONS -name talmeno_translations)
list(APPEND TALMENO_GENERATED_SOURCES ${_tr_rcc})
list(APPEND TALMENO_GENERATED_RESOURCE_NAMES talmeno_translations)
list(APPEND TALMENO_GENERATED_DEPS talmeno_translations_qm)
