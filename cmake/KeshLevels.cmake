# The levels of kesh's libraries, in one place. core/CMakeLists.txt builds one
# static library per core level, each linking only the levels below it, and
# cmake/CheckLevels.cmake fails the build when a file includes a header its
# level may not see (every core target shares the include root core/, so the
# compiler alone would not notice).

# core, lowest level first: each level's folders. A core file may include the
# headers of its own level and of the levels below; nothing of ui/ or cli/,
# nor Qt. raster holds decoded images, palettes and the PNG, BMP and PCX
# codecs that tile sets, maps and imported pictures all use: tile sheets and
# maps are written as PNG through it, and pictures (image) are cut into tile
# sets and maps. edit, above the document, turns pointer and key events into
# the document's requests. A level whose folders have no sources yet is left out.
set(KESH_CORE_LEVELS base io layout raster tileset map image tmx terrain doc edit app)
set(KESH_CORE_LEVEL_base base)
set(KESH_CORE_LEVEL_io io text)
set(KESH_CORE_LEVEL_layout layout)
set(KESH_CORE_LEVEL_raster raster)
set(KESH_CORE_LEVEL_tileset tileset)
set(KESH_CORE_LEVEL_map map)
set(KESH_CORE_LEVEL_image image)
set(KESH_CORE_LEVEL_tmx tmx)
set(KESH_CORE_LEVEL_terrain terrain)
set(KESH_CORE_LEVEL_doc doc)
set(KESH_CORE_LEVEL_edit edit)
set(KESH_CORE_LEVEL_app app)

# ui folders (named apart from core's, so an include says which library it
# comes from), lowest first, and what each may include: "core" for the
# headers of core, and the ui folders at or below its own. The reusable
# widgets know nothing of kesh's documents; the tile set view and its
# TilePainter sit below the map view, which draws its cells through it; the
# shell builds and wires them all.
set(KESH_UI_FOLDERS widgets formatdlg tileview mapview shell)
set(KESH_UI_SEES_widgets widgets)
set(KESH_UI_SEES_formatdlg core widgets formatdlg)
set(KESH_UI_SEES_tileview core widgets tileview)
set(KESH_UI_SEES_mapview core widgets tileview mapview)
set(KESH_UI_SEES_shell core widgets formatdlg tileview mapview shell)
