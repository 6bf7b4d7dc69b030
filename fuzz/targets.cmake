# The fuzz targets, one per reader; each is fuzz/<name>.cpp defining
# LLVMFuzzerTestOneInput, with its seeds in fuzz/corpus/<name>/, the inputs that
# once failed in fuzz/regression/<name>/ and its dictionary in fuzz/<name>.dict.
set(KESH_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
set(KESH_FUZZ_TARGETS
    fuzz_pcx
    fuzz_bmp
    fuzz_png
    fuzz_palette
    fuzz_ktf
    fuzz_kmf
    fuzz_tilefile
    fuzz_map
    fuzz_addtiles
    fuzz_roundtrip
    fuzz_tmx
    fuzz_tmxfs
    fuzz_encodedtiles
    fuzz_recovery_index
    fuzz_terrain
)
