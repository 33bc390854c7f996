# A codec library a decoder of ours opens only when a picture of its format is first read, so
# that the game's start pays nothing for it: the decoder is built against the library's headers
# and told the library's file name (its SONAME), never linked to it.
#
# morvane_lazy_library(TARGET PKG_MODULE LIBRARY_NAME DEFINE)
#   TARGET        the decoder library
#   PKG_MODULE    the pkg-config module that gives the headers (e.g. libheif)
#   LIBRARY_NAME  the library's name as the linker knows it (heif for libheif.so)
#   DEFINE        the macro that holds the SONAME in the decoder (MORVANE_LIBHEIF_SONAME)
find_package(PkgConfig REQUIRED)

function(morvane_lazy_library target module name define)
    pkg_check_modules(${define}_PKG REQUIRED ${module})
    find_library(${define}_PATH NAMES ${name} HINTS ${${define}_PKG_LIBRARY_DIRS} REQUIRED)
    get_filename_component(real "${${define}_PATH}" REALPATH)
    execute_process(COMMAND ${CMAKE_OBJDUMP} -p "${real}" OUTPUT_VARIABLE dump
                    RESULT_VARIABLE status ERROR_QUIET)
    if(NOT status EQUAL 0 OR NOT dump MATCHES "SONAME +([^ \n]+)")
        message(FATAL_ERROR "Cannot read the SONAME of ${real}")
    endif()
    # Public: the decoder's headers may name the library's types.
    target_include_directories(${target} SYSTEM PUBLIC ${${define}_PKG_INCLUDE_DIRS})
    target_compile_options(${target} PUBLIC ${${define}_PKG_CFLAGS_OTHER})
    target_compile_definitions(${target} PRIVATE ${define}="${CMAKE_MATCH_1}")
    target_link_libraries(${target} PRIVATE ${CMAKE_DL_LIBS})
    message(STATUS "${target} opens ${CMAKE_MATCH_1} when it first decodes")
    # The Debian package names the packages of these files, which no link tells it of.
    set_property(GLOBAL APPEND PROPERTY MORVANE_LAZY_LIBRARIES "${real}")
endfunction()
