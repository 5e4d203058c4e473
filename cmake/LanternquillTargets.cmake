# Compiler settings shared by every target, and the layer libraries built from their folders.

function(lq_apply_settings target)
    target_compile_definitions(${target} PUBLIC UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800
                                                NOMINMAX)
    # Window code reads a RECT's corners as POINTs (CRect::TopLeft), as the platform's own compiler allows.
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Werror -fno-strict-aliasing>)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        target_link_options(${target} PRIVATE -municode -static -static-libgcc -static-libstdc++)
    endif()
endfunction()

# lq_add_layer(name "folders" deps... [EXCLUDE files...]): a static library of every source under the folders.
function(lq_add_layer name folders)
    cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
    set(sources "")
    foreach(folder IN LISTS folders)
        file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
        list(APPEND sources ${found})
    endforeach()
    foreach(excluded IN LISTS ARG_EXCLUDE)
        list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${excluded})
    endforeach()
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARG_UNPARSED_ARGUMENTS} ${LQ_SYSTEM_LIBRARIES})
        lq_apply_settings(${name})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_UNPARSED_ARGUMENTS} ${LQ_SYSTEM_LIBRARIES})
        target_compile_definitions(${name} INTERFACE UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601
                                                     _WIN32_IE=0x0800 NOMINMAX)
    endif()
endfunction()

set(LQ_SYSTEM_LIBRARIES
    winhttp ole32 oleaut32 uuid comctl32 comdlg32 shell32 shlwapi gdi32 user32 kernel32 advapi32 msimg32
    uxtheme windowscodecs winmm rpcrt4 urlmon version ws2_32)
