# Runs one fuzz target for a fixed number of inputs from a fresh copy of its
# seed corpus, so every test run starts from the same place:
#   cmake -DFUZZER=... -DSEEDS=... -DWORK=... -DRUNS=... -P run_fuzz.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(GLOB seeds ${SEEDS}/*)
file(COPY ${seeds} DESTINATION ${WORK})
execute_process(
  COMMAND ${FUZZER} -runs=${RUNS} -seed=1 -max_len=4096 -rss_limit_mb=2048 ${WORK}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${rc}); the crashing input is in the working directory")
endif()
