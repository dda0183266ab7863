# Data files compiled into the library. Each file becomes a generated .cpp that
# defines a byte array and its size; the generation runs at build time, so a new
# data file is picked up by the next build.
#
# Run as a script (cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -P EmbeddedData.cmake)
# it writes one such .cpp; included from the top CMakeLists it sets up the rules.

if(CMAKE_SCRIPT_MODE_FILE)
  if(EXISTS "${INPUT}")
    file(READ "${INPUT}" hex HEX)
  else()
    set(hex "")
  endif()
  string(LENGTH "${hex}" hex_length)
  math(EXPR byte_count "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # Line breaks every 32 bytes keep the generated file readable for compilers and people.
  string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n" bytes "${bytes}")
  file(WRITE "${OUTPUT}.tmp"
    "// Generated from ${INPUT}; do not edit.\n"
    "#include <cstddef>\n"
    "extern unsigned char const ${SYMBOL}[];\n"
    "extern std::size_t const ${SYMBOL}_size;\n"
    "alignas(16) unsigned char const ${SYMBOL}[] = {\n${bytes}0};\n"
    "std::size_t const ${SYMBOL}_size = ${byte_count};\n")
  file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
  return()
endif()

function(nonet_embed_file input symbol)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/embedded
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=${symbol}
            -P ${CMAKE_CURRENT_LIST_DIR}/EmbeddedData.cmake
    DEPENDS ${input} ${CMAKE_CURRENT_LIST_DIR}/EmbeddedData.cmake
    COMMENT "Embedding ${input}"
    VERBATIM)
  list(APPEND NONET_GENERATED_SOURCES ${output})
  set(NONET_GENERATED_SOURCES ${NONET_GENERATED_SOURCES} PARENT_SCOPE)
endfunction()

# The digit recogniser's weight table (56,362 little-endian 32-bit floats).
nonet_embed_file(${CMAKE_CURRENT_SOURCE_DIR}/data/ocr/digit_weights.bin nonet_ocr_digit_weights)
