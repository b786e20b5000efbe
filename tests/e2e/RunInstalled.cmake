# Installs the build into a scratch prefix and runs keys, score and rescore from there, with a
# registry of its own, so the installed program must find its plug-ins in the installed tree.
#   cmake -DBUILD=<build folder> -DWORK=<folder> -DITEM=<item.xml> -P RunInstalled.cmake

set(prefix "${WORK}/installed")
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${prefix}"
                OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install into ${prefix} failed")
endif()
# The tree must still run once moved: nothing in it may point back at the build.
file(RENAME "${prefix}" "${WORK}/moved")
set(host "${WORK}/moved/bin/velm-host")
set(ENV{VELM_REGISTRY} "${WORK}/registry")
set(ENV{XDG_CACHE_HOME} "${WORK}/cache")

function(expect_output what expected)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  string(STRIP "${out}" out)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "${expected}")
    message(FATAL_ERROR "${what}: exit ${rc}, output [${out}], errors [${err}]")
  endif()
endfunction()

expect_output(keys "^A,C$" "${host}" keys "A AND C AND ONLY")
expect_output(score "\"correct\"" "${host}" score "${ITEM}" --support-dir "${WORK}/support" --response "A")
file(WRITE "${WORK}/responses.jsonl" "{\"id\": 1, \"response\": \"A\"}\n{\"id\": 2, \"response\": \"\"}\n")
expect_output(rescore "\"id\":2" "${host}" rescore "${ITEM}" "${WORK}/responses.jsonl" --support-dir "${WORK}/support")
