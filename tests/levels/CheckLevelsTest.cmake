# Runs cmake/CheckLevels.cmake over small source trees: one that keeps to the
# levels passes and gets its stamp, one full of wrong includes fails and names
# every file with its include.
#   cmake -DKESH_CHECKER=<CheckLevels.cmake> -DKESH_WORK=<scratch dir> -P CheckLevelsTest.cmake
cmake_minimum_required(VERSION 3.25)

function(write_tree root)
    file(REMOVE_RECURSE ${root})
    set(args ${ARGN})
    while(args)
        list(POP_FRONT args path text)
        string(REPLACE "|" "\n" text "${text}")
        file(WRITE ${root}/${path} "${text}\n")
    endwhile()
endfunction()

function(check root out_result out_text)
    execute_process(COMMAND ${CMAKE_COMMAND} -DKESH_SOURCE_DIR=${root}
        -DKESH_STAMP=${root}/levels.stamp -P ${KESH_CHECKER}
        RESULT_VARIABLE result OUTPUT_VARIABLE text ERROR_VARIABLE text)
    set(${out_result} ${result} PARENT_SCOPE)
    set(${out_text} "${text}" PARENT_SCOPE)
endfunction()

set(failures "")

# The same folder, lower levels (in quotes or angle brackets), a header beside
# the file, standard and system headers; ui folders within their allowance.
set(good ${KESH_WORK}/good)
write_tree(${good}
    core/base/Status.h "#pragma once|#include <string>"
    core/io/FileSystem.h "#include \"base/Status.h\"|#include <sys/stat.h>"
    core/io/FileSystem.cpp "#include \"io/FileSystem.h\"|#include \"text/Cp949.h\""
    core/text/Cp949.h "#include <iconv.h>"
    core/map/MapModel.h "#include \"tileset/TileSet.h\"|#include <layout/MapFormat.h>"
    core/tileset/TileSet.cpp "#include \"raster/PngWriter.h\"|#include \"tileset/TileList.h\""
    core/image/ImportImage.cpp "#include \"map/MapModel.h\"|#include \"raster/Palette.h\""
    core/app/Open.cpp "#include \"Local.h\"|  #  include \"tmx/TmxImport.h\""
    core/app/Local.h "#pragma once"
    ui/widgets/CScrollView.h "#include <QAbstractScrollArea>|#include \"widgets/LockKeys.h\""
    ui/formatdlg/Dlg.h "#include \"widgets/CScrollView.h\"|#include \"app/UserServices.h\""
    ui/shell/Frame.cpp "#include \"mapview/View.h\"|#include \"formatdlg/Dlg.h\"|#include \"map/MapModel.h\""
    ui/main.cpp "#include \"shell/Frame.h\"")
check(${good} result text)
if(NOT result EQUAL 0 OR NOT EXISTS ${good}/levels.stamp)
    list(APPEND failures "a tree that keeps to the levels was refused:\n${text}")
endif()

# Each wrong include, and folders the table does not know.
set(bad ${KESH_WORK}/bad)
write_tree(${bad}
    core/base/Status.h "#include <QString>"
    core/io/FileSystem.cpp "#include \"map/MapModel.h\""
    core/layout/Descriptor.h "#include \"io/ByteReader.h\"|#include \"app/UserServices.h\""
    core/map/MapFile.cpp "#include \"shell/CMainFrame.h\""
    core/raster/Palette.h "#include \"tileset/TileSet.h\""
    core/tileset/TileSheetExport.cpp "#include \"image/PngWriter.h\""
    core/map/MapPngExport.cpp "#include \"image/ImportImage.h\""
    core/map/MapPainting.cpp "#include <doc/Document.h>|#include <ios>"
    core/map/MapReader.cpp "#include \"map/../doc/Document.h\""
    core/tmx/TmxImport.cpp "#include \"CliArgs.h\""
    core/extra/Thing.h "#pragma once"
    ui/widgets/CSplitterWnd.cpp "#include \"shell/FrameCommands.h\""
    ui/widgets/EdgePainting.cpp "#include \"base/Status.h\""
    ui/widgets/LockKeys.cpp "#include \"../shell/CMainFrame.h\""
    ui/formatdlg/Dlg.cpp "#include \"mapview/View.h\""
    ui/tileview/CTile1View.cpp "#include \"mapview/CKeshView.h\""
    ui/mapview/CKeshView.cpp "#include <shell/AppServices.h>"
    ui/tileview/TilePainter.cpp "#include \"tileview/../edit/Zoom.h\""
    ui/map/Old.h "#pragma once")
file(WRITE ${bad}/levels.stamp "")
check(${bad} result output)
if(result EQUAL 0)
    list(APPEND failures "a tree with wrong includes passed")
endif()
if(EXISTS ${bad}/levels.stamp)
    list(APPEND failures "the stamp of a refused tree was kept")
endif()
foreach(expected
        "core/base/Status.h includes <QString>"
        "core/io/FileSystem.cpp includes \"map/MapModel.h\": io (level io) may not include map (level map)"
        "core/layout/Descriptor.h includes \"app/UserServices.h\": layout (level layout) may not include app (level app)"
        "core/map/MapFile.cpp includes \"shell/CMainFrame.h\", which is not a core header"
        "core/raster/Palette.h includes \"tileset/TileSet.h\": raster (level raster) may not include tileset (level tileset)"
        "core/tileset/TileSheetExport.cpp includes \"image/PngWriter.h\": tileset (level tileset) may not include image (level image)"
        "core/map/MapPngExport.cpp includes \"image/ImportImage.h\": map (level map) may not include image (level image)"
        "core/map/MapPainting.cpp includes <doc/Document.h>: map (level map) may not include doc (level doc)"
        "core/map/MapReader.cpp includes \"map/../doc/Document.h\": no .. in include paths"
        "ui/widgets/LockKeys.cpp includes \"../shell/CMainFrame.h\": no .. in include paths"
        "core/tmx/TmxImport.cpp includes \"CliArgs.h\", which is not a core header"
        "core/extra/ is not in the level table"
        "ui/widgets/CSplitterWnd.cpp includes \"shell/FrameCommands.h\": ui/widgets may not include ui/shell"
        "ui/widgets/EdgePainting.cpp includes \"base/Status.h\": ui/widgets may not include core"
        "ui/formatdlg/Dlg.cpp includes \"mapview/View.h\": ui/formatdlg may not include ui/mapview"
        "ui/tileview/CTile1View.cpp includes \"mapview/CKeshView.h\": ui/tileview may not include ui/mapview"
        "ui/mapview/CKeshView.cpp includes <shell/AppServices.h>: ui/mapview may not include ui/shell"
        "ui/tileview/TilePainter.cpp includes \"tileview/../edit/Zoom.h\": no .. in include paths"
        "ui/map/ is not in the level table")
    string(FIND "${output}" "${expected}" at)
    if(at EQUAL -1)
        list(APPEND failures "not reported: ${expected}")
    endif()
endforeach()
foreach(allowed "io/ByteReader.h" "<ios>")
    string(FIND "${output}" "${allowed}" at)
    if(NOT at EQUAL -1)
        list(APPEND failures "an allowed include was reported: ${allowed}")
    endif()
endforeach()

if(failures)
    list(JOIN failures "\n" text)
    message(FATAL_ERROR "${text}\n--- the wrong tree's check ---\n${output}")
endif()
