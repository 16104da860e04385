# The Qt 6 Widgets back end: the toolkit, the back end's sources, and files compiled into a
# program as Qt resources.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Test)
set(CMAKE_AUTOMOC OFF)
set(QUOVANT_PLATFORM_LIBRARIES Qt6::Core Qt6::Gui Qt6::Widgets)

# Files compiled into a library of the layers above the platform layer. Qt's resource target
# would hand Qt's headers to everything that links the library; it needs Qt only to link.
function(quovant_resources TARGET NAME)
  qt_add_resources(${TARGET} ${NAME} OUTPUT_TARGETS Generated ${ARGN})
  set_target_properties(${Generated} PROPERTIES INTERFACE_LINK_LIBRARIES "$<LINK_ONLY:Qt6::Core>")
endfunction()
