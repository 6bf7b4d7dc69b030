# Fails when a core or ui file includes a header its level may not see, in
# quotes or in angle brackets, or names a header through "..". The levels are
# in cmake/KeshLevels.cmake. The build runs it before compiling:
#   cmake -DKESH_SOURCE_DIR=<source> -DKESH_STAMP=<stamp file> -P CheckLevels.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/KeshLevels.cmake)

set(problems "")
if(DEFINED KESH_STAMP)
    file(REMOVE ${KESH_STAMP})
endif()

# core: each folder's level and the folders it may include (its own level and
# every level below).
set(core_folders "")
foreach(level IN LISTS KESH_CORE_LEVELS)
    list(APPEND core_folders ${KESH_CORE_LEVEL_${level}})
    foreach(folder IN LISTS KESH_CORE_LEVEL_${level})
        set(level_of_${folder} ${level})
        set(sees_${folder} ${core_folders})
    endforeach()
endforeach()

# Every folder has its place in the table, and no name is both core's and ui's.
foreach(root core ui)
    if(root STREQUAL "core")
        set(known ${core_folders})
    else()
        set(known ${KESH_UI_FOLDERS})
    endif()
    file(GLOB entries LIST_DIRECTORIES true RELATIVE ${KESH_SOURCE_DIR}/${root}
        ${KESH_SOURCE_DIR}/${root}/*)
    foreach(entry IN LISTS entries)
        if(IS_DIRECTORY ${KESH_SOURCE_DIR}/${root}/${entry} AND NOT entry IN_LIST known)
            list(APPEND problems "${root}/${entry}/ is not in the level table (cmake/KeshLevels.cmake)")
        endif()
    endforeach()
endforeach()
foreach(folder IN LISTS KESH_UI_FOLDERS)
    if(folder IN_LIST core_folders)
        list(APPEND problems "ui/${folder}/ has the name of a core folder")
    endif()
endforeach()

# A header in angle brackets is the project's when its first folder is one of
# core's or ui's; standard and system headers have other names.
list(JOIN core_folders "|" alternatives)
list(JOIN KESH_UI_FOLDERS "|" ui_alternatives)
set(project_header "^(${alternatives}|${ui_alternatives})/")

file(GLOB_RECURSE files RELATIVE ${KESH_SOURCE_DIR}
    ${KESH_SOURCE_DIR}/core/*.h ${KESH_SOURCE_DIR}/core/*.cpp
    ${KESH_SOURCE_DIR}/ui/*.h ${KESH_SOURCE_DIR}/ui/*.cpp)
list(SORT files)
foreach(file IN LISTS files)
    if(NOT file MATCHES "^(core|ui)/([^/]+)/")
        continue() # ui/main.cpp: the program itself sees everything
    endif()
    set(root ${CMAKE_MATCH_1})
    set(folder ${CMAKE_MATCH_2})
    get_filename_component(dir ${KESH_SOURCE_DIR}/${file} DIRECTORY)
    file(STRINGS ${KESH_SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        if(line MATCHES "include[ \t]*\"([^\"]+)\"")
            set(header ${CMAKE_MATCH_1})
            set(shown "\"${header}\"")
        elseif(line MATCHES "include[ \t]*<([^>]+)>")
            set(header ${CMAKE_MATCH_1})
            set(shown "<${header}>")
        else()
            continue()
        endif()
        if(header MATCHES "(^|/)\\.\\.(/|$)")
            # Through .. a header could be anywhere while its first folder
            # looks allowed: every header is named from the include root.
            list(APPEND problems
                "${file} includes ${shown}: no .. in include paths; name the header from its folder")
        elseif(shown MATCHES "^\"" OR header MATCHES "${project_header}")
            # Project headers, in quotes or in angle brackets.
            set(to "")
            if(header MATCHES "^([^/]+)/")
                set(to ${CMAKE_MATCH_1})
            endif()
            if(root STREQUAL "core")
                if(NOT folder IN_LIST core_folders)
                    # reported above
                elseif(to IN_LIST core_folders)
                    if(NOT to IN_LIST sees_${folder})
                        list(APPEND problems
                            "${file} includes ${shown}: ${folder} (level ${level_of_${folder}}) may not include ${to} (level ${level_of_${to}})")
                    endif()
                elseif(to STREQUAL "" AND EXISTS ${dir}/${header})
                    # beside the file
                else()
                    list(APPEND problems
                        "${file} includes ${shown}, which is not a core header (core knows nothing of ui/ and cli/)")
                endif()
            elseif(folder IN_LIST KESH_UI_FOLDERS)
                if(to IN_LIST KESH_UI_FOLDERS)
                    if(NOT to IN_LIST KESH_UI_SEES_${folder})
                        list(APPEND problems
                            "${file} includes ${shown}: ui/${folder} may not include ui/${to}")
                    endif()
                elseif(to IN_LIST core_folders AND NOT "core" IN_LIST KESH_UI_SEES_${folder})
                    list(APPEND problems
                        "${file} includes ${shown}: ui/${folder} may not include core")
                endif()
            endif()
        elseif(root STREQUAL "core" AND header MATCHES "^[Qq]")
            list(APPEND problems
                "${file} includes <${header}>: core is standard C++, without Qt")
        endif()
    endforeach()
endforeach()

if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Includes across the levels (see cmake/KeshLevels.cmake):\n  ${text}")
endif()
if(DEFINED KESH_STAMP)
    file(TOUCH ${KESH_STAMP})
endif()
