# The example data, laid out in the build tree as it is installed:
# <bin>/KTFOLIO_BIN_TO_DATA holds logo.png and templates/*.ktt. The programs
# find it relative to themselves. The invoice template names its logo as
# "%APP_PATH%/../share/ktfolio/logo.png": the usual layout, which the build
# tree has too.
file(RELATIVE_PATH KTFOLIO_BIN_TO_DATA /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CMAKE_INSTALL_DATADIR}/ktfolio)
get_filename_component(KTFOLIO_DATA_BUILD_DIR ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${KTFOLIO_BIN_TO_DATA} ABSOLUTE)

configure_file(${PROJECT_SOURCE_DIR}/examples/data/logo.png ${KTFOLIO_DATA_BUILD_DIR}/logo.png COPYONLY)
file(GLOB templates CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/templates/*.ktt)
foreach(template ${templates})
  get_filename_component(name ${template} NAME)
  configure_file(${template} ${KTFOLIO_DATA_BUILD_DIR}/templates/${name} COPYONLY)
endforeach()
