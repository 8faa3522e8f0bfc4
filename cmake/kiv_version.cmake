# The version of this build: the project's version, followed by the commit it
# was built from and ".dirty" when tracked files differ from that commit
# (0.1+g41592b9.dirty). A commit tagged v<version> gives the plain version;
# without git, or outside a checkout, the plain version too.
#
# Included by CMakeLists.txt (kiv_compute_version) and run as a script at
# build time (cmake -DKIV_SOURCE_DIR=... -DKIV_BASE_VERSION=... -DKIV_VERSION_HEADER=...
# -P kiv_version.cmake), so that the tools and the package always carry the
# state of the tree they were built from, not the one at configure time.

cmake_policy(VERSION 3.25)

function(kiv_compute_version source_dir base out_var)
  set(version "${base}")
  find_program(KIV_GIT git)
  if(KIV_GIT)
    execute_process(COMMAND "${KIV_GIT}" -C "${source_dir}" rev-parse --short=7 HEAD
                    OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE no_commit ERROR_QUIET)
    if(no_commit EQUAL 0 AND commit)
      execute_process(COMMAND "${KIV_GIT}" -C "${source_dir}" tag --points-at HEAD
                      OUTPUT_VARIABLE tags OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      # Refreshes the index's file times first, so a file touched but not
      # changed does not count as a change.
      execute_process(COMMAND "${KIV_GIT}" -C "${source_dir}" update-index -q --refresh
                      OUTPUT_QUIET ERROR_QUIET)
      execute_process(COMMAND "${KIV_GIT}" -C "${source_dir}" diff-index --quiet HEAD --
                      RESULT_VARIABLE dirty OUTPUT_QUIET ERROR_QUIET)
      string(REPLACE "\n" ";" tags "${tags}")
      if(NOT "v${base}" IN_LIST tags)
        string(APPEND version "+g${commit}")
      endif()
      if(NOT dirty EQUAL 0)
        string(APPEND version ".dirty")
      endif()
    endif()
  endif()
  set(${out_var} "${version}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND KIV_VERSION_HEADER)
  kiv_compute_version("${KIV_SOURCE_DIR}" "${KIV_BASE_VERSION}" version)
  set(text "// Made at build time by cmake/kiv_version.cmake.\n#pragma once\n#define KIV_VERSION \"${version}\"\n")
  # Written only when it changes, so an unchanged tree rebuilds nothing.
  set(old "")
  if(EXISTS "${KIV_VERSION_HEADER}")
    file(READ "${KIV_VERSION_HEADER}" old)
  endif()
  if(NOT old STREQUAL text)
    file(WRITE "${KIV_VERSION_HEADER}" "${text}")
  endif()
  if(KIV_VERSION_TEXT)
    file(WRITE "${KIV_VERSION_TEXT}.tmp" "${version}")
    file(COPY_FILE "${KIV_VERSION_TEXT}.tmp" "${KIV_VERSION_TEXT}" ONLY_IF_DIFFERENT)
    file(REMOVE "${KIV_VERSION_TEXT}.tmp")
  endif()
endif()
