# The game's help: the help-file reader (core) and the help window (UI).
list(APPEND QUILLORY_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/HelpFile.cpp)
list(APPEND QUILLORY_UI_SOURCES ${CMAKE_CURRENT_LIST_DIR}/HelpViewer.cpp)
