# Pictomolder's CMake package: find_package(Pictomolder) gives the imported program
# Pictomolder::cli and pictomolder_add_icons(), which draws an application's icons from
# its 3DI scripts at build time:
#
#   pictomolder_add_icons(TARGET app_icons SCRIPTS icons/app.3di icons/doc.3di
#                         [ICO] [ICNS] [PNG SIZE n] [THEME] [HIDPI]
#                         [SIZES n...] [PRESET windows|hicolor|macos]
#                         [OUTPUT_DIRECTORY dir] [OPTIONS export options...])
#
# Each script gives one icon per format asked (ICO when none is): dir/NAME.ico,
# dir/NAME.icns, dir/NAME.png, or with THEME dir/NxN/apps/NAME.png for each size (and
# dir/NxN@2/apps/NAME.png with HIDPI or PRESET hicolor). dir is OUTPUT_DIRECTORY,
# ${CMAKE_CURRENT_BINARY_DIR}/icons by default. Every icon is its own build step with a
# dependency file, so a build draws again only the icon whose script or texture changed.
# TARGET builds them all (with ALL); the variable TARGET_OUTPUTS lists the files.
cmake_minimum_required(VERSION 3.20)

get_filename_component(_pictomolder_prefijo "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
if(NOT TARGET Pictomolder::cli)
  add_executable(Pictomolder::cli IMPORTED)
  set_target_properties(Pictomolder::cli PROPERTIES
    IMPORTED_LOCATION "${_pictomolder_prefijo}/lib/pictomolder/pictomolder-cli")
endif()

# The sizes of a theme when none are given, and those of the presets.
set(_pictomolder_lados 16 24 32 48 64 128 256)
set(_pictomolder_lados_windows 16 20 24 30 32 36 40 48 60 64 72 80 96 256)
set(_pictomolder_lados_hicolor 16 22 24 32 48 64 96 128 256 512)
set(_pictomolder_lados_macos 16 32 64 128 256 512 1024)

# The files of a theme for the sizes given, in the order the tool names them.
function(_pictomolder_tema carpeta nombre lados dobles salida)
  set(ficheros)
  foreach(lado IN LISTS lados)
    list(APPEND ficheros "${carpeta}/${lado}x${lado}/apps/${nombre}.png")
  endforeach()
  if(dobles)
    foreach(lado IN LISTS lados)
      list(APPEND ficheros "${carpeta}/${lado}x${lado}@2/apps/${nombre}.png")
    endforeach()
  endif()
  set(${salida} ${ficheros} PARENT_SCOPE)
endfunction()

function(pictomolder_add_icons)
  cmake_parse_arguments(PARSE_ARGV 0 PM "ICO;ICNS;PNG;THEME;HIDPI" "TARGET;SIZE;PRESET;OUTPUT_DIRECTORY"
                        "SCRIPTS;SIZES;OPTIONS")
  if(NOT PM_TARGET OR NOT PM_SCRIPTS)
    message(FATAL_ERROR "pictomolder_add_icons needs TARGET name and SCRIPTS file...")
  endif()
  if(NOT PM_OUTPUT_DIRECTORY)
    set(PM_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/icons")
  endif()
  get_filename_component(carpeta "${PM_OUTPUT_DIRECTORY}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  set(formatos)
  foreach(f ICO ICNS PNG THEME)
    if(PM_${f})
      string(TOLOWER ${f} f)
      list(APPEND formatos ${f})
    endif()
  endforeach()
  if(NOT formatos)
    set(formatos ico)
  endif()

  set(tamanos)
  set(lados ${_pictomolder_lados})
  if(PM_PRESET)
    if(NOT PM_PRESET MATCHES "^(windows|hicolor|macos)$")
      message(FATAL_ERROR "pictomolder_add_icons: PRESET is windows, hicolor or macos, not ${PM_PRESET}")
    endif()
    list(APPEND tamanos --preset ${PM_PRESET})
    set(lados ${_pictomolder_lados_${PM_PRESET}})
  endif()
  if(PM_SIZES)
    list(JOIN PM_SIZES "," lista)
    list(APPEND tamanos --sizes ${lista})
    set(lados ${PM_SIZES})
  endif()
  set(dobles OFF)
  if(PM_HIDPI OR PM_PRESET STREQUAL "hicolor")
    set(dobles ON)
  endif()

  set(todas)
  file(MAKE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/pictomolder")
  foreach(script IN LISTS PM_SCRIPTS)
    get_filename_component(script "${script}" ABSOLUTE)
    get_filename_component(nombre "${script}" NAME_WE)
    foreach(formato IN LISTS formatos)
      set(opciones ${tamanos})
      if(formato STREQUAL "theme")
        _pictomolder_tema("${carpeta}" ${nombre} "${lados}" ${dobles} salidas)
        if(PM_HIDPI)
          list(APPEND opciones --hidpi)
        endif()
      else()
        set(salidas "${carpeta}/${nombre}.${formato}")
        if(formato STREQUAL "png" AND PM_SIZE)
          set(opciones --size ${PM_SIZE})
        endif()
      endif()
      set(dependencias "${CMAKE_CURRENT_BINARY_DIR}/pictomolder/${nombre}.${formato}.d")
      add_custom_command(
        OUTPUT ${salidas}
        COMMAND Pictomolder::cli export "${script}" --outdir "${carpeta}" --format ${formato} ${opciones}
                --depfile "${dependencias}" ${PM_OPTIONS}
        DEPENDS "${script}"
        DEPFILE "${dependencias}"
        COMMENT "Drawing the icon ${nombre} (${formato})"
        VERBATIM)
      list(APPEND todas ${salidas})
    endforeach()
  endforeach()
  add_custom_target(${PM_TARGET} ALL DEPENDS ${todas})
  set(${PM_TARGET}_OUTPUTS ${todas} PARENT_SCOPE)
endfunction()
