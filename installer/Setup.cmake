# VocaletSetup.exe in the Windows tree, built with NSIS from installer/Vocalet.nsi out of what
# the build put into bin/. Included by tests/installer, whose tests install it.
find_program(VOCALET_MAKENSIS makensis REQUIRED)
set(VOCALET_SETUP ${CMAKE_BINARY_DIR}/VocaletSetup.exe)
file(GLOB vocalet_setup_translations CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/resources/mls/*.mlt)
file(GLOB vocalet_setup_tips CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/resources/VocaletTips.*)
add_custom_command(OUTPUT ${VOCALET_SETUP}
  COMMAND ${VOCALET_MAKENSIS} -V2 -DBIN=${CMAKE_BINARY_DIR}/bin -DOUTFILE=${VOCALET_SETUP}
          -DSRC=${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/installer/Vocalet.nsi
  DEPENDS ${CMAKE_SOURCE_DIR}/installer/Vocalet.nsi Vocalet SendMail ovhkDrag
          vocalet_mls_modules ${vocalet_setup_translations}
          ${vocalet_setup_tips}
          ${CMAKE_SOURCE_DIR}/src/resources/Vocalet.ico
  COMMENT "Packing ${VOCALET_SETUP}"
  VERBATIM)
add_custom_target(vocalet_setup ALL DEPENDS ${VOCALET_SETUP})
