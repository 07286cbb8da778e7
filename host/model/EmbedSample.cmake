# Regenerates host/model/SampleModelText.cpp from examples/bracket.json:
#   cmake -P host/model/EmbedSample.cmake
# The test SampleModelTest.EmbeddedTextMatchesExampleFile fails while the two differ.
get_filename_component(root "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
file(READ "${root}/examples/bracket.json" text)
string(FIND "${text}" ")orvsample\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "examples/bracket.json contains the raw string delimiter")
endif()
file(WRITE "${root}/host/model/SampleModelText.cpp"
"// Generated from examples/bracket.json by host/model/EmbedSample.cmake; do not edit.
namespace OrvDbRecord::detail {
extern const char* const kSampleModelJson;
const char* const kSampleModelJson = R\"orvsample(${text})orvsample\";
}  // namespace OrvDbRecord::detail
")
