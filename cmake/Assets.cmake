# Build-time asset generators.
#
# A generator is a host executable registered from tools/ with
# quarrion_register_asset_tool(). It is run as
#
#     <tool> <asset-dir>
#
# and writes its files into <asset-dir>, among them <asset-dir>/<tool>.rc: a
# resource script fragment that names every file it made with an absolute
# path. Files that must lie beside Quarrion.exe go into <asset-dir>/dist/.
# assets.rc, included by resources/quarrion.rc, includes every fragment.

function(quarrion_register_asset_tool tool)
  set_property(GLOBAL APPEND PROPERTY QUARRION_ASSET_TOOLS ${tool})
endfunction()

# Adds the commands that run every generator into asset_dir; sets
# QUARRION_ASSET_OUTPUTS in the caller to the fragments they write.
function(quarrion_generate_assets asset_dir)
  file(MAKE_DIRECTORY ${asset_dir}/dist)
  set(outputs)
  set(includes "// Made by the build: every generator's resource fragment.\n")
  foreach(tool ${ARGN})
    add_custom_command(
      OUTPUT ${asset_dir}/${tool}.rc
      COMMAND ${tool} ${asset_dir}
      DEPENDS $<TARGET_FILE:${tool}>
      COMMENT "Generating assets with ${tool}"
      VERBATIM)
    list(APPEND outputs ${asset_dir}/${tool}.rc)
    string(APPEND includes "#include \"${tool}.rc\"\n")
  endforeach()
  file(CONFIGURE OUTPUT ${asset_dir}/assets.rc CONTENT "${includes}")
  set(QUARRION_ASSET_OUTPUTS ${outputs} PARENT_SCOPE)
endfunction()
