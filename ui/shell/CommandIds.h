#pragma once

namespace kesh::ui {

// The editor's command numbers. The first group are the program's own
// commands; the rest keep the numbers the usual file, edit, view and help
// commands have always had, so the two never collide.
enum CommandId : int {
    ID_TILE_LOADPALETTE = 61447,
    ID_TILE_ADDFILE = 61453,
    ID_MAP_SAVEBMP = 61454,
    ID_TILE_SAVEBMP = 61455,
    ID_MAP_FORMAT = 61456,
    ID_TILE_FORMAT = 61457,
    ID_TILE_SAVE = 61458,
    ID_MAP_SAVE = 61459,
    ID_MAP_OPEN = 61460,
    ID_EDIT_FILL = 61463,
    ID_MAP_SAVEPNG = 61464,
    ID_MAP_READERCODE = 61480,
    ID_MAP_EXPORTTMX = 61470,
    ID_TILE_EDITATTR = 61484,
    ID_VIEW_ZOOMIN = 61490,
    ID_VIEW_ZOOMOUT = 61491,
    ID_VIEW_ZOOMACTUAL = 61492,
    ID_VIEW_GRID = 61493,
    ID_EDIT_PAINTTOOL = 61494,
    ID_EDIT_FLIPH = 61495,
    ID_EDIT_FLIPV = 61496,
    ID_VIEW_CELLATTRS = 61497,
    ID_VIEW_PALETTE = 61498,
    // Tile budget, usage, reorder and replace.
    ID_TILE_REPLACE = 61530,
    ID_VIEW_USAGE = 61531,
    ID_TILE_IMPORTIMAGE = 61482,
    ID_MAP_IMPORTTMX = 61483,
    // The tile editor: its panel and the map's pixel tool.
    ID_TILE_EDITPIXELS = 61520,
    ID_EDIT_PIXELTOOL = 61521,
    // The tile set's clean-ups.
    ID_TILE_REMOVEUNUSED = 61540,
    ID_TILE_MERGEDUPLICATES = 61541,
    ID_TILE_NEARTILES = 61542,
    // Terrain: the panel, the brush and fill, and 지형 만들기.
    ID_VIEW_TERRAIN = 61550,
    ID_EDIT_TERRAINBRUSH = 61551,
    ID_EDIT_TERRAINFILL = 61552,
    ID_TILE_MAKETERRAIN = 61553,

    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};

} // namespace kesh::ui
