# The version, decided before project() (also run as a script by the release
# command: cmake -P cmake/MendlowVersion.cmake prints it). Given as
# MENDLOW_VERSION (the release command passes it, for it builds from an
# exported tree), else read from the nearest tag vX.Y.Z of Mendlow's own
# repository, else 1.0.0 (a tree without its history). The text is what
# people name:
#   1.2.0               a tagged commit
#   1.2.0-5-gabc1234def five commits after v1.2.0
#   1.0.0-gabc1234def   no tag yet
# with "-dirty" when the tree has uncommitted changes. project() takes the
# three numbers; the fourth, the commits since the tag, goes into the
# Windows version resource.
set(MENDLOW_BASE_VERSION 1.0.0)
if(NOT MENDLOW_VERSION)
    set(MENDLOW_VERSION ${MENDLOW_BASE_VERSION})
    get_filename_component(source "${CMAKE_CURRENT_LIST_DIR}/.." REALPATH)
    find_program(MENDLOW_GIT git)
    set(top "")
    if(MENDLOW_GIT)
        execute_process(COMMAND ${MENDLOW_GIT} rev-parse --show-toplevel WORKING_DIRECTORY ${source}
                        OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    # Taken into another project's tree, the enclosing repository's tags
    # say nothing about Mendlow.
    if(top AND EXISTS "${top}")
        get_filename_component(top "${top}" REALPATH)
    endif()
    if(top STREQUAL source)
        # A fixed abbreviation: clones of the same history name a commit alike.
        set(git ${MENDLOW_GIT} -C ${source} describe --dirty --abbrev=10)
        execute_process(COMMAND ${git} --tags --match "v[0-9]*.[0-9]*.[0-9]*"
                        OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE status)
        if(status EQUAL 0)
            string(REGEX REPLACE "^v" "" MENDLOW_VERSION "${described}")
        else()
            execute_process(COMMAND ${git} --always
                            OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE status)
            if(status EQUAL 0 AND described)
                set(MENDLOW_VERSION "${MENDLOW_BASE_VERSION}-g${described}")
            endif()
        endif()
    endif()
endif()
if(NOT MENDLOW_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)(-([0-9]+))?(-g[0-9a-f]+)?(-dirty)?$")
    message(FATAL_ERROR "MENDLOW_VERSION \"${MENDLOW_VERSION}\" is not X.Y.Z[-N][-gHASH][-dirty]")
endif()
set(MENDLOW_VERSION_NUMBERS ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3})
set(MENDLOW_VERSION_TWEAK 0)
if(CMAKE_MATCH_5)
    set(MENDLOW_VERSION_TWEAK ${CMAKE_MATCH_5})
endif()
if(CMAKE_SCRIPT_MODE_FILE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${MENDLOW_VERSION}")
endif()
