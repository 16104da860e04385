# The Win32 back end: native windows, GDI and the common controls, cross-built with mingw-w64;
# files compiled into a program as Win32 resources.
enable_language(RC)

set(QUOVANT_PLATFORM_SOURCES
  Win32Application.cpp
  Win32Canvas.cpp
  Win32CodePage.cpp
  Win32Files.cpp
  Win32Fonts.cpp
  Win32GridEdit.cpp
  Win32Host.cpp
  Win32Images.cpp
  Win32Input.cpp
  Win32Memory.cpp
  Win32Menus.cpp
  Win32OpenDialog.cpp
  Win32ScrollBars.cpp
  Win32StdCtrls.cpp
  Win32Subclass.cpp
  Win32System.cpp
  Win32Windows.cpp)
list(TRANSFORM QUOVANT_PLATFORM_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
set(QUOVANT_PLATFORM_LIBRARIES comctl32 comdlg32 gdi32 imm32 msimg32 ole32 shell32 shlwapi
  user32 uuid uxtheme windowscodecs)
# The test support (framework_test): tests and benchmarks link it, the programs do not.
set(QUOVANT_PLATFORM_TEST_SOURCES Win32TestDriver.cpp Win32TestProcess.cpp Win32TestSupport.cpp)
list(TRANSFORM QUOVANT_PLATFORM_TEST_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
set(QUOVANT_PLATFORM_TEST_LIBRARIES ${QUOVANT_PLATFORM_LIBRARIES} psapi)

# What every program of the layer carries: the manifest that binds version 6 of the common
# controls, and the open dialog's template.
add_library(framework_resources OBJECT ${CMAKE_CURRENT_LIST_DIR}/Resources.rc)
target_include_directories(framework_resources PRIVATE ${CMAKE_CURRENT_LIST_DIR})
set(QUOVANT_PLATFORM_RESOURCES $<TARGET_OBJECTS:framework_resources>)
set(QUOVANT_PLATFORM_RESOURCE_TARGETS framework_resources)

# Resources in a static library reach no program (no symbol pulls their object in): they are
# compiled into an object library whose objects every program linking TARGET takes. A program
# that must lack some names them in its property QUOVANT_OMITTED_RESOURCES.
function(quovant_link_resources TARGET NAME)
  # The objects must exist before a program links them, also when it is built alone.
  add_dependencies(${TARGET} ${NAME})
  target_link_libraries(${TARGET} INTERFACE
    "$<$<NOT:$<IN_LIST:${NAME},$<TARGET_PROPERTY:QUOVANT_OMITTED_RESOURCES>>>:$<TARGET_OBJECTS:${NAME}>>")
endfunction()

# Files compiled into the programs that link TARGET, as Platform::ReadResource(Kind, Name)
# finds them: the first folder of the file's path under PREFIX (relative to BASE, or to the
# calling folder) is the resource type, the rest the resource name, both in capitals, as Win32
# compares them: PREFIX "/forms" with umorvane.dfm is type FORMS, name UMORVANE.DFM. A cursor
# is a CURSOR resource under its file's stem as well, for LoadCursor.
function(quovant_resources TARGET NAME)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "" "PREFIX;BASE" "FILES")
  if(NOT ARG_BASE)
    set(ARG_BASE ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  set(script "")
  set(paths "")
  foreach(file IN LISTS ARG_FILES)
    get_filename_component(path ${file} ABSOLUTE)
    file(RELATIVE_PATH relative ${ARG_BASE} ${path})
    string(REGEX REPLACE "^/+" "" resource "${ARG_PREFIX}/${relative}")
    string(TOUPPER ${resource} resource)
    string(FIND ${resource} "/" slash)
    if(slash LESS 1 OR NOT resource MATCHES "^[A-Z0-9_]+/[A-Z0-9_.]+$")
      message(FATAL_ERROR "quovant_resources: ${file} gives the resource ${resource}, which is "
        "no kind and a name of letters, digits, '_' and '.'")
    endif()
    string(SUBSTRING ${resource} 0 ${slash} kind)
    math(EXPR slash "${slash} + 1")
    string(SUBSTRING ${resource} ${slash} -1 name)
    string(APPEND script "${name} ${kind} \"${path}\"\n")
    if(path MATCHES "\\.[cC][uU][rR]$")
      get_filename_component(stem ${path} NAME_WE)
      string(TOUPPER ${stem} stem)
      string(APPEND script "${stem} CURSOR \"${path}\"\n")
    endif()
    list(APPEND paths ${path})
  endforeach()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${NAME}.rc)
  file(CONFIGURE OUTPUT ${rc} CONTENT "${script}" @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${paths}")
  add_library(${NAME} OBJECT ${rc})
  quovant_link_resources(${TARGET} ${NAME})
endfunction()

# The icon that Explorer, the Start menu and the taskbar show for the program TARGET.
function(quovant_program_icon TARGET ICON)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${TARGET}_icon.rc)
  file(CONFIGURE OUTPUT ${rc} CONTENT "MAINICON ICON \"${ICON}\"\n")
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${ICON})
  target_sources(${TARGET} PRIVATE ${rc})
endfunction()
