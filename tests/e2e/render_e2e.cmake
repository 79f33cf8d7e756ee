# End-to-end render tests: fusion-sim, the add-in, the live library stand-in and
# the renderer stand-in installed into a temporary folder.
if(TARGET fusion-sim AND TARGET quorell-addin AND TARGET quorell-standin AND TARGET quorelllive
   AND TARGET quorell-send)
  # On Windows every test installs into the one registry of the Wine prefix:
  # they take turns.
  if(WIN32)
    set(render_e2e_properties RESOURCE_LOCK current-user-registry)
  endif()
  quorell_add_test(e2e_render_tests
    SOURCES RenderEndToEndTest.cpp
    LIBS fusionsim_core livelink_wire
    PROPERTIES ${render_e2e_properties})
  target_compile_definitions(e2e_render_tests PRIVATE
    FUSION_SIM="$<TARGET_FILE:fusion-sim>"
    ADDIN_LIBRARY="$<TARGET_FILE:quorell-addin>"
    RENDERER="$<TARGET_FILE:quorell-standin>"
    SEND="$<TARGET_FILE:quorell-send>"
    EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
  add_dependencies(e2e_render_tests fusion-sim quorell-addin quorell-standin quorelllive
    quorell-send)
endif()
