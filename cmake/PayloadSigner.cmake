# The vendor's code-signing key the installed program must be signed with.
# With it, a downloaded program (or one installed by hand) is placed only
# when its Authenticode signature holds and its primary signer's certificate
# carries this key and is valid now for code signing:
#   cmake -DPAYLOAD_SIGNER_SHA256=$(openssl x509 -in vendor.pem -pubkey -noout \
#     | openssl pkey -pubin -outform DER | sha256sum | cut -d' ' -f1) ...
# Empty (the default): the program is placed unchecked.
set(PAYLOAD_SIGNER_SHA256 "" CACHE STRING
  "SHA-256 of the program signer's SubjectPublicKeyInfo (DER), 64 hexadecimal digits; empty for no check")

function(lumen_check_payload_signer pin)
  string(LENGTH "${pin}" length)
  if(NOT pin STREQUAL "" AND (NOT length EQUAL 64 OR NOT pin MATCHES "^[0-9A-Fa-f]+$"))
    message(FATAL_ERROR "PAYLOAD_SIGNER_SHA256 must be 64 hexadecimal digits (the SHA-256 of the signer's "
      "public key as sha256sum prints it, without the file name) or empty, not \"${pin}\"")
  endif()
endfunction()

lumen_check_payload_signer("${PAYLOAD_SIGNER_SHA256}")

# lumen_payload_signer_source(<out-var> <name> <pin>): a source file defining
# the pinned key (core/win/built_in_signer.hpp) for one executable; the
# product's is PAYLOAD_SIGNER_SHA256, test installers pin keys of their own.
function(lumen_payload_signer_source out_var name pin)
  lumen_check_payload_signer("${pin}")
  if(pin STREQUAL "")
    set(LUMEN_PAYLOAD_SIGNER "std::nullopt")
  else()
    string(TOLOWER "${pin}" pin)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1, " bytes "${pin}")
    string(REGEX REPLACE ", $" "" bytes "${bytes}")
    set(LUMEN_PAYLOAD_SIGNER "KeyPin{${bytes}}")
  endif()
  set(file "${CMAKE_BINARY_DIR}/generated/${name}_payload_signer.cpp")
  configure_file("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../core/win/built_in_signer.cpp.in" "${file}" @ONLY)
  set(${out_var} "${file}" PARENT_SCOPE)
endfunction()

# lumen_test_vendor_pin(<out-var> <folder>): the pin of the test vendor's
# code-signing key, <folder>/vendor.key, made when missing. Tests sign
# programs with it (tests/support/make_payload_signers.sh keeps the key it
# finds) and run installers built with its pin.
function(lumen_test_vendor_pin out_var folder)
  if(NOT EXISTS "${folder}/vendor.key")
    file(MAKE_DIRECTORY "${folder}")
    execute_process(COMMAND openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "${folder}/vendor.key"
                    OUTPUT_QUIET ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  execute_process(COMMAND openssl pkey -in "${folder}/vendor.key" -pubout -outform DER
                  COMMAND sha256sum
                  OUTPUT_VARIABLE digest COMMAND_ERROR_IS_FATAL ANY)
  string(SUBSTRING "${digest}" 0 64 pin)
  set(${out_var} "${pin}" PARENT_SCOPE)
endfunction()
