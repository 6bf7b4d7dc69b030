# Part of the test suite: every fuzz target's entry point, linked with a plain
# main (replay_main.cpp), is run over its seed and regression corpora. In the
# sanitizer build this replays them under AddressSanitizer and UBSan too.
# Also builds the seed generator and checks that every seed it makes is read
# back by its reader.
include(${CMAKE_CURRENT_LIST_DIR}/targets.cmake)

foreach(target ${KESH_FUZZ_TARGETS})
    add_executable(${target}_replay ${KESH_FUZZ_DIR}/replay_main.cpp ${KESH_FUZZ_DIR}/${target}.cpp)
    target_include_directories(${target}_replay PRIVATE ${KESH_FUZZ_DIR} ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${target}_replay PRIVATE kesh_core)
    add_test(NAME fuzz.replay.${target}
        COMMAND ${target}_replay ${KESH_FUZZ_DIR}/corpus/${target} ${KESH_FUZZ_DIR}/regression/${target})
    set_tests_properties(fuzz.replay.${target} PROPERTIES TIMEOUT 300)
endforeach()

add_executable(kesh_fuzz_seeds ${KESH_FUZZ_DIR}/make_seeds.cpp)
target_include_directories(kesh_fuzz_seeds PRIVATE ${KESH_FUZZ_DIR} ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(kesh_fuzz_seeds PRIVATE kesh_core)
add_test(NAME fuzz.seeds COMMAND kesh_fuzz_seeds ${CMAKE_CURRENT_BINARY_DIR}/fuzz-seeds)
