# The high-score table (core) and the high-scores window (UI).
list(APPEND QUILLORY_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/HighScoreTable.cpp)
list(APPEND QUILLORY_UI_SOURCES ${CMAKE_CURRENT_LIST_DIR}/frmScores.cpp)
