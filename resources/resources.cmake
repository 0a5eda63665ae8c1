# The program's pictures (XPM sources) compiled in under their resource names.
list(APPEND QUILLORY_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Resources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quillory.qrc)
