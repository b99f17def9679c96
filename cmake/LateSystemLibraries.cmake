# System libraries that are loaded on the first call into them, and from the
# system folder only.
#
# A library imported the ordinary way is loaded before the program runs, and
# unless it is one the system keeps a fixed copy of, it is looked for first in
# the program's own folder. An installer is run from a downloads folder, where
# a library of the same name may lie beside it. Linking through a delay-load
# import library instead leaves the loading to the first call, which
# runtime/win/late_system_libraries.cpp hooks to load by the system folder's
# full path. It also keeps libraries that only some runs need (the common
# dialogs, WinINet until the query) off the path to the first window.

# lumen_late_system_library(<name>): the target lumen_late_<name>, linked
# instead of <name>. The delay-load import library is made at configure time
# from the toolchain's import library, with the same exports.
function(lumen_late_system_library name)
  find_library(import_library_${name} NAMES lib${name}.a REQUIRED NO_CACHE)
  set(archive "${CMAKE_BINARY_DIR}/late-libraries/lib${name}_late.a")
  if(NOT EXISTS "${archive}" OR "${import_library_${name}}" IS_NEWER_THAN "${archive}")
    lumen_make_late_import_library(${name} "${import_library_${name}}" "${archive}")
  endif()
  add_library(lumen_late_${name} INTERFACE)
  # The hook is compiled into every program that links a late library: in a
  # static library nothing would pull it in, and the helper would then load
  # with the ordinary search without a word.
  target_sources(lumen_late_${name} INTERFACE
    "$<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:${PROJECT_SOURCE_DIR}/runtime/win/late_system_libraries.cpp>")
  target_link_libraries(lumen_late_${name} INTERFACE "${archive}")
endfunction()

function(lumen_make_late_import_library name import_library archive)
  execute_process(COMMAND ${CMAKE_NM} -g "${import_library}"
                  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  # Each function appears as "__imp_<symbol>"; 32-bit symbols carry one more
  # leading underscore and their "@<bytes>" suffix, which the definition
  # keeps so that calls link, and --kill-at drops from the names the library
  # is asked for.
  string(REGEX MATCHALL "[ \t]I __imp_[^\r\n]+" entries "${symbols}")
  set(exports "")
  foreach(entry IN LISTS entries)
    string(REGEX REPLACE "^[ \t]I __imp_" "" symbol "${entry}")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(REGEX REPLACE "^_" "" symbol "${symbol}")
    endif()
    list(APPEND exports "${symbol}")
  endforeach()
  list(REMOVE_DUPLICATES exports)
  if(NOT exports)
    message(FATAL_ERROR "${import_library} lists no functions")
  endif()
  list(JOIN exports "\n" export_lines)
  get_filename_component(folder "${archive}" DIRECTORY)
  set(definition "${folder}/${name}.def")
  file(WRITE "${definition}" "LIBRARY ${name}.dll\nEXPORTS\n${export_lines}\n")
  execute_process(COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def "${definition}" --dllname ${name}.dll
                          --output-delaylib "${archive}"
                  WORKING_DIRECTORY "${folder}" COMMAND_ERROR_IS_FATAL ANY)
endfunction()

if(WIN32)
  foreach(library comctl32 comdlg32 crypt32 dbghelp gdiplus wininet wintrust)
    lumen_late_system_library(${library})
  endforeach()
endif()
