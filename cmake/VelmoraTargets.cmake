# velmora_area(NAME DIR [RECURSE] [EXCLUDE file...] [DEPS target...])
# Makes the static library velmora_NAME from the .cpp files of DIR (and its subfolders
# with RECURSE). A folder without sources yet gives an interface library, so that later
# areas can already name it.
function(velmora_area name dir)
    cmake_parse_arguments(A "RECURSE" "" "EXCLUDE;DEPS" ${ARGN})
    if(A_RECURSE)
        file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    else()
        file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    endif()
    foreach(ex IN LISTS A_EXCLUDE)
        list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${dir}/${ex})
    endforeach()
    set(target velmora_${name})
    if(sources)
        add_library(${target} STATIC ${sources})
        target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
        target_link_libraries(${target} PUBLIC ${A_DEPS})
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
        target_link_libraries(${target} INTERFACE ${A_DEPS})
    endif()
endfunction()

# velmora_tests(LABEL DIR [FLAT] LIBS...)
# One GoogleTest executable per test folder; every test case becomes a CTest test
# labelled LABEL, run headless on SDL's dummy drivers.
function(velmora_tests label dir)
    cmake_parse_arguments(T "FLAT" "" "" ${ARGN})
    if(T_FLAT)
        file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    else()
        file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    endif()
    if(NOT sources)
        return()
    endif()
    set(target test_${label})
    add_executable(${target} ${sources})
    target_link_libraries(${target} PRIVATE ${T_UNPARSED_ARGUMENTS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_compile_definitions(${target} PRIVATE
        VELMORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VELMORA_BINARY_DIR="${CMAKE_BINARY_DIR}")
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        PROPERTIES LABELS ${label}
                   ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy;ASAN_OPTIONS=detect_leaks=1")
endfunction()
