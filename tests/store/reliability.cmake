# The store's text rules, the instance lock and the reliability tests: crash
# (SIGKILL at random moments) and damaged files. Included from this folder's
# CMakeLists.txt. The crash test's child is the test program itself, started
# again with PELMIR_CRASH_CHILD set, so no second program has to be found.
set(_rel ${CMAKE_CURRENT_LIST_DIR})
pelmir_add_test(store_text_test
  SOURCES ${_rel}/czechtext_test.cpp ${_rel}/datetext_test.cpp ${_rel}/lock_test.cpp
  LIBS store)
if(EXISTS ${_rel}/damaged_test.cpp)
  pelmir_add_test(store_damaged_test SOURCES ${_rel}/damaged_test.cpp LIBS store SQLite::SQLite3)
endif()
if(EXISTS ${_rel}/crash_test.cpp)
  # 200 kills by default; PELMIR_CRASH_KILLS=1000 (tools/soak.sh) for the long soak.
  pelmir_add_test(store_crash_test SOURCES ${_rel}/crash_test.cpp LIBS store SQLite::SQLite3 TIMEOUT 300)
endif()
