# Programs of the host that the Windows build runs: the picture renderer (the Qt renderer the
# Linux window draws with, so both windows show the very same pixels) and the driver of the
# end-to-end tests under Wine. A native build of this source tree in host-tools/ makes them
# (Qt 6 and GoogleTest for the host are needed); the Windows build's own build runs it, so the
# cross build stays one command. The two Windows builds with tests share one such folder
# (presets win32 and win64: build-host-tools/), so a test run builds the host's programs once.
include(ExternalProject)

set(DUPLORA_HOST_TOOLS ${CMAKE_BINARY_DIR}/host-tools CACHE PATH
    "Build folder of the host's programs that the Windows build runs")
set(DUPLORA_HOST_RENDERER ${DUPLORA_HOST_TOOLS}/src/resources/duplora_render_pictures)
set(DUPLORA_HOST_WINE_E2E ${DUPLORA_HOST_TOOLS}/tests/wine-e2e/DuploraWineE2ETest)
set(hostTargets duplora_render_pictures)
set(hostPrograms ${DUPLORA_HOST_RENDERER})
if(DUPLORA_TESTS)
  list(APPEND hostTargets DuploraWineE2ETest)
  list(APPEND hostPrograms ${DUPLORA_HOST_WINE_E2E})
endif()

ExternalProject_Add(duplora_host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${DUPLORA_HOST_TOOLS}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DDUPLORA_GUI=ON -DDUPLORA_WIN32_WINDOW=OFF
             -DDUPLORA_TESTS=${DUPLORA_TESTS} -DDUPLORA_BENCH=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${DUPLORA_HOST_TOOLS} --target ${hostTargets}
  BUILD_ALWAYS ON  # its own build knows whether a source changed
  BUILD_BYPRODUCTS ${hostPrograms}
  INSTALL_COMMAND "")
