# The windows: Qt 6 Widgets over plain models.
#
# Two targets per layer, so that logic cannot creep into widgets:
#  - quilor_ui_logic: models, layouts, line builders and dialog logic of
#    ui/, mainwindow/, scenario/ and output/. QtCore/QtGui value types at
#    most; never QtWidgets, QPainter or QPrinter. Tested without a display.
#  - quilor_ui: widgets, dialogs and the QPainter/QPrinter side. A source file
#    belongs here when its name ends in _widget, _dialog, _window or _qt.
# Above them, quilor_app puts every window's commands into the main window
# (app/), and the program `quilor` is app/main.cpp over it.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport Network Test)

set(QUILOR_UI_FOLDERS ui mainwindow scenario output)
set(QUILOR_UI_ALL_SOURCES)
set(QUILOR_UI_WIDGET_HEADERS)
foreach(folder ${QUILOR_UI_FOLDERS})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  # Headers of the widget side carry Q_OBJECT: give them to moc.
  file(GLOB headers CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/${folder}/*_widget.h ${CMAKE_SOURCE_DIR}/${folder}/*_dialog.h
    ${CMAKE_SOURCE_DIR}/${folder}/*_window.h ${CMAKE_SOURCE_DIR}/${folder}/*_qt.h)
  list(APPEND QUILOR_UI_ALL_SOURCES ${sources})
  list(APPEND QUILOR_UI_WIDGET_HEADERS ${headers})
endforeach()
set(QUILOR_UI_LOGIC_SOURCES)
set(QUILOR_UI_WIDGET_SOURCES)
foreach(src ${QUILOR_UI_ALL_SOURCES})
  if(src MATCHES "_(widget|dialog|window|qt)\\.cpp$")
    list(APPEND QUILOR_UI_WIDGET_SOURCES ${src})
  else()
    list(APPEND QUILOR_UI_LOGIC_SOURCES ${src})
  endif()
endforeach()
add_library(quilor_ui_logic STATIC ${QUILOR_UI_LOGIC_SOURCES})
target_link_libraries(quilor_ui_logic PUBLIC quilor_engine Qt6::Core Qt6::Gui)
# The statistics report is written as an .xlsx workbook.
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
target_link_libraries(quilor_ui_logic PUBLIC PkgConfig::XLSXWRITER)

add_library(quilor_ui STATIC ${QUILOR_UI_WIDGET_SOURCES} ${QUILOR_UI_WIDGET_HEADERS})
set_target_properties(quilor_ui PROPERTIES AUTOMOC ON)
# moc must see a header added since the last build. The moc step of an
# incremental build does not notice a new header by itself, so when the list
# changes (the globs are checked again at every build) its stamp is removed
# and moc runs again over every header.
set(QUILOR_UI_HEADER_LIST ${CMAKE_BINARY_DIR}/ui_widget_headers.txt)
set(QUILOR_UI_HEADER_LIST_OLD "")
if(EXISTS ${QUILOR_UI_HEADER_LIST})
  file(READ ${QUILOR_UI_HEADER_LIST} QUILOR_UI_HEADER_LIST_OLD)
endif()
if(NOT QUILOR_UI_HEADER_LIST_OLD STREQUAL "${QUILOR_UI_WIDGET_HEADERS}")
  file(WRITE ${QUILOR_UI_HEADER_LIST} "${QUILOR_UI_WIDGET_HEADERS}")
  file(REMOVE ${CMAKE_BINARY_DIR}/quilor_ui_autogen/timestamp)
endif()
target_link_libraries(quilor_ui PUBLIC quilor_ui_logic Qt6::Widgets Qt6::PrintSupport Qt6::Network)

# The program's assembly: every window's commands installed in the main window.
file(GLOB QUILOR_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/*.cpp)
list(REMOVE_ITEM QUILOR_APP_SOURCES ${CMAKE_SOURCE_DIR}/app/main.cpp)
add_library(quilor_app STATIC ${QUILOR_APP_SOURCES})
set_target_properties(quilor_app PROPERTIES AUTOMOC ON)
target_link_libraries(quilor_app PUBLIC quilor_ui)

add_executable(quilor ${CMAKE_SOURCE_DIR}/app/main.cpp)
set_target_properties(quilor PROPERTIES AUTOMOC ON)
target_link_libraries(quilor PRIVATE quilor_app)
install(TARGETS quilor RUNTIME DESTINATION bin)

# Tools that draw or talk to the program use the windows' code (tools/qt/*.cpp).
file(GLOB QUILOR_QT_TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/qt/*.cpp)
foreach(src ${QUILOR_QT_TOOL_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  # Beside the other tools, so that the build tree's Dico and Scenario are found.
  set_target_properties(${name} PROPERTIES AUTOMOC ON RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
  target_link_libraries(${name} PRIVATE quilor_ui)
  if(NOT name STREQUAL "quilor-monkey")
    install(TARGETS ${name} RUNTIME DESTINATION bin)
  endif()
endforeach()
# The random-input tool runs the whole program and sends its clicks and keys
# as the Qt tests do; it is for testing and is not installed.
if(TARGET quilor-monkey)
  target_link_libraries(quilor-monkey PRIVATE quilor_app Qt6::Test)
endif()

# The help pages, opened by context number in the user's browser (<root>/Help/<context>.html).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/help/ DESTINATION Help)
