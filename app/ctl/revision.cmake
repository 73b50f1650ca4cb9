# The build's own revision for tempikctl --version: the commit checked out, or "unknown" outside
# a git checkout. CMake configures again when HEAD moves, so the figure never goes stale.
set(TEMPIK_REVISION "unknown")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --short=12 HEAD
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE head
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE gitDir
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT failed AND head)
    set(TEMPIK_REVISION "${head}")
    foreach(moves HEAD logs/HEAD)
      if(EXISTS "${gitDir}/${moves}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${gitDir}/${moves}")
      endif()
    endforeach()
  endif()
endif()
