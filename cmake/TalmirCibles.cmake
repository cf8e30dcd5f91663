# The build's boundaries: one static library per subsystem folder of src/, each declaring the
# other subsystems it uses, and a configure-time check that its files include nothing else.

# The module an include line names: "printing/ui/x.h" -> printing/ui, "stock/x.h" -> stock.
# Only the widget folders (ui) and the printer back end (systeme) are modules of their own.
function(talmir_module_inclus ligne sortie)
    if(ligne MATCHES "#[ \t]*include[ \t]*\"([a-z_]+/(ui|systeme))/")
        set(${sortie} ${CMAKE_MATCH_1} PARENT_SCOPE)
    elseif(ligne MATCHES "#[ \t]*include[ \t]*\"([a-z_]+)/")
        set(${sortie} ${CMAKE_MATCH_1} PARENT_SCOPE)
    else()
        set(${sortie} "" PARENT_SCOPE)
    endif()
endfunction()

# The library target of a module folder: catalogue/ui -> talmir_catalogue_ui.
function(talmir_cible module sortie)
    string(REPLACE "/" "_" nom "${module}")
    set(${sortie} talmir_${nom} PARENT_SCOPE)
endfunction()

# Fails the configuration when one of `fichiers` includes a module outside `permis`.
function(talmir_verifier_inclusions cible fichiers permis)
    foreach(f ${fichiers})
        file(STRINGS ${f} lignes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
        foreach(l ${lignes})
            talmir_module_inclus("${l}" module)
            if(module AND NOT module IN_LIST permis)
                string(STRIP "${l}" l)
                file(RELATIVE_PATH chemin ${CMAKE_SOURCE_DIR} ${f})
                message(FATAL_ERROR
                    "${chemin}: '${l}' uses the subsystem '${module}', which target '${cible}' "
                    "does not declare. Add '${module}' to its DEPENDANCES (and check that the "
                    "dependency is wanted) or remove the include.")
            endif()
        endforeach()
    endforeach()
endfunction()

# The modules a module reaches through its declared dependencies, itself included.
function(talmir_fermeture modules sortie)
    set(vus)
    set(a_voir ${modules})
    while(a_voir)
        list(POP_FRONT a_voir m)
        if(m IN_LIST vus)
            continue()
        endif()
        list(APPEND vus ${m})
        talmir_cible(${m} cible)
        if(TARGET ${cible})
            get_target_property(deps ${cible} TALMIR_DEPENDANCES)
            if(deps)
                list(APPEND a_voir ${deps})
            endif()
        endif()
    endwhile()
    set(${sortie} ${vus} PARENT_SCOPE)
endfunction()

# talmir_sous_systeme(MODULE [DEPENDANCES module...] [BIBLIOTHEQUES lib...] [RESSOURCES f...])
# MODULE is a folder of src/ (database, catalogue/ui, printing/systeme); its .cpp and .h build
# the static library talmir_<module with _>, linked to the declared modules' libraries and to
# the external libraries. Every "<module>/..." include of its files must be declared.
function(talmir_sous_systeme module)
    cmake_parse_arguments(ARG "" "" "DEPENDANCES;BIBLIOTHEQUES;RESSOURCES" ${ARGN})
    talmir_cible(${module} cible)
    # A core library (a folder directly under src/) reaches neither widgets nor the print
    # toolkit, not even through another module.
    if(NOT module MATCHES "/")
        foreach(x ${ARG_DEPENDANCES} ${ARG_BIBLIOTHEQUES})
            if((x IN_LIST ARG_DEPENDANCES AND x MATCHES "/") OR
               x MATCHES "^Qt6::(Widgets|PrintSupport)$")
                message(FATAL_ERROR "The core library '${cible}' may not use '${x}': widgets and "
                    "the print toolkit belong to <subsystem>/ui and printing/systeme.")
            endif()
        endforeach()
    endif()
    file(GLOB fichiers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${module}/*.cpp
         ${CMAKE_SOURCE_DIR}/src/${module}/*.h)
    talmir_verifier_inclusions(${cible} "${fichiers}" "${module};${ARG_DEPENDANCES}")
    add_library(${cible} STATIC ${fichiers} ${ARG_RESSOURCES})
    # A newly globbed file must rerun moc even in an incremental build.
    set_property(TARGET ${cible} APPEND PROPERTY AUTOGEN_TARGET_DEPENDS ${fichiers})
    set_property(TARGET ${cible} PROPERTY TALMIR_DEPENDANCES ${ARG_DEPENDANCES})
    target_include_directories(${cible} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    set(liens talmir_options)
    foreach(d ${ARG_DEPENDANCES})
        talmir_cible(${d} c)
        list(APPEND liens ${c})
    endforeach()
    target_link_libraries(${cible} PUBLIC ${liens} ${ARG_BIBLIOTHEQUES})
endfunction()
