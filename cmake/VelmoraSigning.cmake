# Code signing of the programs that may talk to the privileged helper.
# The maker's ed25519 key is a build setting; without one, a development key is made in the build
# folder on first build. The helper is compiled with the public half of whichever key is used.
set(VELMORA_SIGNING_KEY "" CACHE FILEPATH
    "ed25519 signing key file (64 hex digits); empty makes a development key in the build folder")
if(VELMORA_SIGNING_KEY)
  set(VELMORA_SIGNING_KEY_FILE ${VELMORA_SIGNING_KEY})
  set(VELMORA_SIGNING_KEY_IS_DEVELOPMENT OFF)
else()
  set(VELMORA_SIGNING_KEY_FILE ${CMAKE_BINARY_DIR}/signing/development-signing.key)
  set(VELMORA_SIGNING_KEY_IS_DEVELOPMENT ON)
endif()
# The public key as a brace list, included by the helper's trusted-anchor source.
set(VELMORA_SIGNING_ANCHOR_DIR ${CMAKE_BINARY_DIR}/signing)

# Signs an executable target after every link; the signature lands beside it as <file>.sig.
function(velmora_sign target)
  add_dependencies(${target} velmora_signing_key velmora-codesign)
  # A new key relinks the program, so that it is signed again with that key.
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${VELMORA_SIGNING_KEY_FILE})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND $<TARGET_FILE:velmora-codesign> sign ${VELMORA_SIGNING_KEY_FILE} ${VELMORA_TEAM_ID}
            $<TARGET_FILE:${target}>
    COMMENT "Signing ${target} for team ${VELMORA_TEAM_ID}"
    VERBATIM)
endfunction()
