# The direction of dependencies between the program's folders, checked when the build is
# configured: a library that reaches upwards, or links more of Qt than its folder may, stops
# the configuration with the path that does it. Tests, fuzz targets and benchmarks may link
# whatever they exercise and are not checked.

# Folder: the folders it may link, then the most of Qt it may reach (NONE, Core, Gui, Widgets).
set(VISTREL_LAYERS
    "platform:-:NONE"
    "config:platform:NONE"
    "plugin_host:platform:NONE"
    "keywords:platform:NONE"
    "keywords/view:keywords,platform:Widgets"
    "download:config,platform:NONE"
    "search:download,plugin_host,keywords,config,platform:NONE"
    "plugins/medora:plugin_host,platform:NONE"
    "tools/listing_site:platform:NONE"
    "app/options:config,platform:Widgets"
    "app/batch:search,download,plugin_host,keywords,config,platform:NONE"
    "app:app/options,app/batch,keywords/view,search,download,plugin_host,keywords,config,platform:Widgets")
# Single targets that may reach further than their folder: medora's options dialog, the
# keyword list's item model (Qt Core) beside the Qt-free keyword document, and batch mode's
# desktop notification (Qt D-Bus, which stands on Qt Core).
set(VISTREL_LAYER_TARGET_QT "medora:Widgets" "vistrel_keyword_model:Core"
    "vistrel_batch_notify:Core")

# Sets out to the entry of VISTREL_LAYERS for folder, or to "" when the folder has none.
function(vistrel_layer_of folder out)
    foreach(entry ${VISTREL_LAYERS})
        string(REPLACE ":" ";" parts "${entry}")
        list(GET parts 0 name)
        if(name STREQUAL folder)
            set(${out} "${parts}" PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${out} "" PARENT_SCOPE)
endfunction()

# Sets out to a message when a library in folder may not link one in dep_folder, else "".
function(vistrel_layer_violation folder dep_folder out)
    set(${out} "" PARENT_SCOPE)
    if(folder STREQUAL dep_folder)
        return()
    endif()
    vistrel_layer_of("${folder}" layer)
    if(NOT layer)
        return()
    endif()
    list(GET layer 1 allowed)
    string(REPLACE "," ";" allowed "${allowed}")
    if(NOT dep_folder IN_LIST allowed)
        set(${out} "${folder} may not depend on ${dep_folder}" PARENT_SCOPE)
    endif()
endfunction()

# Sets out to a message when target (in folder) may not reach the Qt component, else "".
function(vistrel_qt_violation folder target component out)
    set(${out} "" PARENT_SCOPE)
    set(levels NONE Core Gui Widgets)
    set(limit "")
    foreach(entry ${VISTREL_LAYER_TARGET_QT})
        string(REPLACE ":" ";" parts "${entry}")
        list(GET parts 0 name)
        if(name STREQUAL target)
            list(GET parts 1 limit)
        endif()
    endforeach()
    if(NOT limit)
        vistrel_layer_of("${folder}" layer)
        if(NOT layer)
            return()
        endif()
        list(GET layer 2 limit)
    endif()
    list(FIND levels "${component}" reached)
    list(FIND levels "${limit}" allowed)
    if(reached GREATER allowed)
        set(${out} "${target} in ${folder} may not link Qt ${component}" PARENT_SCOPE)
    endif()
endfunction()

# The folder of a target of ours, relative to the source tree; "" for others' targets.
function(_vistrel_target_folder target out)
    set(${out} "" PARENT_SCOPE)
    if(NOT TARGET ${target})
        return()
    endif()
    get_target_property(imported ${target} IMPORTED)
    if(imported)
        return()
    endif()
    get_target_property(dir ${target} SOURCE_DIR)
    file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${dir})
    set(${out} "${folder}" PARENT_SCOPE)
endfunction()

# What a target passes on to those that link it: usage items (their headers are seen too) and
# link-only items (a static library's private links), generator expressions reduced to names.
function(_vistrel_interface_items target usage_out link_only_out)
    set(usage)
    set(link_only)
    get_target_property(values ${target} INTERFACE_LINK_LIBRARIES)
    if(values)
        foreach(value ${values})
            if(value MATCHES "^\\$<LINK_ONLY:(.*)>$")
                list(APPEND link_only "${CMAKE_MATCH_1}")
            else()
                list(APPEND usage "${value}")
            endif()
        endforeach()
    endif()
    set(${usage_out} "${usage}" PARENT_SCOPE)
    set(${link_only_out} "${link_only}" PARENT_SCOPE)
endfunction()

function(_vistrel_collect_targets dir out)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub ${subdirs})
        _vistrel_collect_targets(${sub} more)
        list(APPEND targets ${more})
    endforeach()
    set(${out} "${targets}" PARENT_SCOPE)
endfunction()

# Checks every library and program of the source tree; call once all folders are added.
function(vistrel_check_layering)
    _vistrel_collect_targets(${CMAKE_SOURCE_DIR} targets)
    set(problems)
    foreach(target ${targets})
        _vistrel_target_folder(${target} folder)
        if(folder MATCHES "(^|/)tests(/|$)" OR folder MATCHES "^(fuzz|bench)(/|$)")
            continue()
        endif()
        # Test helpers declared beside their folder's library keep their sources in tests/.
        get_target_property(sources ${target} SOURCES)
        list(FILTER sources EXCLUDE REGEX "(^|/)tests/")
        if(NOT sources)
            continue()
        endif()
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "LIBRARY|EXECUTABLE")
            continue()
        endif()
        # Direct links of ours against the folder table.
        get_target_property(direct ${target} LINK_LIBRARIES)
        if(NOT direct)
            set(direct)
        endif()
        foreach(dep ${direct})
            _vistrel_target_folder("${dep}" dep_folder)
            if(dep_folder)
                vistrel_layer_violation("${folder}" "${dep_folder}" problem)
                if(problem)
                    list(APPEND problems "${target} -> ${dep}: ${problem}")
                endif()
            endif()
        endforeach()
        # Then Qt: Widgets counts however it is reached; the other components only where the
        # target's own code can see them, not through another library's private links.
        set(seen)
        set(queue)
        foreach(dep ${direct})
            list(APPEND queue "S|${dep}")
        endforeach()
        while(queue)
            list(POP_FRONT queue entry)
            if(entry IN_LIST seen)
                continue()
            endif()
            list(APPEND seen "${entry}")
            string(SUBSTRING "${entry}" 0 1 how)
            string(SUBSTRING "${entry}" 2 -1 item)
            if(item MATCHES "^Qt6::(Core|Gui|Widgets|DBus)$")
                # (A parenthesised condition would run before the match and see an old one.)
                set(component ${CMAKE_MATCH_1})
                if(component STREQUAL "DBus")
                    set(component Core) # no widgets, but Qt's event loop all the same
                endif()
                if(how STREQUAL "S" OR component STREQUAL "Widgets")
                    vistrel_qt_violation("${folder}" ${target} ${component} problem)
                    if(problem)
                        list(APPEND problems "${target} -> ${item}: ${problem}")
                    endif()
                endif()
            endif()
            _vistrel_target_folder("${item}" item_folder)
            if(item_folder)
                _vistrel_interface_items(${item} usage link_only)
                foreach(next ${usage})
                    list(APPEND queue "${how}|${next}")
                endforeach()
                foreach(next ${link_only})
                    list(APPEND queue "L|${next}")
                endforeach()
            endif()
        endwhile()
    endforeach()
    if(problems)
        list(JOIN problems "\n  " text)
        message(FATAL_ERROR "Layering broken:\n  ${text}")
    endif()
endfunction()
