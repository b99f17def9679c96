# The application service an installer is built for. Anyone can build an
# installer for their own service:
#   cmake -DSERVICE_BASE_URL=https://apps.example.com -DSERVICE_SECRET_KEY=... 
# The defaults point at the reference service as the demo runs it.
set(SERVICE_BASE_URL "http://127.0.0.1:18480" CACHE STRING
  "Base address of the application service (http:// or https://, no trailing /)")
set(SERVICE_SECRET_KEY "Lx7Qp2Zr9Wm4Tn6Vb1Hc8Jd3Ks5Yf0Ga" CACHE STRING
  "Secret key the installer sends to the application service (ASCII letters and digits)")
# How the query and the icon treat the service's certificate: by default
# every certificate error is ignored, as services may run on self-signed or
# expired certificates; "strict" keeps the platform's checks, for a service
# with a valid certificate.
set(SERVICE_TLS "ignore-errors" CACHE STRING "Certificate checks of the service requests: ignore-errors or strict")
set_property(CACHE SERVICE_TLS PROPERTY STRINGS ignore-errors strict)

# The base address goes unencoded into the query and into a C++ literal, so
# only plain URL characters are accepted.
function(lumen_check_service_url url)
  if(NOT url MATCHES "^https?://[A-Za-z0-9.-]+(:[0-9]+)?(/[A-Za-z0-9._~!$&'()*+,;=:@%/-]*)?$")
    message(FATAL_ERROR "SERVICE_BASE_URL must be an http:// or https:// address "
      "such as http://apps.example.com or https://apps.example.com:8443/api, not \"${url}\"")
  endif()
  if(url MATCHES "/$")
    message(FATAL_ERROR "SERVICE_BASE_URL must not end in \"/\" (the query path is appended to it): \"${url}\"")
  endif()
endfunction()

function(lumen_check_secret_key key)
  if(NOT key MATCHES "^[A-Za-z0-9]+$")
    message(FATAL_ERROR "SERVICE_SECRET_KEY must be ASCII letters and digits only (it is sent unencoded)")
  endif()
endfunction()

function(lumen_check_service_tls tls)
  if(NOT tls STREQUAL "ignore-errors" AND NOT tls STREQUAL "strict")
    message(FATAL_ERROR "SERVICE_TLS must be ignore-errors (the default) or strict, not \"${tls}\"")
  endif()
endfunction()

lumen_check_service_url("${SERVICE_BASE_URL}")
lumen_check_secret_key("${SERVICE_SECRET_KEY}")
lumen_check_service_tls("${SERVICE_TLS}")

# lumen_service_endpoint_source(<out-var> <name> <base-url>): a source file
# defining the built-in endpoint, for one executable.
function(lumen_service_endpoint_source out_var name base_url)
  lumen_check_service_url("${base_url}")
  set(LUMEN_ENDPOINT_BASE_URL "${base_url}")
  set(LUMEN_ENDPOINT_SECRET_KEY "${SERVICE_SECRET_KEY}")
  set(file "${CMAKE_BINARY_DIR}/generated/${name}_service_endpoint.cpp")
  configure_file("${PROJECT_SOURCE_DIR}/service/built_in_service.cpp.in" "${file}" @ONLY)
  set(${out_var} "${file}" PARENT_SCOPE)
endfunction()
