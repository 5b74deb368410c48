# Writes OUT, a C++ source holding every help topic of TOPIC_DIR (files NNN-name.txt) as a raw
# string, ordered by number. Run at build time by src/core/CMakeLists.txt.
cmake_minimum_required(VERSION 3.25)
file(GLOB files "${TOPIC_DIR}/*.txt")
set(entries "")
set(seen "")
foreach(f IN LISTS files)
  get_filename_component(name "${f}" NAME)
  if(NOT name MATCHES "^([0-9]+)-[a-z0-9-]+\\.txt$")
    message(FATAL_ERROR "help topic ${name}: the name must be NNN-name.txt (digits, a dash, lower-case words)")
  endif()
  math(EXPR number "${CMAKE_MATCH_1}")
  if(number IN_LIST seen)
    message(FATAL_ERROR "help topic ${name}: another file has the number ${number}")
  endif()
  list(APPEND seen ${number})
  file(READ "${f}" text)
  string(FIND "${text}" ")vxhelp\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "help topic ${name} holds the text )vxhelp\" that ends its string")
  endif()
  # Sorted by the zero-padded number, so the table is in numeric order.
  string(LENGTH "${number}" len)
  math(EXPR pad "8 - ${len}")
  string(REPEAT "0" ${pad} zeros)
  list(APPEND entries "${zeros}${number}|${name}")
  set(text_${number} "${text}")
endforeach()
list(SORT entries)
set(body "")
foreach(e IN LISTS entries)
  string(REGEX MATCH "^0*([0-9]+)\\|(.*)$" _ "${e}")
  set(number ${CMAKE_MATCH_1})
  set(name ${CMAKE_MATCH_2})
  string(APPEND body "    {${number}, \"${name}\", R\"vxhelp(${text_${number}})vxhelp\"},\n")
endforeach()
set(source "// Generated from data/help/topics by cmake/EmbedHelpTopics.cmake: edit the topics, not this.
#include \"help/topic_table.h\"

namespace vx::help {
namespace {
constexpr TopicSource kSources[] = {
${body}};
}  // namespace

std::span<const TopicSource> topic_sources() { return kSources; }

}  // namespace vx::help
")
file(WRITE "${OUT}.tmp" "${source}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
