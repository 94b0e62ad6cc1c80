# Which targets may include or link what, read from what CMake itself made of
# the targets (written at configure time by tests/house/CMakeLists.txt):
#   - only the platform has src/platform/linux on its include path, and only
#     its linux/ folder includes X11, xcb or D-Bus headers or names linux/;
#   - the widget kit (ui) does not link the store, directly or through others;
#   - the GNOME backend (linux/gnome/) includes no X11 or xcb headers.
# Usage: cmake -DLAYERING_DIR=<dir of the written files> -P check-layering.cmake
cmake_minimum_required(VERSION 3.16)

file(GLOB target_files "${LAYERING_DIR}/*.layering")
if(NOT target_files)
    message(FATAL_ERROR "no target descriptions in ${LAYERING_DIR}")
endif()

set(failures "")
foreach(file IN LISTS target_files)
    get_filename_component(target "${file}" NAME_WE)
    file(STRINGS "${file}" lines)
    foreach(line IN LISTS lines)
        if(line MATCHES "^([a-z]+)=(.*)$")
            set(${target}_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
        endif()
    endforeach()
    list(APPEND targets ${target})
endforeach()

foreach(target IN LISTS targets)
    # 1. The include path.
    if(NOT target STREQUAL "lumora_platform")
        foreach(dir IN LISTS ${target}_include)
            if(dir MATCHES "/src/platform/linux/?$")
                list(APPEND failures "${target} has the platform's linux/ folder on its include path")
            endif()
        endforeach()
    endif()

    # 2. The sources: every file in the target's folder (and, for the
    # platform, its interfaces and doubles; only linux/ is exempt).
    set(dirs "${${target}_sourcedir}")
    if(target STREQUAL "lumora_platform")
        list(APPEND dirs "${${target}_sourcedir}/fake")
    endif()
    foreach(dir IN LISTS dirs)
        file(GLOB files "${dir}/*.h" "${dir}/*.cpp")
        foreach(source IN LISTS files)
            file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
            foreach(include IN LISTS includes)
                if(include MATCHES "[<\"](X11/|xcb/|QtDBus|QDBus|dbus/)" OR include MATCHES "[<\"/]linux/[A-Za-z]")
                    if(NOT include MATCHES "<linux/")
                        list(APPEND failures "${source}: ${include}")
                    endif()
                endif()
            endforeach()
        endforeach()
    endforeach()
endforeach()

# 3. GNOME Shell is reached through its extension on the session bus only:
# the platform's gnome/ folder includes no X11 or xcb.
file(GLOB gnome_sources "${CMAKE_CURRENT_LIST_DIR}/../../src/platform/linux/gnome/*")
foreach(source IN LISTS gnome_sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](X11/|xcb/)")
    foreach(include IN LISTS includes)
        list(APPEND failures "${source}: ${include} (the GNOME backend does not use X11)")
    endforeach()
endforeach()

# 4. What the widget kit links, followed through every target it links.
set(closure "")
set(pending lumora_ui)
while(pending)
    list(POP_FRONT pending current)
    if(current IN_LIST closure)
        continue()
    endif()
    list(APPEND closure ${current})
    foreach(dependency IN LISTS ${current}_link)
        if(dependency IN_LIST targets)
            list(APPEND pending ${dependency})
        endif()
    endforeach()
endwhile()
if("lumora_store" IN_LIST closure)
    list(JOIN closure ", " reached)
    list(APPEND failures "lumora_ui links the store (it reaches: ${reached})")
endif()

if(failures)
    list(JOIN failures "\n  " text)
    message(FATAL_ERROR "Layering broken:\n  ${text}")
endif()
list(LENGTH targets count)
message(STATUS "Layering holds for ${count} targets")
