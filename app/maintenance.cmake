# Compaction and repair of the question database file.
list(APPEND QUILLORY_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/DatabaseFile.cpp)
