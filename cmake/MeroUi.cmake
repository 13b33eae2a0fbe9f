# Dialog templates: resources/ui/<folder>/NAME.ui, embedded into a program or test.
#   mero_ui_templates(<target> <folder>...)   e.g. mero_ui_templates(wmero common wmero)
# The lookup takes the program's own folder before "common".
set(CMAKE_FIND_PACKAGE_TARGETS_GLOBAL ON)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets UiTools PrintSupport)

function(mero_ui_templates target)
  set(qrc ${CMAKE_CURRENT_BINARY_DIR}/${target}_ui_templates.qrc)
  set(cpp ${CMAKE_CURRENT_BINARY_DIR}/${target}_ui_templates.cpp)
  set(body "<RCC>\n  <qresource prefix=\"/mero-ui\">\n")
  set(files)
  foreach(folder IN LISTS ARGN)
    file(GLOB uis CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/ui/${folder}/*.ui)
    foreach(f IN LISTS uis)
      get_filename_component(n ${f} NAME)
      string(APPEND body "    <file alias=\"${folder}/${n}\">${f}</file>\n")
      list(APPEND files ${f})
    endforeach()
  endforeach()
  string(APPEND body "  </qresource>\n</RCC>\n")
  file(CONFIGURE OUTPUT ${qrc} CONTENT "${body}")
  add_custom_command(OUTPUT ${cpp}
    COMMAND Qt6::rcc --name ${target}_ui_templates -o ${cpp} ${qrc}
    DEPENDS ${qrc} ${files}
    COMMENT "Embedding the dialog templates of ${target}")
  target_sources(${target} PRIVATE ${cpp})
endfunction()
