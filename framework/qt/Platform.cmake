# The Qt 6 Widgets back end: the toolkit, the back end's sources, and files compiled into a
# program as Qt resources.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Test)
set(CMAKE_AUTOMOC OFF)

set(QUOVANT_PLATFORM_SOURCES
  QtApplication.cpp
  QtCanvas.cpp
  QtCodePage.cpp
  QtFiles.cpp
  QtFonts.cpp
  QtGridEdit.cpp
  QtHost.cpp
  QtImages.cpp
  QtInput.cpp
  QtMemory.cpp
  QtMenus.cpp
  QtOpenDialog.cpp
  QtScrollBars.cpp
  QtStdCtrls.cpp
  QtSystem.cpp
  QtWindows.cpp)
list(TRANSFORM QUOVANT_PLATFORM_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
set(QUOVANT_PLATFORM_LIBRARIES Qt6::Core Qt6::Gui Qt6::Widgets)
# The test support (framework_test): tests and benchmarks link it, the programs do not.
set(QUOVANT_PLATFORM_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/QtTestDriver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtTestSupport.cpp)
set(QUOVANT_PLATFORM_TEST_LIBRARIES Qt6::Widgets Qt6::Test)

# Files compiled into a library of the layers above the platform layer. Qt's resource target
# would hand Qt's headers to everything that links the library; it needs Qt only to link.
function(quovant_resources TARGET NAME)
  qt_add_resources(${TARGET} ${NAME} OUTPUT_TARGETS Generated ${ARGN})
  set_target_properties(${Generated} PROPERTIES INTERFACE_LINK_LIBRARIES "$<LINK_ONLY:Qt6::Core>")
endfunction()
