# Writes the embedded sample model's source from examples/bracket.json, at build time:
#   cmake -DINPUT=examples/bracket.json -DOUTPUT=SampleModelText.cpp -P host/model/EmbedSample.cmake
# host/CMakeLists.txt runs it whenever the example file changes, so there is one copy of the sample.
file(READ "${INPUT}" text)
string(FIND "${text}" ")orvsample\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains the raw string delimiter")
endif()
file(WRITE "${OUTPUT}.tmp"
"// Generated from examples/bracket.json by host/model/EmbedSample.cmake; do not edit.
namespace OrvDbRecord::detail {
extern const char* const kSampleModelJson;
const char* const kSampleModelJson = R\"orvsample(${text})orvsample\";
}  // namespace OrvDbRecord::detail
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
