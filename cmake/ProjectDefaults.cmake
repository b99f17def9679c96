# Compiler settings every target of this project shares.

# Sources are UTF-8; the program's texts are code page 936 bytes, as the
# target systems' ANSI code page expects them. GB18030 encodes every character
# of code page 936 with the same bytes and, unlike it, every other character
# too, which the standard headers need for their own few literals.
add_compile_options(-finput-charset=UTF-8 -fexec-charset=GB18030)

# -O2 rather than -O3: smaller code for a program that waits on the network.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")

# GCC 12 reports impossible -Wrestrict overlaps inside std::string appends
# (a known false positive of that release), so that one warning stays off.
set(LUMEN_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wno-restrict -Werror)

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # One self-contained executable: no compiler runtime DLLs next to it.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Distributors ship the installer to people on slow lines: release builds
  # drop unused code and symbols.
  add_compile_options($<$<CONFIG:Release>:-ffunction-sections> $<$<CONFIG:Release>:-fdata-sections>)
  add_link_options($<$<CONFIG:Release>:-Wl,--gc-sections> $<$<CONFIG:Release>:-s>)
else()
  option(LUMEN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
  if(LUMEN_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

# Applies the project's warnings to one of its own programs or tools (not to
# GoogleTest); they include anything of the tree.
function(lumen_target target)
  target_compile_options(${target} PRIVATE ${LUMEN_WARNINGS})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# lumen_library(<target> <folder>): the library of one of the product's
# folders. Its sources and its dependants include "<folder>/..." through an
# include root that holds that folder alone, so a library can include only
# the folders it links: runtime <- http <- service, runtime <- desktop,
# runtime <- widgets, and all of them <- core.
function(lumen_library target folder)
  set(root "${CMAKE_BINARY_DIR}/include-roots/${folder}")
  if(NOT EXISTS "${root}/${folder}")
    file(MAKE_DIRECTORY "${root}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${folder}" "${root}/${folder}" SYMBOLIC)
  endif()
  target_compile_options(${target} PRIVATE ${LUMEN_WARNINGS})
  target_include_directories(${target} PUBLIC "${root}")
endfunction()
