# The library's theme package: resources/theme/Default.theme packed into
# ${CMAKE_BINARY_DIR}/Default.ext by a small host tool (target theme_package).
add_executable(pack_theme ${CMAKE_CURRENT_LIST_DIR}/theme/pack_theme.cpp)
set_target_properties(pack_theme PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
# A build tool: it runs at build time, so it is built without the sanitizers.
target_compile_options(pack_theme PRIVATE -fno-sanitize=all)
target_link_options(pack_theme PRIVATE -fno-sanitize=all)

set(TOVI_THEME_SOURCE ${CMAKE_CURRENT_LIST_DIR}/theme/Default.theme)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/Default.ext
  COMMAND pack_theme ${TOVI_THEME_SOURCE} ${CMAKE_BINARY_DIR}/Default.ext
  DEPENDS pack_theme ${TOVI_THEME_SOURCE} ${PROJECT_SOURCE_DIR}/directui/theme_format.h
  COMMENT "Packing the theme into Default.ext"
  VERBATIM)
add_custom_target(theme_package ALL DEPENDS ${CMAKE_BINARY_DIR}/Default.ext)
