# What Windows shows of the installer before it runs: its manifest, its icon
# and its version information. A vendor sets them for their own service:
#   cmake -DINSTALLER_COMPANY=... -DINSTALLER_PRODUCT=... -DINSTALLER_VERSION=1.2.0.0 -DINSTALLER_ICON=mine.ico
# The texts are UTF-8 (Chinese welcome). The defaults are the sample
# application's, as the reference service names it.
set(INSTALLER_COMPANY "星光记事本团队" CACHE STRING "Company that makes the installer (version information)")
set(INSTALLER_PRODUCT "星光记事本" CACHE STRING "Product the installer installs (version information)")
set(INSTALLER_VERSION "1.0.0.0" CACHE STRING "Version of the installer, four numbers a.b.c.d from 0 to 65535")
set(INSTALLER_ICON "${CMAKE_CURRENT_LIST_DIR}/../core/win/installer.ico" CACHE FILEPATH
  "Icon file (.ico) of the installer, with a 32x32 image among its sizes")

# The four numbers of a file version, each a 16-bit number.
function(lumen_check_installer_version version)
  set(number "(0|[1-9][0-9]?[0-9]?[0-9]?[0-9]?)")
  if(version MATCHES "^${number}\\.${number}\\.${number}\\.${number}$")
    foreach(part ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
      if(part GREATER 65535)
        set(too_large TRUE)
      endif()
    endforeach()
    if(NOT too_large)
      return()
    endif()
  endif()
  message(FATAL_ERROR "INSTALLER_VERSION must be four numbers a.b.c.d, each from 0 to 65535 without "
    "leading zeros (such as 1.2.0.0), not \"${version}\"")
endfunction()

# A text of the version information: one line of UTF-8.
function(lumen_check_installer_text setting text)
  if(text STREQUAL "")
    message(FATAL_ERROR "${setting} must not be empty")
  endif()
  string(HEX "${text}" hex)
  string(LENGTH "${hex}" digits)
  set(position 0)
  set(continuations 0)
  while(position LESS digits)
    string(SUBSTRING "${hex}" ${position} 2 pair)
    math(EXPR byte "0x${pair}")
    math(EXPR position "${position} + 2")
    if(continuations GREATER 0)
      # The second byte of E0, ED, F0 and F4 sequences is narrower: no
      # overlong forms, no surrogates, nothing beyond U+10FFFF.
      if(byte LESS lowest OR byte GREATER highest)
        set(malformed TRUE)
        break()
      endif()
      set(lowest 128)
      set(highest 191)
      math(EXPR continuations "${continuations} - 1")
      continue()
    endif()
    set(lowest 128)
    set(highest 191)
    if(byte LESS 32 OR byte EQUAL 127)
      message(FATAL_ERROR "${setting} must be one line without control characters")
    elseif(byte LESS 128)
    elseif(byte GREATER_EQUAL 194 AND byte LESS_EQUAL 223)
      set(continuations 1)
    elseif(byte GREATER_EQUAL 224 AND byte LESS_EQUAL 239)
      set(continuations 2)
      if(byte EQUAL 224)
        set(lowest 160)
      elseif(byte EQUAL 237)
        set(highest 159)
      endif()
    elseif(byte GREATER_EQUAL 240 AND byte LESS_EQUAL 244)
      set(continuations 3)
      if(byte EQUAL 240)
        set(lowest 144)
      elseif(byte EQUAL 244)
        set(highest 143)
      endif()
    else()
      set(malformed TRUE)
      break()
    endif()
  endwhile()
  if(malformed OR continuations GREATER 0)
    message(FATAL_ERROR "${setting} must be UTF-8 text (the command line's bytes are not)")
  endif()
endfunction()

# The little-endian number of <length> bytes at byte <at> of a hex dump.
function(lumen_little_endian out_var hex at length)
  set(digits "")
  math(EXPR last "${at} + ${length} - 1")
  foreach(index RANGE ${at} ${last})
    math(EXPR position "2 * ${index}")
    string(SUBSTRING "${hex}" ${position} 2 pair)
    string(PREPEND digits "${pair}")
  endforeach()
  math(EXPR number "0x${digits}")
  set(${out_var} ${number} PARENT_SCOPE)
endfunction()

# A readable icon file whose directory holds a 32x32 image, every image
# inside the file. Sets <out-var> to its sizes in the file's order, as
# WIDTHxHEIGHT (a stored 0 meaning 256).
function(lumen_check_installer_icon out_var path)
  set(refusal "INSTALLER_ICON must name a readable icon file (.ico) with a 32x32 image")
  if(NOT EXISTS "${path}" OR IS_DIRECTORY "${path}")
    message(FATAL_ERROR "${refusal}: \"${path}\" does not exist")
  endif()
  file(SIZE "${path}" size)
  file(READ "${path}" header LIMIT 6 HEX)
  if(NOT header MATCHES "^00000100....$")
    message(FATAL_ERROR "${refusal}: \"${path}\" is not an icon file")
  endif()
  lumen_little_endian(count "${header}" 4 2)
  math(EXPR entries_size "16 * ${count}")
  math(EXPR directory_size "6 + ${entries_size}")
  if(count EQUAL 0 OR directory_size GREATER size)
    message(FATAL_ERROR "${refusal}: \"${path}\" holds no images or is cut short")
  endif()
  file(READ "${path}" directory OFFSET 6 LIMIT ${entries_size} HEX)
  set(sizes "")
  math(EXPR last "${count} - 1")
  foreach(index RANGE ${last})
    math(EXPR at "${index} * 32")
    string(SUBSTRING "${directory}" ${at} 32 entry)
    # width, height, colours, reserved, planes, bits, bytes, offset
    lumen_little_endian(width "${entry}" 0 1)
    lumen_little_endian(height "${entry}" 1 1)
    lumen_little_endian(bytes "${entry}" 8 4)
    lumen_little_endian(offset "${entry}" 12 4)
    math(EXPR end "${offset} + ${bytes}")
    if(bytes EQUAL 0 OR offset LESS directory_size OR end GREATER size)
      message(FATAL_ERROR "${refusal}: \"${path}\" is cut short or damaged")
    endif()
    if(width EQUAL 0)
      set(width 256)
    endif()
    if(height EQUAL 0)
      set(height 256)
    endif()
    list(APPEND sizes "${width}x${height}")
  endforeach()
  list(FIND sizes 32x32 found)
  if(found EQUAL -1)
    message(FATAL_ERROR "${refusal}: \"${path}\" has no 32x32 image (it has ${sizes})")
  endif()
  set(${out_var} "${sizes}" PARENT_SCOPE)
endfunction()

lumen_check_installer_version("${INSTALLER_VERSION}")
lumen_check_installer_text(INSTALLER_COMPANY "${INSTALLER_COMPANY}")
lumen_check_installer_text(INSTALLER_PRODUCT "${INSTALLER_PRODUCT}")
get_filename_component(LUMEN_INSTALLER_ICON "${INSTALLER_ICON}" ABSOLUTE)
lumen_check_installer_icon(LUMEN_INSTALLER_ICON_SIZES "${LUMEN_INSTALLER_ICON}")

if(NOT WIN32 OR CMAKE_SCRIPT_MODE_FILE)
  return()
endif()
# Resource scripts are compiled for targets in any folder.
enable_language(RC)

# A text as a resource script's string literal holds it.
function(lumen_resource_string out_var text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\"\"" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# lumen_installer_resources(<target>): the manifest, the icon and the version
# information, for the installer program <target>. Beside the program, in
# <target>.resources.txt, the texts and icon sizes configured, for the tests.
function(lumen_installer_resources target)
  set(generated "${CMAKE_BINARY_DIR}/generated")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(LUMEN_MANIFEST_ARCHITECTURE amd64)
  else()
    set(LUMEN_MANIFEST_ARCHITECTURE x86)
  endif()
  set(LUMEN_RESOURCE_MANIFEST "${generated}/installer.manifest")
  configure_file("${PROJECT_SOURCE_DIR}/core/win/installer.manifest.in" "${LUMEN_RESOURCE_MANIFEST}" @ONLY)

  set(LUMEN_RESOURCE_ICON "${LUMEN_INSTALLER_ICON}")
  string(REPLACE "." "," LUMEN_RESOURCE_VERSION_COMMAS "${INSTALLER_VERSION}")
  set(file_name "${target}${CMAKE_EXECUTABLE_SUFFIX}")
  set(description "${INSTALLER_PRODUCT} 安装程序")
  set(copyright "版权所有 © ${INSTALLER_COMPANY}")
  lumen_resource_string(LUMEN_RESOURCE_COMPANY "${INSTALLER_COMPANY}")
  lumen_resource_string(LUMEN_RESOURCE_PRODUCT "${INSTALLER_PRODUCT}")
  lumen_resource_string(LUMEN_RESOURCE_DESCRIPTION "${description}")
  lumen_resource_string(LUMEN_RESOURCE_COPYRIGHT "${copyright}")
  lumen_resource_string(LUMEN_RESOURCE_FILE_NAME "${file_name}")
  set(script "${generated}/${target}_resources.rc")
  configure_file("${PROJECT_SOURCE_DIR}/core/win/installer_resources.rc.in" "${script}" @ONLY)

  add_library(${target}_resources OBJECT "${script}")
  # The compiler's character set options mean nothing to the resource compiler.
  set_property(TARGET ${target}_resources PROPERTY COMPILE_OPTIONS "")
  set_source_files_properties("${script}" PROPERTIES
    OBJECT_DEPENDS "${LUMEN_INSTALLER_ICON};${LUMEN_RESOURCE_MANIFEST}")
  target_link_libraries(${target} PRIVATE ${target}_resources)

  string(REPLACE ";" " " icon_sizes "${LUMEN_INSTALLER_ICON_SIZES}")
  file(WRITE "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${target}.resources.txt"
    "CompanyName=${INSTALLER_COMPANY}\n"
    "FileDescription=${description}\n"
    "FileVersion=${INSTALLER_VERSION}\n"
    "LegalCopyright=${copyright}\n"
    "OriginalFilename=${file_name}\n"
    "ProductName=${INSTALLER_PRODUCT}\n"
    "ProductVersion=${INSTALLER_VERSION}\n"
    "IconSizes=${icon_sizes}\n")
endfunction()
