# The release side of the build: the version both programs print. Included at
# the end of the top-level CMakeLists.txt, once the qz7cont and qz7sim targets
# exist.

include(GNUInstallDirs)

# The version has one home, the project() line; both programs print it.
set(QZ7_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/cmake/qz7_version.h.in ${QZ7_GENERATED_DIR}/qz7_version.h @ONLY)
target_include_directories(qz7cont PRIVATE ${QZ7_GENERATED_DIR})
target_include_directories(qz7sim PRIVATE ${QZ7_GENERATED_DIR})

# The window icon lives in the executable (see Application's constructor).
qt_add_resources(QZ7_ICON_RESOURCES ${PROJECT_SOURCE_DIR}/src/app/icons.qrc)
target_sources(qz7cont PRIVATE ${QZ7_ICON_RESOURCES})
