# SPDX-License-Identifier: MIT
# Which targets and folders may include or link what, read from the sources
# and from what CMake itself made of the targets (written at configure time
# by tests/house/CMakeLists.txt):
#   1. only the platform and its backends have src/platform/linux (or a
#      folder in it) on their include path, and a backend has no other
#      backend's folder on it but those listed in backend_uses below;
#   2. each folder under src/ includes only the system headers its row in
#      the table below grants: X11, xcb and Xlib in platform/linux/x11 alone,
#      D-Bus in the D-Bus backends, nothing of linux/ outside the platform;
#   3. the widget kit (ui) does not link the store, directly or through
#      others.
# Usage: cmake -DLAYERING_DIR=<dir of the written files>
#              -DSOURCE_DIR=<the project's src folder> -P check-layering.cmake
cmake_minimum_required(VERSION 3.16)

# The guarded headers, by kind.
set(kind_x11 "[<\"](X11/|xcb/)")
set(kind_dbus "[<\"](QtDBus|QDBus|dbus/)")
set(kind_canberra "[<\"]canberra\\.h")
set(kind_linux "[<\"/]linux/[A-Za-z]")
set(kinds x11 dbus canberra linux)

# What each folder under src/ may include of them; every other folder
# (and every file directly in src/platform) none.
set(grant_platform/linux "")
set(grant_platform/linux/x11 "x11")
set(grant_platform/linux/freedesktop "dbus;canberra")
set(grant_platform/linux/kwin "dbus")
set(grant_platform/linux/sway "")
# The GNOME Shell extension's backend speaks D-Bus; never X11.
set(grant_platform/linux/gnome "dbus")

# The backends a backend may see besides itself and the shared files of
# linux/ (its include path).
set(backend_uses_freedesktop "")
set(backend_uses_x11 "")
set(backend_uses_sway "")
set(backend_uses_kwin "")
set(backend_uses_gnome "freedesktop")

# Files that still include what their folder is not granted, each as
# "<file under src>:<kind>" with the reason beside it. None at present.
set(exceptions "")

file(GLOB target_files "${LAYERING_DIR}/*.layering")
if(NOT target_files)
    message(FATAL_ERROR "no target descriptions in ${LAYERING_DIR}")
endif()
if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "no source folder: ${SOURCE_DIR}")
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

# 1. The include paths.
foreach(target IN LISTS targets)
    set(backend "")
    if(target MATCHES "^lumora_platform_(.+)$")
        set(backend "${CMAKE_MATCH_1}")
    endif()
    foreach(dir IN LISTS ${target}_include)
        if(NOT dir MATCHES "/src/platform/linux(/([a-z0-9]+))?/?$")
            continue()
        endif()
        set(folder "${CMAKE_MATCH_2}")
        if(target STREQUAL "lumora_platform" OR (backend AND NOT folder))
            continue()
        endif()
        if(NOT backend)
            list(APPEND failures "${target} has the platform's ${dir} on its include path")
        elseif(NOT folder STREQUAL backend AND NOT folder IN_LIST backend_uses_${backend})
            list(APPEND failures
                "backend ${backend} sees backend ${folder} (include path ${dir}); not in backend_uses_${backend}")
        endif()
    endforeach()
endforeach()

# 2. The sources, folder by folder.
file(GLOB_RECURSE sources "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
foreach(source IN LISTS sources)
    file(RELATIVE_PATH relative "${SOURCE_DIR}" "${source}")
    get_filename_component(folder "${relative}" DIRECTORY)
    set(granted "")
    if(DEFINED grant_${folder})
        set(granted "${grant_${folder}}")
    elseif(folder MATCHES "^platform/linux/")
        list(APPEND failures "${relative}: platform/linux/${folder} has no row in check-layering.cmake")
    endif()
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(include IN LISTS includes)
        foreach(kind IN LISTS kinds)
            if(NOT include MATCHES "${kind_${kind}}" OR include MATCHES "<linux/")
                continue()
            endif()
            if(kind STREQUAL "linux" AND folder MATCHES "^platform/linux")
                continue()
            endif()
            if(kind IN_LIST granted OR "${relative}:${kind}" IN_LIST exceptions)
                continue()
            endif()
            list(APPEND failures "${relative}: ${include} (${kind} headers belong elsewhere)")
        endforeach()
    endforeach()
endforeach()

# 3. What the widget kit links, followed through every target it links.
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
list(LENGTH sources files)
message(STATUS "Layering holds for ${count} targets and ${files} files")
