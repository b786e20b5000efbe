# Runs velm-host keys on every case of CASES: each expression as an argument, then the "MC"
# expressions as one stream on the standard input, then options it must refuse. A malformed
# expression (expected "!") exits 1 with one line on stderr; in a stream it keeps its empty line.
#   cmake -DHOST=<velm-host> -DCASES=<file> -DWORK=<folder> -P RunKeys.cmake

set(failures 0)

function(expect what actual expected)
  if(NOT actual STREQUAL expected)
    message(SEND_ERROR "${what}: expected [${expected}], got [${actual}]")
    math(EXPR count "${failures} + 1")
    set(failures ${count} PARENT_SCOPE)
  endif()
endfunction()

file(READ "${CASES}" content)
string(REPLACE "\n" ";" lines "${content}")
set(stream_in "")
set(stream_expected "")
set(stream_malformed 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^([A-Z][A-Z])\\|([^|]*)\\|(.*)$")
    continue()
  endif()
  set(type "${CMAKE_MATCH_1}")
  set(expression "${CMAKE_MATCH_2}")
  set(expected "${CMAKE_MATCH_3}")
  execute_process(COMMAND "${HOST}" keys "${expression}" --type ${type}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  if(expected STREQUAL "!")
    expect("keys '${expression}' --type ${type}" "${rc}|${out}|${err}"
           "1||velm-host: not a well-formed key expression: ${expression}\n")
    set(expected "")
    if(type STREQUAL "MC")
      math(EXPR stream_malformed "${stream_malformed} + 1")
    endif()
  else()
    expect("keys '${expression}' --type ${type}" "${rc}|${out}|${err}" "0|${expected}\n|")
  endif()
  if(type STREQUAL "MC")
    string(APPEND stream_in "${expression}\n")
    string(APPEND stream_expected "${expected}\n")
  endif()
endforeach()

# A blank line gives an empty answer line, and a line ending in CR LF reads like one ending in LF.
string(APPEND stream_in "\nA OR B\r\nC")
string(APPEND stream_expected "\nA,B\nC\n")
file(WRITE "${WORK}/keys-stream.txt" "${stream_in}")
execute_process(COMMAND "${HOST}" keys INPUT_FILE "${WORK}/keys-stream.txt"
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
expect("keys on a stream" "${rc}|${out}" "1|${stream_expected}")
# One line for each malformed expression, then one that counts them.
string(REGEX MATCHALL "velm-host: line [0-9]+: not a well-formed key expression: [^\n]*\n" named "${err}")
list(LENGTH named named_count)
expect("malformed lines named on a stream" "${named_count}" "${stream_malformed}")
if(NOT err MATCHES "velm-host: keys: ${stream_malformed} of [0-9]+ lines are not well-formed key expressions\n$")
  expect("the stream's last error line" "${err}" "a count of ${stream_malformed} malformed lines")
endif()

foreach(arguments IN ITEMS "keys;--type;XX;A" "keys;A;B" "keys;--colour" "")
  execute_process(COMMAND "${HOST}" ${arguments} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  expect("refusing '${arguments}'" "${rc}|${out}" "2|")
  if(NOT err MATCHES "^velm-host: [^\n]+\n$")
    expect("stderr for '${arguments}'" "${err}" "velm-host: and one line of message")
  endif()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} velm-host keys check(s) failed")
endif()
